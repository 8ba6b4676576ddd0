#include "tray_icon.h"

#include <string.h>

CTrayIcon::CTrayIcon()
{
    memset(&data_, 0, sizeof(data_));
    // The basic record that every shell version understands.
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

CTrayIcon::~CTrayIcon()
{
    RemoveIcon();
}

bool CTrayIcon::Create(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id,
                       bool show)
{
    if (LOBYTE(LOWORD(GetVersion())) < 4) {
        valid_ = false;
        return false;
    }
    valid_ = owner && IsWindow(owner);
    if (!valid_)
        return false;
    data_.hWnd = owner;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    lstrcpynA(data_.szTip, tip, sizeof(data_.szTip));
    if (show) {
        valid_ = Shell_NotifyIconA(NIM_ADD, &data_) != FALSE;
        hidden_ = false;
        return valid_;
    }
    hidden_ = true;
    return true;
}

void CTrayIcon::RemoveIcon()
{
    if (!valid_)
        return;
    data_.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &data_);
    valid_ = false;
}

void CTrayIcon::HideIcon()
{
    if (!valid_ || hidden_)
        return;
    data_.uFlags = NIF_ICON;
    Shell_NotifyIconA(NIM_DELETE, &data_);
    hidden_ = true;
}

void CTrayIcon::ShowIcon()
{
    if (!valid_ || !hidden_)
        return;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconA(NIM_ADD, &data_);
    hidden_ = false;
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != data_.uID)
        return 0;
    // The menu resource has the icon's number.
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(data_.uID));
    if (!menu)
        return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP:
        ShowPopupMenu(popup);
        break;
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(data_.hWnd);
        SendMessageA(data_.hWnd, WM_COMMAND, GetMenuItemID(popup, 0), 0);
        break;
    default:
        break;
    }
    DestroyMenu(menu);
    return 1;
}

void CTrayIcon::ShowPopupMenu(HMENU popup)
{
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor;
    GetCursorPos(&cursor);
    // The owner must be in front, or the menu would not close when the
    // user clicks elsewhere.
    SetForegroundWindow(data_.hWnd);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, data_.hWnd,
                   nullptr);
    PostMessageA(data_.hWnd, WM_USER, 0, 0);
}
