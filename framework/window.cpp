#include "window.h"

namespace {

thread_local MSG t_currentMessage = {};

// Which object a window belongs to: a window property, so that any window
// class (including dialogs) can carry one.
const char OBJECT_PROPERTY[] = "VexonWindowObject";

}  // namespace

const MSG& CurrentMessage()
{
    return t_currentMessage;
}

void CCmdUI::Enable(bool enabled)
{
    EnableMenuItem(menu_, position_, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CCmdUI::SetCheck(bool checked)
{
    CheckMenuItem(menu_, position_, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

CWindow::~CWindow()
{
    if (m_hWnd && IsWindow(m_hWnd))
        Unbind(m_hWnd);
}

void CWindow::Bind(HWND window, CWindow* object)
{
    object->m_hWnd = window;
    SetPropA(window, OBJECT_PROPERTY, object);
}

void CWindow::Unbind(HWND window)
{
    RemovePropA(window, OBJECT_PROPERTY);
}

ATOM CWindow::RegisterWindowClass(WNDCLASSEXA windowClass)
{
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    return RegisterClassExA(&windowClass);
}

HWND CWindow::Create(const char* className, const char* title, DWORD style, DWORD exStyle,
                     int x, int y, int width, int height, HWND parent, HMENU menu)
{
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                           GetModuleHandleA(nullptr), this);
}

CWindow* CWindow::FromHandle(HWND window)
{
    return static_cast<CWindow*>(GetPropA(window, OBJECT_PROPERTY));
}

BOOL CWindow::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

bool CWindow::QueryCommandState(CCmdUI* state)
{
    LRESULT result = 0;
    return ProcessWindowMessage(m_hWnd, UM_QUERY_COMMAND_STATE, state->Id(),
                                reinterpret_cast<LPARAM>(state), result) != FALSE;
}

BOOL CWindow::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

LRESULT CWindow::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWindow::Dispatch(CWindow* self, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam, bool* handled)
{
    const MSG saved = t_currentMessage;
    t_currentMessage.hwnd = window;
    t_currentMessage.message = message;
    t_currentMessage.wParam = wParam;
    t_currentMessage.lParam = lParam;
    t_currentMessage.time = GetMessageTime();
    const DWORD position = GetMessagePos();
    t_currentMessage.pt = {static_cast<short>(LOWORD(position)),
                           static_cast<short>(HIWORD(position))};
    LRESULT result = 0;
    *handled = self->ProcessWindowMessage(window, message, wParam, lParam, result) != FALSE;
    t_currentMessage = saved;
    return result;
}

LRESULT CALLBACK CWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    CWindow* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self)
            Bind(window, self);
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);

    bool handled = false;
    LRESULT result = Dispatch(self, window, message, wParam, lParam, &handled);
    if (!handled)
        result = self->DefaultProcedure(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Unbind(window);
        self->m_hWnd = nullptr;
        self->OnFinalMessage();
    }
    return result;
}
