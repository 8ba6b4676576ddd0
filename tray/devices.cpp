// CMainFrame: the mice of the suite coming and going, the handshake with the
// Customizer when the driver opens, and the autostart value.
#include "main_frame.h"

#include <dbt.h>
#include <string.h>

#include <algorithm>

#include "application.h"
#include "driver_client.h"
#include "interface_guid.h"

namespace {

const char RUN_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char RUN_VALUE[] = "vexontra";
constexpr DWORD RUN_VALUE_MAX = 4096;
constexpr uint32_t PS2_QUERY_FLAG = 1;

void ShowStartError(const char* text)
{
    MessageBoxA(nullptr, text, LoadResourceString(IDS_APP_TITLE).c_str(), MB_OK);
}

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function* function, const char* error)
{
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!*function)
        ShowStartError(error);
    return *function != nullptr;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The interface path of a notice. The record should carry 8-bit text for an
// 8-bit window, but some systems deliver UTF-16 regardless; a path never
// has a NUL as its second byte, so that tells the two apart.
std::string NoticePath(const DEV_BROADCAST_DEVICEINTERFACE_A* notice)
{
    const size_t fixed = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (notice->dbcc_size <= fixed)
        return std::string();
    const size_t bytes = notice->dbcc_size - fixed;
    const char* name = notice->dbcc_name;
    if (bytes >= 4 && name[0] != 0 && name[1] == 0) {
        const wchar_t* wide = reinterpret_cast<const wchar_t*>(name);
        const size_t length = wcsnlen(wide, bytes / sizeof(wchar_t));
        char narrow[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, int(length), narrow, sizeof(narrow) - 1, nullptr,
                            nullptr);
        return narrow;
    }
    return std::string(name, strnlen(name, bytes));
}

}  // namespace

bool CMainFrame::LoadDeviceFunctions()
{
    m_hSetupApi = LoadLibraryA("setupapi.dll");
    if (!m_hSetupApi) {
        ShowStartError("VuziveradiroReru: Can't load setupapi.dll");
        return false;
    }
    m_hUser32 = LoadLibraryA("user32.dll");
    if (!m_hUser32) {
        ShowStartError("VuziveradiroReru: Can't load user32.dll");
        return false;
    }
    return Resolve(m_hSetupApi, "SetupDiGetClassDevsA", &m_getClassDevs,
                   "VuziveradiroReru: Can't get function SetupDiGetClassDevs() from setupapi.dll") &&
           Resolve(m_hSetupApi, "SetupDiDestroyDeviceInfoList", &m_destroyDeviceInfoList,
                   "VuziveradiroReru: Can't get function SetupDiDestroyDeviceInfoList() from "
                   "setupapi.dll") &&
           Resolve(m_hSetupApi, "SetupDiEnumDeviceInterfaces", &m_enumDeviceInterfaces,
                   "VuziveradiroReru: Can't get function SetupDiEnumDeviceInterfaces() from "
                   "setupapi.dll") &&
           Resolve(m_hSetupApi, "SetupDiGetDeviceInterfaceDetailA", &m_getDeviceInterfaceDetail,
                   "VuziveradiroReru: Can't get function SetupDiGetDeviceInterfaceDetail() from "
                   "setupapi.dll") &&
           Resolve(m_hUser32, "RegisterDeviceNotificationA", &m_registerDeviceNotification,
                   "VuziveradiroReru: Can't get function RegisterDeviceNotification() from "
                   "user32.dll");
}

uint32_t CMainFrame::QueryPs2Device()
{
    HANDLE device = OpenDriverDevice(VEXON_PS2_DEVICE_PATH, false);
    if (device == INVALID_HANDLE_VALUE)
        return 0;
    const uint32_t reply = SendSlotRequest(device, IOCTL_VEXONPS2_QUERY, m_hWnd, PS2_QUERY_FLAG);
    CloseHandle(device);
    return reply;
}

