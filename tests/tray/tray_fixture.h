// Runs the tray program as its own process under Wine and watches what it
// does: its window, the registry, and the keys and buttons it sends (seen
// through low-level input hooks).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config_block.h"

// Paths given on the test program's command line.
struct TrayTestPaths {
    std::string tray;      // vexontra.exe
    std::string recorder;  // a stand-in program that records its command line
};
extern TrayTestPaths g_paths;

// The main of the tray's test programs: PROGRAM VEXONTRA.EXE RECORDER.EXE
// [gtest options].
int RunTrayTests(int argc, char** argv);

// Polls until condition holds or the deadline passes; returns the last answer.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

class TrayProcess {
public:
    ~TrayProcess();
    // Starts the tray with the given arguments; false when it cannot start.
    bool Start(const std::string& arguments = "");
    // The tray's main window once the tray has started up (null after the
    // deadline).
    HWND WaitForWindow();
    // Asks the tray to close as another program would; returns its answer.
    LRESULT Close();
    // Waits for the process to end; false when it did not within the deadline.
    bool WaitForExit(int timeoutMs = 20000);
    DWORD ProcessId() const { return process_.dwProcessId; }
    HWND Window() const { return window_; }

private:
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};

// The user's and the machine's settings keys.
void ClearSettingsKeys();
DWORD ReadUserDword(const char* name, DWORD missing = 0xDEADBEEF);
std::vector<BYTE> ReadUserBinary(const char* name);
void WriteUserDword(const char* name, DWORD value);
void WriteUserBinary(const char* name, const std::vector<BYTE>& data);
void WriteUserString(const char* name, const std::string& text);
std::vector<std::string> UserValueNames();

// One key or mouse button event seen by the hooks.
struct InputEvent {
    DWORD code;  // virtual key, or the mouse message
    bool up;
    double ms;   // since the recorder started
};

// Low-level keyboard and mouse hooks on a thread of their own.
class InputRecorder {
public:
    InputRecorder();
    ~InputRecorder();
    // Waits until count events have been seen (or the deadline passed).
    std::vector<InputEvent> WaitForEvents(size_t count, int timeoutMs = 10000);
    std::vector<InputEvent> Events();

private:
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);
    void Record(DWORD code, bool up);
    void Run();

    std::thread thread_;
    DWORD threadId_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<InputEvent> events_;
    bool ready_ = false;
    std::chrono::steady_clock::time_point start_;
    static InputRecorder* current_;
};
