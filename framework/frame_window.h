// A top-level frame window: its title comes from a string resource, its
// popup menus ask the window's message map for their items' states, and
// closing it destroys it (which ends the application when it is the main
// window).
#pragma once

#include "window.h"

class CFrameWindow : public CWindow {
public:
    // Creates the window with the title from string resource id (the text up
    // to its first '\n') and the class icon of icon resource id.
    bool LoadFrame(UINT id, DWORD style);

protected:
    BEGIN_MSG_MAP(CFrameWindow)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    END_MSG_MAP()

    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    void OnFinalMessage() override;

    // Runs before a popup menu opens: asks for each command item's state.
    void UpdateMenuItems(HMENU menu);
};