void CMainFrame::RegisterForDeviceNotices()
{
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = AsGuid(GUID_AUTOLAUNCH_NOTIFY);
    m_registerDeviceNotification(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// Opens the driver when no handle is open yet, registers the tray, tells an
// open Customizer that the driver is there and wakes the event listener.
void CMainFrame::OpenDriver()
{
    if (m_hDevice != INVALID_HANDLE_VALUE)
        return;
    m_hDevice = OpenMouseDriver(false);
    if (m_hDevice == INVALID_HANDLE_VALUE)
        return;
    SendSlotRequest(m_hDevice, IOCTL_MOUFILTER_REGISTER, m_hWnd, SLOT_TRAY);
    if (HWND customizer = FindWindowA(nullptr, CUSTOMIZER_WINDOW_TITLE))
        PostMessageA(customizer, m_driverJustLoadedMsg, 0, 0);
    SetEvent(m_deviceArrival);
}

void CMainFrame::ScanDevices(const GUID& interfaceClass)
{
    if (m_ps2Present) {
        if (m_trayIconEnabled)
            m_trayIcon.ShowIcon();
        OpenDriver();
    }
    if (!m_hasModernOS)
        return;
    HDEVINFO set = m_getClassDevs(&interfaceClass, nullptr, nullptr,
                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof(interfaceData);
    for (DWORD index = 0;
         m_enumDeviceInterfaces(set, nullptr, &interfaceClass, index, &interfaceData); ++index) {
        DWORD size = 0;
        m_getDeviceInterfaceDetail(set, &interfaceData, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
            continue;
        std::vector<char> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        // The fixed part of the record as this build lays it out (5 bytes
        // in a 32-bit program, 8 in a 64-bit one).
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (m_getDeviceInterfaceDetail(set, &interfaceData, detail, size, nullptr, nullptr))
            AddDevice(detail->DevicePath, interfaceClass);
    }
    m_destroyDeviceInfoList(set);
}

// The shell calls of the icon wait for the shell, and meanwhile the next
// device notice can come in; so the state is brought up to date first and
// the icon changes last.
void CMainFrame::AddDevice(const std::string& path, const GUID&)
{
    const bool known = std::any_of(m_devicePaths.begin(), m_devicePaths.end(),
                                   [&](const std::string& p) { return SamePath(p, path); });
    if (!known)
        m_devicePaths.push_back(path);
    OpenDriver();
    if (m_trayIconEnabled)
        m_trayIcon.ShowIcon();
}

void CMainFrame::RemoveDevice(const std::string& path)
{
    m_devicePaths.erase(std::remove_if(m_devicePaths.begin(), m_devicePaths.end(),
                                       [&](const std::string& p) { return SamePath(p, path); }),
                        m_devicePaths.end());
    if (m_ps2Present || !m_devicePaths.empty())
        return;
    // The last mouse is gone: close the meter while the handle still works,
    // let the driver go, and hide the icon last (see AddDevice).
    UpdateOverlay();
    m_deviceGone = true;
    if (m_hDevice != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hDevice);
        m_hDevice = INVALID_HANDLE_VALUE;
    }
    m_trayIcon.HideIcon();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM wParam, LPARAM lParam)
{
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE)
        return TRUE;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return TRUE;
    const auto* notice = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    const std::string path = NoticePath(notice);
    if (wParam == DBT_DEVICEREMOVECOMPLETE) {
        RemoveDevice(path);
    } else {
        AddDevice(path, notice->dbcc_classguid);
        UpdateOverlay();
    }
    return TRUE;
}

void CMainFrame::NotifyOtherInstance()
{
    HWND other = FindWindowExA(nullptr, nullptr, nullptr, TRAY_WINDOW_TITLE);
    if (other == m_hWnd)
        other = FindWindowExA(nullptr, other, nullptr, TRAY_WINDOW_TITLE);
    if (other)
        PostMessageA(other, UM_TRAY_ENABLE, 0, 1);
}

int CMainFrame::EnsureRunKey()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return -1;
    char stored[RUN_VALUE_MAX] = {};
    DWORD size = sizeof(stored) - 1;
    const bool read = RegQueryValueExA(key, RUN_VALUE, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS;
    const std::string program(m_config.ProgramTray, strnlen(m_config.ProgramTray, CONFIG_PATH_SIZE - 1));
    if (!read || program != stored)
        RegSetValueExA(key, RUN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                       DWORD(program.size() + 1));
    RegCloseKey(key);
    return 0;
}
