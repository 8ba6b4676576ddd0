// The tray program's hidden main window: the settings copy, the icon and its
// menu, the driver handle, the handlers of the driver's events and the
// device notices.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <atomic>
#include <string>
#include <vector>

#include "config_block.h"
#include "driver_protocol.h"
#include "frame_window.h"
#include "resource.h"
#include "tray_icon.h"

class CMainFrame : public CFrameWindow {
public:
    CMainFrame(bool hasModernOS, bool isWindows2000, bool enableRequested);
    ~CMainFrame() override;

    // Stores value into a field of m_config; with persist, also the tray
    // save and (except for TrayEnabled) the tray update to the driver.
    int SetSetting(uint32_t* field, uint32_t value, bool persist);

    // The stop sequence, then the window's destruction.
    BOOL DestroyWindow() override;

    // Start or close the meter program.
    void UpdateOverlay();
    // Asks the driver for the meter's window and tells it to close.
    void CloseOverlay();
    static bool RunCommandLine(const std::string& commandLine);

    // Read by the event listener thread.
    std::atomic<bool> m_running{true};
    std::atomic<bool> m_deviceGone{false};
    HANDLE m_deviceArrival = nullptr;  // auto-reset: signalled when the handle opens

    CONFIG_BLOCK m_config;

protected:
    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        COMMAND_ID_HANDLER(ID_LOAD_CUSTOMIZER, OnLoadCustomizer)
        COMMAND_ID_HANDLER(ID_OFA_ON, OnOfaOn)
        COMMAND_ID_HANDLER(ID_OFA_VISIBLE, OnOfaVisible)
        COMMAND_ID_HANDLER(ID_UNIVERSAL_SCROLL, OnUniversalScroll)
        COMMAND_ID_HANDLER(ID_DISABLE_TRAY_ICON, OnDisableTrayIcon)
        COMMAND_ID_HANDLER(ID_CLOSE_TRAY_ICON, OnCloseTrayIcon)
        UPDATE_COMMAND_UI(ID_OFA_ON, OnUpdateOfaOn)
        UPDATE_COMMAND_UI(ID_OFA_VISIBLE, OnUpdateOfaVisible)
        UPDATE_COMMAND_UI(ID_UNIVERSAL_SCROLL, OnUpdateUniversalScroll)
        MESSAGE_HANDLER(UM_TRAY_NOTIFY, OnTrayNotify)
        MESSAGE_HANDLER(UM_TRAY_ENABLE, OnTrayEnable)
        MESSAGE_HANDLER(MSG_SPEED_CHANGED, OnSpeedChanged)
        MESSAGE_HANDLER(MSG_OFA_ENABLED_CHANGED, OnOfaEnabledChanged)
        MESSAGE_HANDLER(MSG_OFA_VISIBLE_CHANGED, OnOfaVisibleChanged)
        MESSAGE_HANDLER(MSG_UNIVERSAL_SCROLL_CHANGED, OnUniversalScrollChanged)
        MESSAGE_HANDLER(MSG_BUTTONS_CHANGED, OnButtonsChanged)
        MESSAGE_HANDLER(MSG_BUTTON_STATE, OnButtonState)
        MESSAGE_HANDLER(MSG_PLAY_MACRO, OnPlayMacro)
        MESSAGE_HANDLER(MSG_KEYS_DOWN, OnKeysDown)
        MESSAGE_HANDLER(MSG_KEYS_UP, OnKeysUp)
        MESSAGE_HANDLER(MSG_DOUBLE_CLICK, OnDoubleClick)
        MESSAGE_HANDLER(MSG_LEFT_CLICK, OnLeftClick)
        MESSAGE_HANDLER(MSG_RIGHT_CLICK, OnRightClick)
        MESSAGE_HANDLER(MSG_MIDDLE_CLICK, OnMiddleClick)
        MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_DISPLAYCHANGE, OnDisplayChange)
        CHAIN_MSG_MAP(CFrameWindow)
    END_MSG_MAP()

    // Start-up and stop.
    LRESULT OnCreate(WPARAM, LPARAM);
    bool LoadDeviceFunctions();
    void LoadSettings();
    void ApplySystemSettings();
    void StopTray();

    // Menu commands and their states.
    void OnLoadCustomizer();
    void OnOfaOn();
    void OnOfaVisible();
    void OnUniversalScroll();
    void OnDisableTrayIcon();
    void OnCloseTrayIcon();
    void OnUpdateOfaOn(CCmdUI& state);
    void OnUpdateOfaVisible(CCmdUI& state);
    void OnUpdateUniversalScroll(CCmdUI& state);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayEnable(WPARAM wParam, LPARAM lParam);

    // Driver events.
    LRESULT OnSpeedChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnOfaEnabledChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnOfaVisibleChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnUniversalScrollChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonsChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonState(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayMacro(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeysDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeysUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnMiddleClick(WPARAM wParam, LPARAM lParam);

    // Devices of the suite.
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    void RegisterForDeviceNotices();
    void ScanDevices(const GUID& interfaceClass);
    void AddDevice(const std::string& path, const GUID& interfaceClass);
    void RemoveDevice(const std::string& path);
    void OpenDriver();
    uint32_t QueryPs2Device();
    void NotifyOtherInstance();
    int EnsureRunKey();

    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM, LPARAM) { return 0; }

private:
    const bool m_hasModernOS;
    const bool m_isWindows2000;
    const bool m_enableRequested;

    CTrayIcon m_trayIcon;
    HANDLE m_hDevice = INVALID_HANDLE_VALUE;
    uint32_t m_ps2Present = 0;
    bool m_trayIconEnabled = true;
    HANDLE m_hMutex = nullptr;
    UINT m_driverJustLoadedMsg = 0;
    HANDLE m_pEventThread = nullptr;
    std::vector<std::string> m_devicePaths;

    // The setup and notification functions, loaded at start.
    HMODULE m_hSetupApi = nullptr;
    HMODULE m_hUser32 = nullptr;
    decltype(&SetupDiGetClassDevsA) m_getClassDevs = nullptr;
    decltype(&SetupDiDestroyDeviceInfoList) m_destroyDeviceInfoList = nullptr;
    decltype(&SetupDiEnumDeviceInterfaces) m_enumDeviceInterfaces = nullptr;
    decltype(&SetupDiGetDeviceInterfaceDetailA) m_getDeviceInterfaceDetail = nullptr;
    decltype(&RegisterDeviceNotificationA) m_registerDeviceNotification = nullptr;
};
