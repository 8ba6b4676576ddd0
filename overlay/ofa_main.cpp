// vexonofa.exe: the on-screen sensitivity meter. One copy runs; it waits
// hidden for the driver's show and hide commands, which the tray forwards.
#include <stdlib.h>
#include <string.h>

#include "command_line.h"
#include "ofa_program.h"
#include "system_version.h"

namespace {

void InitialiseState()
{
    const SYSTEM_VERSION& version = GetSystemVersion();
    bWindows2000Detected = version.WindowsNT && version.Major >= 5;
    static_cast<OFA_METER&>(ofa) = InitialMeter();
    ofa.hSavedBackground = nullptr;
    strcpy(sActiveDisplayServiceName, "UNKNOWN");
    bErrorSavingRectUnderOFA = false;
    bHideFromTaskbar = true;
    currentDisplayMode = ScreenDisplayMode();
    bMeterInOwnWindow = RunningOnWine();
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    InitialiseState();
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, OFA_MUTEX_NAME);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return 1;
    }
    const OFA_OPTIONS options = ParseCommandLine(__argc, __argv);
    bLogging = options.log;
    bHideFromTaskbar = options.hideFromTaskbar;
    bTestKeys = options.testKeys;
    ofa.refreshMs = options.refreshMs;

    initLog(bLogging);
    initGfx(instance);
    setupOFAForCurrentDisplayMode();
    OfaLog("\nWinMain: initWin... ");
    if (!initWin(instance))
        return 0;
    OfaLog("OK.");
    if (bWindows2000Detected)
        doDXStuff();
    setupOFAForCurrentDisplayMode();
    if (bLogging)
        StartLogTimer();
    initVXD();
    OfaLog("\nWinMain: Starting main message loop...");
    return RunMessageLoop();
}
