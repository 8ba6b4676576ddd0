// Our GUI framework under Wine: the command-line rule, message maps, the
// current-message record, command states of popup menus, dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "application.h"
#include "dialog.h"
#include "frame_window.h"

namespace {

TEST(Application, CommandLineSwitchesLoseTheirPrefix)
{
    char program[] = "vexontra.exe", enabled[] = "/enabled", shutdown[] = "-shutdown",
         plain[] = "enabled", bare[] = "/", upper[] = "/Enabled";
    char* argv[] = {program, enabled, shutdown, plain, bare, upper};
    EXPECT_EQ(CApplication::CommandLineSwitches(6, argv),
              (std::vector<std::string>{"enabled", "shutdown", "", "Enabled"}));
}

constexpr UINT UM_OUTER = WM_APP + 1;
constexpr UINT UM_INNER = WM_APP + 2;

class TestFrame : public CFrameWindow {
public:
    std::vector<std::string> log;
    bool secondChecked = false;
    bool thirdEnabled = true;

protected:
    BEGIN_MSG_MAP(TestFrame)
        MESSAGE_HANDLER(UM_OUTER, OnOuter)
        MESSAGE_HANDLER(UM_INNER, OnInner)
        COMMAND_ID_HANDLER(201, OnFirst)
        UPDATE_COMMAND_UI(202, OnUpdateSecond)
        UPDATE_COMMAND_UI(203, OnUpdateThird)
        CHAIN_MSG_MAP(CFrameWindow)
    END_MSG_MAP()

    // The current-message record belongs to the message being handled, also
    // around a nested one.
    LRESULT OnOuter(WPARAM wParam, LPARAM)
    {
        const LRESULT inner = SendMessageA(m_hWnd, UM_INNER, 7, 0);
        const MSG& current = CurrentMessage();
        log.push_back("outer " + std::to_string(current.message == UM_OUTER) + " " +
                      std::to_string(current.wParam == wParam));
        return inner + 1;
    }
    LRESULT OnInner(WPARAM, LPARAM)
    {
        log.push_back("inner " + std::to_string(CurrentMessage().message == UM_INNER) + " " +
                      std::to_string(CurrentMessage().wParam));
        return 41;
    }
    void OnFirst() { log.push_back("first"); }
    void OnUpdateSecond(CCmdUI& state) { state.SetCheck(secondChecked); }
    void OnUpdateThird(CCmdUI& state) { state.Enable(thirdEnabled); }
};

TEST(Frame, MessageMapAndCurrentMessage)
{
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(101, WS_OVERLAPPEDWINDOW));
    char title[64] = {};
    GetWindowTextA(frame.m_hWnd, title, sizeof(title));
    EXPECT_STREQ(title, "Framework Frame");

    EXPECT_EQ(SendMessageA(frame.m_hWnd, UM_OUTER, 3, 0), 42);
    SendMessageA(frame.m_hWnd, WM_COMMAND, 201, 0);
    EXPECT_EQ(frame.log, (std::vector<std::string>{"inner 1 7", "outer 1 1", "first"}));
    EXPECT_EQ(CWindow::FromHandle(frame.m_hWnd), &frame);
    frame.DestroyWindow();
    EXPECT_EQ(frame.m_hWnd, nullptr);
}

TEST(Frame, PopupMenuAsksForItemStates)
{
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(101, WS_OVERLAPPEDWINDOW));
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101));
    HMENU popup = GetSubMenu(menu, 0);
    frame.secondChecked = false;
    frame.thirdEnabled = false;
    SendMessageA(frame.m_hWnd, WM_INITMENUPOPUP, WPARAM(popup), 0);
    EXPECT_FALSE(GetMenuState(popup, 202, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(popup, 203, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(popup, 201, MF_BYCOMMAND) & MF_GRAYED) << "no state handler";
    frame.secondChecked = true;
    frame.thirdEnabled = true;
    SendMessageA(frame.m_hWnd, WM_INITMENUPOPUP, WPARAM(popup), 0);
    EXPECT_TRUE(GetMenuState(popup, 202, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(popup, 203, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);
    frame.DestroyWindow();
}

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(100) {}
    bool initialised = false;

protected:
    BOOL OnInitDialog() override
    {
        initialised = true;
        return TRUE;
    }
};

// Finds this thread's dialog once it is up.
HWND WaitForDialog(DWORD threadId)
{
    for (int i = 0; i < 500; ++i) {
        HWND found = nullptr;
        EnumThreadWindows(
            threadId,
            [](HWND window, LPARAM result) -> BOOL {
                char title[64] = {};
                GetWindowTextA(window, title, sizeof(title));
                if (strcmp(title, "framework test") != 0)
                    return TRUE;
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found && IsWindowVisible(found))
            return found;
        Sleep(20);
    }
    return nullptr;
}

TEST(Dialog, ModalEndsWithTheButtonsResult)
{
    for (int button : {IDOK, IDCANCEL}) {
        TestDialog dialog;
        const DWORD self = GetCurrentThreadId();
        std::thread presser([&] {
            if (HWND window = WaitForDialog(self))
                PostMessageA(window, WM_COMMAND, button, 0);
        });
        EXPECT_EQ(dialog.DoModal(nullptr), button);
        presser.join();
        EXPECT_TRUE(dialog.initialised);
    }
}

TEST(Dialog, ModelessLivesUntilEnded)
{
    TestDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_TRUE(dialog.initialised);
    HWND window = dialog.m_hWnd;
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

}  // namespace
