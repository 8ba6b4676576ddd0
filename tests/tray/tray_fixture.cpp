#include "tray_fixture.h"

#include <algorithm>

#include "config_values.h"

TrayTestPaths g_paths;
InputRecorder* InputRecorder::current_ = nullptr;

int RunTrayTests(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: %s VEXONTRA.EXE RECORDER.EXE [gtest options]\n", argv[0]);
        return 2;
    }
    g_paths.tray = argv[1];
    g_paths.recorder = argv[2];
    return RUN_ALL_TESTS();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return condition();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TrayProcess::~TrayProcess()
{
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            Close();
            if (!WaitForExit(10000))
                TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool TrayProcess::Start(const std::string& arguments)
{
    std::string commandLine = "\"" + g_paths.tray + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(g_paths.tray.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process_) != FALSE;
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindTrayWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    if (owner == search->processId && strcmp(title, "ZIRERERODEVURU") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND TrayProcess::WaitForWindow()
{
    WindowSearch search = {process_.dwProcessId, nullptr};
    WaitFor([&] {
        EnumWindows(FindTrayWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    window_ = search.found;
    // The window exists from the start of its creation; the tray is ready
    // once its thread waits for input in the message loop.
    if (window_) {
        WaitForInputIdle(process_.hProcess, 20000);
        DWORD_PTR ignored;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
    }
    return window_;
}

LRESULT TrayProcess::Close()
{
    DWORD_PTR answer = 0xBAD;
    if (window_)
        SendMessageTimeoutA(window_, WM_CLOSE, 0, 0, SMTO_NORMAL, 15000, &answer);
    return LRESULT(answer);
}

bool TrayProcess::WaitForExit(int timeoutMs)
{
    return WaitForSingleObject(process_.hProcess, DWORD(timeoutMs)) == WAIT_OBJECT_0;
}

void ClearSettingsKeys()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tolvi");
    RegDeleteTreeA(HKEY_USERS, ".DEFAULT\\Software\\Tolvi");
}

namespace {

HKEY OpenUserKey()
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    return key;
}

}  // namespace

DWORD ReadUserDword(const char* name, DWORD missing)
{
    HKEY key = OpenUserKey();
    DWORD value = missing, size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        value = missing;
    RegCloseKey(key);
    return value;
}

std::vector<BYTE> ReadUserBinary(const char* name)
{
    HKEY key = OpenUserKey();
    std::vector<BYTE> data(256);
    DWORD size = DWORD(data.size());
    if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS)
        size = 0;
    data.resize(size);
    RegCloseKey(key);
    return data;
}

void WriteUserDword(const char* name, DWORD value)
{
    HKEY key = OpenUserKey();
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void WriteUserBinary(const char* name, const std::vector<BYTE>& data)
{
    HKEY key = OpenUserKey();
    RegSetValueExA(key, name, 0, REG_BINARY, data.data(), DWORD(data.size()));
    RegCloseKey(key);
}

void WriteUserString(const char* name, const std::string& text)
{
    HKEY key = OpenUserKey();
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD(text.size() + 1));
    RegCloseKey(key);
}

std::vector<std::string> UserValueNames()
{
    HKEY key = OpenUserKey();
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

InputRecorder::InputRecorder() : start_(std::chrono::steady_clock::now())
{
    current_ = this;
    thread_ = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [this] { return ready_; });
}

InputRecorder::~InputRecorder()
{
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    current_ = nullptr;
}

void InputRecorder::Run()
{
    HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, GetModuleHandleA(nullptr), 0);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threadId_ = GetCurrentThreadId();
        ready_ = keyboard && mouse;
    }
    changed_.notify_all();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    UnhookWindowsHookEx(keyboard);
    UnhookWindowsHookEx(mouse);
}

void InputRecorder::Record(DWORD code, bool up)
{
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                start_)
                          .count();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({code, up, ms});
    }
    changed_.notify_all();
}

LRESULT CALLBACK InputRecorder::KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && current_) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        current_->Record(key->vkCode, wParam == WM_KEYUP || wParam == WM_SYSKEYUP);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputRecorder::MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && current_ && wParam != WM_MOUSEMOVE && wParam != WM_MOUSEWHEEL)
        current_->Record(DWORD(wParam), wParam == WM_LBUTTONUP || wParam == WM_RBUTTONUP ||
                                            wParam == WM_MBUTTONUP);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<InputEvent> InputRecorder::WaitForEvents(size_t count, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return events_.size() >= count; });
    return events_;
}

std::vector<InputEvent> InputRecorder::Events()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}
