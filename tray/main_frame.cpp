#include "main_frame.h"

#include "application.h"
#include "config_values.h"
#include "driver_client.h"
#include "event_listener.h"
#include "interface_guid.h"
#include "registry_config.h"
#include "system_settings.h"
#include "wheel_window.h"

namespace {

const char SINGLE_INSTANCE_MUTEX[] = "marrowfin_customizer_mutex_0001";
const char ICON_TIP[] = "Vexon Customizer";
const char CUSTOMIZER_PROGRAM[] = "vexoncfg.exe";
constexpr DWORD LISTENER_STOP_TIMEOUT_MS = 5000;

uint32_t Toggled(uint32_t value)
{
    return value == 0 ? 1 : 0;
}

}  // namespace

CMainFrame::CMainFrame(bool hasModernOS, bool isWindows2000, bool enableRequested)
    : m_hasModernOS(hasModernOS), m_isWindows2000(isWindows2000), m_enableRequested(enableRequested)
{
    ClearConfig(&m_config);
    m_deviceArrival = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

CMainFrame::~CMainFrame()
{
    if (m_pEventThread)
        CloseHandle(m_pEventThread);
    if (m_deviceArrival)
        CloseHandle(m_deviceArrival);
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM)
{
    if (m_hasModernOS && !LoadDeviceFunctions())
        return -1;
    m_ps2Present = QueryPs2Device();
    LoadSettings();
    if (m_enableRequested) {
        NotifyOtherInstance();
        SetSetting(&m_config.TrayEnabled, 1, true);
        EnsureRunKey();
    }
    m_hMutex = CreateMutexA(nullptr, FALSE, SINGLE_INSTANCE_MUTEX);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
        return -1;
    }
    if (m_hasModernOS)
        RegisterForDeviceNotices();
    if (m_config.TrayEnabled == 0)
        m_trayIconEnabled = false;
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY));
    if (!m_trayIcon.Create(m_hWnd, UM_TRAY_NOTIFY, ICON_TIP, icon, IDR_TRAY_MENU, false))
        return -1;
    m_driverJustLoadedMsg = RegisterWindowMessageA(VEXON_DRIVER_JUST_LOADED_MSG_NAME);
    if (m_isWindows2000)
        m_pEventThread = StartEventListener(this);
    ScanDevices(AsGuid(GUID_AUTOLAUNCH_NOTIFY));
    UpdateOverlay();
    ApplySystemSettings();
    return 0;
}

// The user's key always ends complete and legal: the validated block is
// written back at every start.
void CMainFrame::LoadSettings()
{
    InvalidateConfig(&m_config);
    ReadConfigKey(HKEY_USERS, CONFIG_MACHINE_SUBKEY, &m_config);
    ReadConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &m_config);
    VerifyConfigAndSetDefaults(&m_config, &m_config);
    WriteConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &m_config);
}

void CMainFrame::ApplySystemSettings()
{
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, DoubleClickTimeMs(m_config.DoubleClickSpeed),
                          nullptr, SPIF_SENDWININICHANGE);
    SetWheelScrollLines(WheelScrollLines(m_config.ScrollWheelSpeed), m_hasModernOS);
}

int CMainFrame::SetSetting(uint32_t* field, uint32_t value, bool persist)
{
    *field = value;
    if (!persist)
        return 0;
    WriteTrayConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &m_config);
    if (field != &m_config.TrayEnabled && m_hDevice != INVALID_HANDLE_VALUE)
        SendConfigBlock(m_hDevice, IOCTL_MOUFILTER_TRAY_UPDATE, &m_config);
    return 0;
}

void CMainFrame::OnLoadCustomizer()
{
    const std::string program = std::string(m_config.VexonPath) + "\\" + CUSTOMIZER_PROGRAM;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Turning the gesture on gives button 4 to it alone; turning it off takes
// button 4 away from it (disabled, or its combined click without the flag).
void CMainFrame::OnOfaOn()
{
    const uint32_t enabled = Toggled(m_config.OFASensitivityEnabled);
    uint32_t* button4 = &m_config.ButtonAssigned[BUTTON_4];
    SetSetting(&m_config.OFASensitivityEnabled, enabled, true);
    if (enabled)
        SetSetting(button4, ASSIGN_OFA, true);
    else if (IsAssigned(*button4, ASSIGN_OFA))
        SetSetting(button4, ASSIGN_DISABLED, true);
    else if (IsAssigned(*button4, ASSIGN_OFA_COMBINED))
        SetSetting(button4, *button4 & ~ASSIGN_OFA_COMBINED, true);
    UpdateOverlay();
}

void CMainFrame::OnOfaVisible()
{
    SetSetting(&m_config.OFASensitivityViewable, Toggled(m_config.OFASensitivityViewable), true);
    UpdateOverlay();
}

void CMainFrame::OnUniversalScroll()
{
    SetSetting(&m_config.UniversalScrollEnabled, Toggled(m_config.UniversalScrollEnabled), true);
}

void CMainFrame::OnDisableTrayIcon()
{
    SetSetting(&m_config.TrayEnabled, 0, true);
    WriteTrayConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &m_config);
    m_trayIcon.HideIcon();
}

void CMainFrame::OnCloseTrayIcon()
{
    m_trayIcon.HideIcon();
    m_trayIconEnabled = false;
}

void CMainFrame::OnUpdateOfaOn(CCmdUI& state)
{
    state.SetCheck(m_config.OFASensitivityEnabled != 0);
}

void CMainFrame::OnUpdateOfaVisible(CCmdUI& state)
{
    state.Enable(m_config.OFASensitivityEnabled != 0);
    state.SetCheck(m_config.OFASensitivityViewable != 0);
}

void CMainFrame::OnUpdateUniversalScroll(CCmdUI& state)
{
    state.SetCheck(m_config.UniversalScrollEnabled != 0);
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    return m_trayIcon.OnTrayNotification(wParam, lParam);
}

LRESULT CMainFrame::OnTrayEnable(WPARAM, LPARAM lParam)
{
    m_trayIconEnabled = lParam != 0;
    ScanDevices(AsGuid(GUID_AUTOLAUNCH_NOTIFY));
    return 1;
}

LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM)
{
    DestroyWindow();
    return TRUE;
}

// The system menu's Close is ignored: the tray ends only at logoff or when
// another program closes it.
LRESULT CMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    if ((wParam & 0xFFF0) == SC_CLOSE)
        return 0;
    return DefWindowProcA(m_hWnd, WM_SYSCOMMAND, wParam, lParam);
}

BOOL CMainFrame::DestroyWindow()
{
    StopTray();
    return CFrameWindow::DestroyWindow();
}

void CMainFrame::StopTray()
{
    m_running = false;
    m_trayIcon.HideIcon();
    CloseOverlay();
    if (m_hDevice != INVALID_HANDLE_VALUE) {
        SendSlotRequest(m_hDevice, IOCTL_MOUFILTER_UNREGISTER, m_hWnd, SLOT_TRAY);
        CloseHandle(m_hDevice);
        m_hDevice = INVALID_HANDLE_VALUE;
    }
    if (m_hUser32)
        FreeLibrary(m_hUser32);
    if (m_hSetupApi)
        FreeLibrary(m_hSetupApi);
    m_hUser32 = m_hSetupApi = nullptr;
    if (m_pEventThread)
        WaitForSingleObject(m_pEventThread, LISTENER_STOP_TIMEOUT_MS);
}
