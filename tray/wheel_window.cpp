#include "wheel_window.h"

#include <stdio.h>
#include <stdlib.h>

#include "driver_client.h"

namespace {

const char DESKTOP_KEY[] = "Control Panel\\Desktop";
const char WHEEL_LINES_VALUE[] = "WheelScrollLines";
constexpr uint32_t WHEEL_MIDDLE_DOWN = 1u << 26;

}  // namespace

bool SetWheelScrollLines(DWORD lines, bool hasModernOS)
{
    if (hasModernOS)
        return SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr,
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    char text[16];
    snprintf(text, sizeof(text), "%lu", static_cast<unsigned long>(lines));
    const bool written = RegSetValueExA(key, WHEEL_LINES_VALUE, 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(text),
                                        DWORD(strlen(text) + 1)) == ERROR_SUCCESS;
    if (written)
        PostMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
    RegCloseKey(key);
    return written;
}

bool CWheelWindow::Create()
{
    WNDCLASSEXA windowClass = {};
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = WHEEL_WINDOW_CLASS;
    RegisterWindowClass(windowClass);
    return CWindow::Create(WHEEL_WINDOW_CLASS, WHEEL_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 0,
                           100, 100, nullptr, nullptr) != nullptr;
}

CWheelWindow::~CWheelWindow()
{
    DestroyWindow();
}

LRESULT CWheelWindow::OnCreate(WPARAM, LPARAM)
{
    rollMsg = RegisterWindowMessageA(MSWHEEL_ROLLMSG_NAME);
    supportMsg = RegisterWindowMessageA(MSH_WHEELSUPPORT_MSG_NAME);
    linesMsg = RegisterWindowMessageA(MSH_SCROLL_LINES_MSG_NAME);
    middleDown = false;
    ReadScrollLines();
    SendSlotRequestToVxd(IOCTL_MOUFILTER_REGISTER);
    return 0;
}

LRESULT CWheelWindow::OnDestroy(WPARAM, LPARAM)
{
    SendSlotRequestToVxd(IOCTL_MOUFILTER_UNREGISTER);
    return 0;
}

// The wheel events come from the Windows 98 driver, whatever the system.
void CWheelWindow::SendSlotRequestToVxd(uint32_t code)
{
    HANDLE device = OpenDriverDevice(VEXON_VXD_PATH, false);
    if (device == INVALID_HANDLE_VALUE)
        return;
    SendSlotRequest(device, code, m_hWnd, SLOT_MOUSEWHEEL);
    CloseHandle(device);
}

// A release of the middle button goes out before the event's wheel steps,
// a press after them.
LRESULT CWheelWindow::OnWheelEvent(WPARAM, LPARAM lParam)
{
    const bool middle = (uint32_t(lParam) & WHEEL_MIDDLE_DOWN) != 0;
    if (middleDown && !middle) {
        middleDown = false;
        mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, GetMessageExtraInfo());
    }
    const int steps = static_cast<signed char>(lParam & 0xFF);
    if (steps != 0) {
        POINT cursor;
        GetCursorPos(&cursor);
        PostMessageA(GetForegroundWindow(), rollMsg, WPARAM(steps * WHEEL_DELTA),
                     MAKELPARAM(cursor.x, cursor.y));
    }
    if (!middleDown && middle) {
        middleDown = true;
        mouse_event(MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, GetMessageExtraInfo());
    }
    return 0;
}

LRESULT CWheelWindow::OnScrollLinesChanged(WPARAM, LPARAM)
{
    ReadScrollLines();
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return 0;
}

void CWheelWindow::ReadScrollLines()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    char text[128] = {};
    DWORD size = sizeof(text) - 1;
    if (RegQueryValueExA(key, WHEEL_LINES_VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &size) == ERROR_SUCCESS)
        scrollLines = DWORD(strtoul(text, nullptr, 10));
    RegCloseKey(key);
}
