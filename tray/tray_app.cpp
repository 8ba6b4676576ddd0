#include "tray_app.h"

#include "driver_protocol.h"
#include "shutdown_notice.h"
#include "system_version.h"

CTrayApp::CTrayApp(int argc, char** argv)
{
    const SYSTEM_VERSION& version = GetSystemVersion();
    // Windows 98, Me and 2000 have native wheel support; 95 and NT 4.0 lack it.
    m_hasModernOS = (version.Windows9x || version.WindowsNT) &&
                    (version.Major > 4 || (version.Major == 4 && version.Minor > 0));
    m_isWindows2000 = version.WindowsNT && version.Major >= 5;
    for (const std::string& option : CommandLineSwitches(argc, argv)) {
        if (option == "enabled")
            m_enableRequested = true;
        else if (option == "shutdown")
            m_shutdownRequested = true;
    }
}

bool CTrayApp::InitInstance()
{
    if (m_shutdownRequested) {
        ShowShutdownNotice();
        return false;
    }
    m_mainFrame = std::make_unique<CMainFrame>(m_hasModernOS, m_isWindows2000, m_enableRequested);
    if (!m_mainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW))
        return false;
    m_pMainWnd = m_mainFrame.get();
    if (!m_hasModernOS && !FindWindowA(WHEEL_WINDOW_CLASS, WHEEL_WINDOW_TITLE)) {
        m_wheelWindow = std::make_unique<CWheelWindow>();
        m_wheelWindow->Create();
    }
    return true;
}

int CTrayApp::ExitInstance(int exitCode)
{
    m_wheelWindow.reset();
    m_mainFrame.reset();
    return exitCode;
}
