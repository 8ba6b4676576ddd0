#include "frame_window.h"

#include <string>

#include "application.h"

namespace {

const char FRAME_CLASS[] = "VexonFrameWindow";

std::string FirstField(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

}  // namespace

bool CFrameWindow::LoadFrame(UINT id, DWORD style)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(id));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = FRAME_CLASS;
    RegisterWindowClass(windowClass);  // fails harmlessly when already registered
    const std::string title = FirstField(LoadResourceString(id));
    return Create(FRAME_CLASS, title.c_str(), style, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr) != nullptr;
}

LRESULT CFrameWindow::OnClose(WPARAM, LPARAM)
{
    DestroyWindow();
    return 0;
}

LRESULT CFrameWindow::OnInitMenuPopup(WPARAM wParam, LPARAM)
{
    UpdateMenuItems(reinterpret_cast<HMENU>(wParam));
    return 0;
}

void CFrameWindow::UpdateMenuItems(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = GetMenuItemID(menu, position);
        if (id == 0 || id == UINT(-1))
            continue;  // separators and submenus
        CCmdUI state(menu, UINT(position), id);
        QueryCommandState(&state);
    }
}

void CFrameWindow::OnFinalMessage()
{
    CApplication* application = CApplication::Instance();
    if (application && application->m_pMainWnd == this)
        PostQuitMessage(0);
}
