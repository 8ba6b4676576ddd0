// Runs vexonofa.exe as the tray would and watches what it does: its
// window, its log file and the screen. Waits are polls with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "driver_protocol.h"

// Paths given on the test program's command line.
extern std::string g_overlayExe;
extern std::string g_standInDll;

// The main of the overlay's screen and log tests: PROGRAM VEXONOFA.EXE
// STANDIN.DLL [gtest options].
int RunOverlayTests(int argc, char** argv);

#define OFA_TITLE "Vexon On-the-Fly Sensitivity Adjustment"
#define STANDIN_SERVICE "VexonStandInDisplay"

constexpr DWORD DEADLINE_MS = 15000;

// A path as the test's command line gives it: Unix paths (from the build
// system) are reached through Wine's drive Z:.
std::string WindowsPath(const char* path);

// Pumps this thread's messages until condition() holds or the deadline
// passes; returns the last answer.
bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs = DEADLINE_MS);

struct ScreenMode {
    int width, height, bitsPerPixel;
};
ScreenMode CurrentScreenMode();

// The mode Windows' display settings store for the stand-in's service
// (under HKEY_CURRENT_CONFIG); Remove deletes it.
bool StoreRegistryMode(const ScreenMode& mode);
void RemoveRegistryMode();

class OverlayRun {
public:
    OverlayRun();  // a fresh folder holding the program and the stand-in
    ~OverlayRun();  // ends a program still running
    OverlayRun(const OverlayRun&) = delete;
    OverlayRun& operator=(const OverlayRun&) = delete;

    // Starts "vexonofa.exe args" in the folder; false if it cannot start.
    bool Start(const std::string& args);
    // Waits for the program's window; false when none appears.
    bool WaitForWindow();
    HWND Window() const { return window_; }
    void Command(uint32_t code, uint32_t lParam);
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    // Waits for the end of the program; its exit code, or STILL_ACTIVE.
    DWORD WaitForExit();
    // Posts OFA_CLOSE and waits for the end.
    DWORD Close();
    bool LogExists() const;
    // The program's copy in the run's folder, as a command line names it.
    std::string ProgramPath() const { return "\"" + dir_ + "\\vexonofa.exe\""; }
    // The log file's bytes as written (CR LF line ends).
    std::string RawLog() const;
    // The log with CR LF turned into LF; waits until it contains text.
    bool WaitForLog(const std::string& text);
    std::string Log() const;

private:
    std::string dir_;
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};

// The screen's pixels (0xRRGGBB) in a rectangle, read through the screen's
// drawing context.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[y * width + x]; }
};
Shot CaptureScreen(int x, int y, int width, int height);

// Fills a screen rectangle with a colour straight through the screen's
// drawing context (what the screen showed before the meter came).
void PaintScreen(int x, int y, int width, int height, uint32_t rgb);

// The overlay's pictures, from its own resources, as 0xRRGGBB pixels.
std::vector<std::vector<uint32_t>> LoadOverlayPictures();

// What the meter must look like: every picture at its step's place.
Shot ExpectedMeter(const std::vector<std::vector<uint32_t>>& pictures, bool twoBars, int sx,
                   int sy);

// Empty when the screen at (x, y) shows expected, else the first difference.
std::string CompareScreen(int x, int y, const Shot& expected);
bool ScreenIsAll(int x, int y, int width, int height, uint32_t rgb);

// A window of this process that fills itself with a colour when painted.
class ColourWindow {
public:
    ColourWindow(int x, int y, int width, int height, uint32_t rgb);
    ~ColourWindow();
    // The colour of the next WM_PAINT; nothing is invalidated.
    void SetColour(uint32_t rgb);
    // Paints straight into the window's drawing context, without WM_PAINT.
    void PaintNow(uint32_t rgb);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_;
    uint32_t colour_;
};
