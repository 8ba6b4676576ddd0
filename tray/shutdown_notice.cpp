#include "shutdown_notice.h"

#include "dialog.h"
#include "resource.h"

namespace {

constexpr int NOTICE_SECONDS = 10;

}  // namespace

// The notice stays up for ten seconds, repainted every second since nothing
// pumps its messages meanwhile.
void ShowShutdownNotice()
{
    CDialog notice(IDD_SHUTDOWN);
    const bool shown = notice.CreateModeless(nullptr);
    if (shown)
        ShowWindow(notice.m_hWnd, SW_SHOW);
    for (int second = 0; second < NOTICE_SECONDS; ++second) {
        Sleep(1000);
        if (shown)
            RedrawWindow(notice.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    ExitWindowsEx(EWX_SHUTDOWN, 0);
    if (shown)
        notice.DestroyWindow();
}
