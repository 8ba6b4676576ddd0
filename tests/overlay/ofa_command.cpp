// ofa_command.exe show|hide|close [LPARAM]
// Sends the overlay the command the driver (through the tray) would send,
// once its window exists; "show" then waits until the meter's background
// colour is on the screen at the meter's corner. For demonstrations and
// the main job's screen shots. Exit code 0 when done, 1 on a time-out.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "driver_protocol.h"

namespace {

constexpr DWORD DEADLINE_MS = 20000;
constexpr COLORREF METER_BACKGROUND = RGB(0x26, 0x26, 0x26);

template <class Condition>
bool WaitFor(Condition condition)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > DEADLINE_MS)
            return false;
        Sleep(20);  // the poll's interval
    }
    return true;
}

bool MeterOnScreen(HWND overlay)
{
    RECT rect;
    GetWindowRect(overlay, &rect);
    const HDC screen = GetDC(nullptr);
    const COLORREF corner = GetPixel(screen, rect.left, rect.top);
    ReleaseDC(nullptr, screen);
    return corner == METER_BACKGROUND;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* const title = "Vexon On-the-Fly Sensitivity Adjustment";
    if (argc < 2) {
        fprintf(stderr, "usage: ofa_command show|hide|close [LPARAM]\n");
        return 2;
    }
    uint32_t code = OFA_SHOW;
    if (strcmp(argv[1], "hide") == 0)
        code = OFA_HIDE;
    else if (strcmp(argv[1], "close") == 0)
        code = OFA_CLOSE;
    const LPARAM lParam = argc > 2 ? static_cast<LPARAM>(strtoul(argv[2], nullptr, 0)) : 0;
    HWND overlay = nullptr;
    if (!WaitFor([&] { return (overlay = FindWindowA(title, title)) != nullptr; })) {
        fprintf(stderr, "ofa_command: no overlay window\n");
        return 1;
    }
    PostMessageA(overlay, WM_APP_MESSAGE, code, lParam);
    if (code == OFA_SHOW && !WaitFor([&] { return MeterOnScreen(overlay); })) {
        fprintf(stderr, "ofa_command: the meter did not appear\n");
        return 1;
    }
    return 0;
}
