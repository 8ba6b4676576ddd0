// The tray program's application object.
#pragma once

#include <memory>

#include "application.h"
#include "main_frame.h"
#include "wheel_window.h"

class CTrayApp : public CApplication {
public:
    CTrayApp(int argc, char** argv);

    bool m_hasModernOS = false;
    bool m_isWindows2000 = false;
    bool m_enableRequested = false;
    bool m_shutdownRequested = false;

protected:
    bool InitInstance() override;
    int ExitInstance(int exitCode) override;

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<CWheelWindow> m_wheelWindow;
};
