// The overlay program's state and the procedures its files share. One
// thread: everything runs from the message loop.
#pragma once

#include <windows.h>
#include <stdio.h>

#include <memory>

#include "meter.h"

#define OFA_WINDOW_TITLE "Vexon On-the-Fly Sensitivity Adjustment"
#define OFA_MUTEX_NAME "MUTEX_VEXONOFA"
#define OFA_LOG_FILE "vexon_ofa_log.txt"

// The meter record and its saved background.
struct OFA_DATA : OFA_METER {
    HBITMAP hSavedBackground;
};

struct DISPLAY_MODE {
    int width;
    int height;
    int bitsPerPixel;
};

// One loaded picture and its resource name (for the log).
class OFA_BITMAP {
public:
    explicit OFA_BITMAP(const char* name) : name_(name) {}
    ~OFA_BITMAP();
    OFA_BITMAP(const OFA_BITMAP&) = delete;
    OFA_BITMAP& operator=(const OFA_BITMAP&) = delete;

    // Loads the picture as a device-independent bitmap; logs a failure.
    bool LoadBitmap(HINSTANCE instance);
    HBITMAP Handle() const { return bitmap_; }
    const char* Name() const { return name_; }

private:
    const char* name_;
    HBITMAP bitmap_ = nullptr;
};

constexpr size_t DISPLAY_SERVICE_NAME_SIZE = 255;

extern OFA_DATA ofa;
extern bool bWindows2000Detected;
extern DISPLAY_MODE currentDisplayMode;
extern bool bHideFromTaskbar;
extern bool bLogging;
extern bool bTestKeys;
extern int fake_ofasensitivityvalue;
extern bool bErrorSavingRectUnderOFA;
extern char sActiveDisplayServiceName[DISPLAY_SERVICE_NAME_SIZE + 1];
extern HANDLE hVXD;
extern HWND hWndOFA;
extern std::unique_ptr<OFA_BITMAP> ofaBitmaps[OFA_PICTURE_COUNT];
// Under Wine the meter is shown in the overlay's own topmost window instead
// of straight on the screen (see ofa_gfx.cpp).
extern bool bMeterInOwnWindow;

// ofa_log.cpp
bool initLog(bool toFile);
void OfaLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Logs a format whose seven numbers are the local time, down to milliseconds.
void OfaLogLocalTime(const char* format);
void FlushLog();
void CloseLog();
// The system's text for an error code, at most 100 characters, one line.
void SystemErrorText(DWORD error, char (&text)[101]);

// ofa_gfx.cpp
bool RunningOnWine();
bool initGfx(HINSTANCE instance);
void PaintOFA();
void unloadBitmaps();
// Shows the meter's window hidden, or minimised with "/nohide".
void ShowHiddenOrMinimised();
// Invalidates and erases every window, children included, and repaints
// them at once.
void RepaintWholeScreen();

// ofa_display.cpp
void setupOFAForCurrentDisplayMode();
bool getCurrentConfigDisplayMode(DISPLAY_MODE* stored);
void doDXStuff();
DISPLAY_MODE ScreenDisplayMode();

// ofa_window.cpp
bool initWin(HINSTANCE instance);
void initVXD();
void StartLogTimer();
