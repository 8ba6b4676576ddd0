// The overlay's window: it only receives the driver's commands (through
// the tray), display changes and the test keys.
#include "ofa_program.h"

#include "driver_client.h"
#include "window_handle.h"

namespace {

constexpr UINT_PTR PAINT_TIMER = 1;
constexpr UINT_PTR LOG_TIMER = 2;
constexpr UINT LOG_TIMER_MS = 1000;
constexpr int ICON_GROUP = 101;

void CALLBACK PaintTimerTick(HWND, UINT, UINT_PTR, DWORD) { PaintOFA(); }

void CALLBACK LogTimerTick(HWND, UINT, UINT_PTR, DWORD)
{
    OfaLogLocalTime("\n         --- %04d-%02d-%02d %02d:%02d:%02d.%04d ---");
    FlushLog();
}

void PostCommand(UINT command, LPARAM lParam)
{
    PostMessageA(hWndOFA, WM_APP_MESSAGE, command, lParam);
}

// Copies the screen under the meter into the saved background.
void SaveBackground()
{
    bErrorSavingRectUnderOFA = false;
    const HDC screen = GetDC(nullptr);
    const HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    if (!screen || !memory) {
        bErrorSavingRectUnderOFA = true;
        OfaLog("\nWndProc : OFA_SHOW : bErrorSavingRectUnderOFA = TRUE ***");
    } else {
        OfaLog("\nWndProc : OFA_SHOW : bErrorSavingRectUnderOFA = FALSE (OK)");
        if (ofa.hSavedBackground) {
            const HGDIOBJ previous = SelectObject(memory, ofa.hSavedBackground);
            BitBlt(memory, 0, 0, ofa.width, ofa.height, screen, ofa.x, ofa.y, SRCCOPY);
            SelectObject(memory, previous);
        }
    }
    if (memory)
        DeleteDC(memory);
    if (screen)
        ReleaseDC(nullptr, screen);
}

void RestoreBackground()
{
    const HDC screen = GetDC(nullptr);
    const HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    if (memory && !bErrorSavingRectUnderOFA && ofa.hSavedBackground) {
        const HGDIOBJ previous = SelectObject(memory, ofa.hSavedBackground);
        BitBlt(screen, ofa.x, ofa.y, ofa.width, ofa.height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (memory)
        DeleteDC(memory);
    if (screen)
        ReleaseDC(nullptr, screen);
}

void StartShowing()
{
    ShowHiddenOrMinimised();
    SizeMeter(&ofa);
    // Windows: bring the hidden window to the top at the meter's place.
    // In its own window the meter appears with its first drawing instead,
    // after the background has been saved.
    const UINT show = bMeterInOwnWindow ? 0 : SWP_SHOWWINDOW;
    SetWindowPos(hWndOFA, HWND_TOPMOST, ofa.x, ofa.y, ofa.width, ofa.height,
                 show | SWP_NOACTIVATE);
    if (!bMeterInOwnWindow)
        ShowHiddenOrMinimised();
    SaveBackground();
    SetTimer(hWndOFA, PAINT_TIMER, ofa.refreshMs, PaintTimerTick);
    ofa.showing = true;
}

void OnShow(uint32_t lParam)
{
    OfaLog("\nWndProc: OFA_SHOW received. (lParam = %08X)", lParam);
    ofa.MeterMode = MeterModeFromParam(lParam);
    OfaLog("\nWndProc: OK to show OFA.");
    if (!ofa.showing)
        StartShowing();
    OfaLog("\nWndProc : OFA_SHOW : ofa.MeterMode = %s", MeterModeName(ofa.MeterMode));
    OfaLog("\nWndProc : OFA_SHOW : lParam = %08X, sx = %d, sy = %d", lParam, lParam & 0xFF,
           (lParam >> 8) & 0xFF);
    AcceptShowValues(&ofa, lParam);
}

void OnHide()
{
    OfaLog("\nWndProc: OFA_HIDE received.");
    ofa.showing = false;
    KillTimer(hWndOFA, PAINT_TIMER);
    ShowHiddenOrMinimised();
    if (ofa.restoreOnHide)
        RestoreBackground();
    else
        RepaintWholeScreen();
}

void endGame()
{
    OfaLog("\nendGame : Unloading bitmaps.");
    unloadBitmaps();
    if (hVXD != INVALID_HANDLE_VALUE) {
        OfaLog("\nendGame: Closing VXD.");
        SendSlotRequest(hVXD, IOCTL_MOUFILTER_UNREGISTER, hWndOFA, SLOT_OFA);
        CloseHandle(hVXD);
        hVXD = INVALID_HANDLE_VALUE;
    }
    if (bLogging)
        KillTimer(hWndOFA, LOG_TIMER);
    OfaLog("\nendGame: Closing logfile.");
    OfaLog("\nendGame: Program ended.");
    OfaLogLocalTime("\nendGame: --- %04d-%02d-%02d %02d:%02d:%02d.%04d --- Log ended.");
    CloseLog();
    RepaintWholeScreen();
    PostQuitMessage(0);
}

void OnDisplayChange(WPARAM bitsPerPixel, LPARAM size)
{
    const int width = LOWORD(size);
    const int height = HIWORD(size);
    OfaLog("\nWndProc: -------------------------------------------------");
    OfaLog("\nWndProc: WM_DISPLAYCHANGE received. (%4d x %4d x %4d)", width, height,
           static_cast<int>(bitsPerPixel));
    currentDisplayMode = {width, height, static_cast<int>(bitsPerPixel)};
    setupOFAForCurrentDisplayMode();
}

void OnKey(WPARAM key)
{
    switch (key) {
    case VK_ESCAPE:
        PostMessageA(hWndOFA, WM_CLOSE, 0, 0);
        break;
    case VK_UP:
        if (bTestKeys && fake_ofasensitivityvalue < static_cast<int>(OFA_MAX_VALUE)) {
            ++fake_ofasensitivityvalue;
            OfaLog("\nWndProc: Pressed UP, fake_ofasensitivityvalue = %d",
                   fake_ofasensitivityvalue);
            PostCommand(OFA_SHOW, fake_ofasensitivityvalue);
        }
        break;
    case VK_DOWN:
        if (bTestKeys && fake_ofasensitivityvalue > 0) {
            --fake_ofasensitivityvalue;
            OfaLog("\nWndProc: Pressed DOWN, fake_ofasensitivityvalue = %d",
                   fake_ofasensitivityvalue);
            PostCommand(OFA_SHOW, fake_ofasensitivityvalue);
        }
        break;
    case VK_F1:
        PostCommand(OFA_SHOW, ofa.sxLast);
        break;
    case VK_F2:
        PostCommand(OFA_HIDE, 0);
        break;
    case VK_F12:
        PostCommand(OFA_CLOSE, 0);
        break;
    }
}

LRESULT OnAppMessage(WPARAM command, LPARAM lParam)
{
    switch (command) {
    case OFA_SHOW:
        OnShow(static_cast<uint32_t>(lParam));
        break;
    case OFA_HIDE:
        OnHide();
        break;
    case OFA_CLOSE:
        OfaLog("\nWndProc: OFA_CLOSE received.");
        PostMessageA(hWndOFA, WM_CLOSE, 0, 0);
        break;
    }
    return 0;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP_MESSAGE:
        return OnAppMessage(wParam, lParam);
    case WM_CLOSE:
        OfaLog("\nWndProc: WM_CLOSE received.");
        endGame();
        return 0;
    case WM_DESTROY:
        OfaLog("\nWndProc: WM_DESTROY received.");
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DISPLAYCHANGE:
        OnDisplayChange(wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        OnKey(wParam);
        return 0;
    case WM_ACTIVATEAPP:
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool initWin(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_GROUP));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = OFA_WINDOW_TITLE;
    if (!RegisterClassA(&windowClass))
        return false;
    hWndOFA = CreateWindowExA(0, OFA_WINDOW_TITLE, OFA_WINDOW_TITLE, WS_POPUP, ofa.x, ofa.y,
                              ofa.width, ofa.height, nullptr, nullptr, instance, nullptr);
    if (!hWndOFA)
        return false;
    SetWindowPos(hWndOFA, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(hWndOFA);
    OfaLog("\ninitWin: Value of bHideFromTaskbar is %s", bHideFromTaskbar ? "TRUE" : "FALSE");
    ShowHiddenOrMinimised();
    return true;
}

void initVXD()
{
    OfaLog("\ninitVXD: Trying CreateFile(vexon.vxd).");
    if (bWindows2000Detected)
        hVXD = OpenMouseDriver(false);
    else
        hVXD = CreateFileA("\\\\.\\vexon.vxd", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE,
                           nullptr);
    if (hVXD == INVALID_HANDLE_VALUE) {
        char error[101];
        SystemErrorText(GetLastError(), error);
        OfaLog("\ninitVXD: CreateFile failed.");
        OfaLog("\ninitVXD: VXD not loaded. (Error: %s) ", error);
        return;
    }
    OfaLog("\ninitVXD: CreateFile succeeded, VXD is loaded.");
    OfaLog("\ninitVXD: Sending APP_OPEN message to VXD. (hWnd = %d)",
           static_cast<int>(HandleToWire(hWndOFA)));
    SendSlotRequest(hVXD, IOCTL_MOUFILTER_REGISTER, hWndOFA, SLOT_OFA);
}

void StartLogTimer()
{
    SetTimer(hWndOFA, LOG_TIMER, LOG_TIMER_MS, LogTimerTick);
}
