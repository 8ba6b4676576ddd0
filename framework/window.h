// Windows bound to C++ objects, with message maps.
//
// A class derived from CWindow lists the messages it handles between
// BEGIN_MSG_MAP and END_MSG_MAP; each entry calls a small handler. Anything
// the map does not handle goes to the default window procedure.
#pragma once

#include <windows.h>

// The message this thread's windows are handling right now (window, message,
// parameters, time and point), saved and restored around every dispatch so
// that nested messages see their own.
const MSG& CurrentMessage();

// Asked of a window for each item of a popup menu before it opens.
class CCmdUI {
public:
    CCmdUI(HMENU menu, UINT position, UINT id) : menu_(menu), position_(position), id_(id) {}
    UINT Id() const { return id_; }
    void Enable(bool enabled);
    void SetCheck(bool checked);

private:
    HMENU menu_;
    UINT position_;
    UINT id_;
};

// A private message by which the framework asks a window's message map for
// the state of a command: wParam the command, lParam the CCmdUI.
constexpr UINT UM_QUERY_COMMAND_STATE = WM_APP + 0x3F00;

class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND m_hWnd = nullptr;

    // Registers a window class whose procedure dispatches to bound objects;
    // lpfnWndProc and cbSize of the record are filled in here.
    static ATOM RegisterWindowClass(WNDCLASSEXA windowClass);

    // Creates a window of a class registered with RegisterWindowClass and
    // binds it to this object.
    HWND Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                int y, int width, int height, HWND parent, HMENU menu);

    // The object bound to a window, or null.
    static CWindow* FromHandle(HWND window);

    virtual BOOL DestroyWindow();

    // Asks the message map for a command's state (true when it answered).
    bool QueryCommandState(CCmdUI* state);

protected:
    // Filled in by the message map macros.
    virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result);
    virtual LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message; the object may delete itself.
    virtual void OnFinalMessage() {}

    // Binds a window to its object, and undoes it.
    static void Bind(HWND window, CWindow* object);
    static void Unbind(HWND window);

    // Runs a message through the map with the current-message record set.
    static LRESULT Dispatch(CWindow* self, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam, bool* handled);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
};

#define BEGIN_MSG_MAP(theClass)                                                            \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,          \
                              LRESULT& lResult) override                                   \
    {                                                                                      \
        (void)hWnd;                                                                        \
        (void)wParam;                                                                      \
        (void)lParam;

// LRESULT func(WPARAM, LPARAM)
#define MESSAGE_HANDLER(msg, func)       \
    if (uMsg == (msg)) {                 \
        lResult = func(wParam, lParam);  \
        return TRUE;                     \
    }

// For registered messages, whose number is known only at run time.
#define REGISTERED_MESSAGE_HANDLER(number, func) \
    if ((number) != 0 && uMsg == (number)) {     \
        lResult = func(wParam, lParam);          \
        return TRUE;                             \
    }

// void func(): a menu or control command.
#define COMMAND_ID_HANDLER(id, func)                          \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {       \
        func();                                               \
        lResult = 0;                                          \
        return TRUE;                                          \
    }

// void func(CCmdUI&): the state of a command, asked before a menu opens.
#define UPDATE_COMMAND_UI(id, func)                                      \
    if (uMsg == UM_QUERY_COMMAND_STATE && wParam == (id)) {              \
        func(*reinterpret_cast<CCmdUI*>(lParam));                        \
        lResult = TRUE;                                                  \
        return TRUE;                                                     \
    }

#define CHAIN_MSG_MAP(baseClass)                                                   \
    if (baseClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))      \
        return TRUE;

#define END_MSG_MAP() \
    return FALSE;     \
    }
