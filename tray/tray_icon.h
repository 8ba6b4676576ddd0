// The notification-area icon of the tray program and its popup menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Prepares the icon for owner; adds it to the shell only when show.
    bool Create(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id,
                bool show);
    void RemoveIcon();
    void HideIcon();
    void ShowIcon();
    bool IsHidden() const { return hidden_; }

    // The icon's callback message: the popup menu on a right click, the
    // menu's first command on a double click. Returns 1 when it was ours.
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

private:
    void ShowPopupMenu(HMENU popup);

    bool valid_ = false;
    bool hidden_ = true;
    NOTIFYICONDATAA data_;
};
