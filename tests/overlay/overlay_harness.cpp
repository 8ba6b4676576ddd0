#include "overlay_harness.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <fstream>
#include <sstream>

std::string g_overlayExe;
std::string g_standInDll;

namespace {

const char* const MODE_KEY = "System\\CurrentControlSet\\Services\\" STANDIN_SERVICE "\\DEVICE0";

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string FreshFolder()
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char dir[MAX_PATH];
    snprintf(dir, sizeof(dir), "%sofa-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    CreateDirectoryA(dir, nullptr);
    return dir;
}

COLORREF Colorref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

struct FindByProcess {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* find = reinterpret_cast<FindByProcess*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[128] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (owner == find->processId && strcmp(title, OFA_TITLE) == 0) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string WindowsPath(const char* path)
{
    std::string windows = path;
    if (windows.empty() || windows[0] != '/')
        return windows;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return "Z:" + windows;
}

bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (condition())
            return true;
        if (GetTickCount() - start > deadlineMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

ScreenMode CurrentScreenMode()
{
    const HDC screen = GetDC(nullptr);
    ScreenMode mode = {GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES),
                       GetDeviceCaps(screen, BITSPIXEL)};
    ReleaseDC(nullptr, screen);
    return mode;
}

bool StoreRegistryMode(const ScreenMode& mode)
{
    // Wine keeps the configuration's System key volatile, and a volatile
    // key takes only volatile children.
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_CONFIG, MODE_KEY, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const struct {
        const char* name;
        DWORD value;
    } values[] = {{"DefaultSettings.XResolution", static_cast<DWORD>(mode.width)},
                  {"DefaultSettings.YResolution", static_cast<DWORD>(mode.height)},
                  {"DefaultSettings.BitsPerPel", static_cast<DWORD>(mode.bitsPerPixel)}};
    bool stored = true;
    for (const auto& v : values)
        stored = stored && RegSetValueExA(key, v.name, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&v.value),
                                          sizeof(v.value)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

void RemoveRegistryMode()
{
    RegDeleteKeyA(HKEY_CURRENT_CONFIG, MODE_KEY);
}

OverlayRun::OverlayRun() : dir_(FreshFolder())
{
    CopyFileA(g_overlayExe.c_str(), (dir_ + "\\vexonofa.exe").c_str(), FALSE);
    CopyFileA(g_standInDll.c_str(), (dir_ + "\\vexonofa.dll").c_str(), FALSE);
}

OverlayRun::~OverlayRun()
{
    if (!process_.hProcess)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, DEADLINE_MS);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool OverlayRun::Start(const std::string& args)
{
    std::string command = "\"" + dir_ + "\\vexonofa.exe\"";
    if (!args.empty())
        command += " " + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                          &startup, &process_) != 0;
}

bool OverlayRun::WaitForWindow()
{
    return WaitFor([this] {
        FindByProcess find = {process_.dwProcessId, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&find));
        window_ = find.found;
        return window_ != nullptr;
    });
}

void OverlayRun::Command(uint32_t code, uint32_t lParam)
{
    Post(WM_APP_MESSAGE, code, static_cast<LPARAM>(lParam));
}

void OverlayRun::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    PostMessageA(window_, message, wParam, lParam);
}

DWORD OverlayRun::WaitForExit()
{
    DWORD code = STILL_ACTIVE;
    WaitFor([this, &code] {
        return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process_.hProcess, &code);
    });
    return code;
}

DWORD OverlayRun::Close()
{
    Command(OFA_CLOSE, 0);
    return WaitForExit();
}

bool OverlayRun::LogExists() const
{
    return GetFileAttributesA((dir_ + "\\vexon_ofa_log.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string OverlayRun::RawLog() const
{
    std::ifstream file(dir_ + "\\vexon_ofa_log.txt", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string OverlayRun::Log() const
{
    std::string text;
    const std::string raw = RawLog();
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    return text;
}

bool OverlayRun::WaitForLog(const std::string& text)
{
    return WaitFor([this, &text] { return Log().find(text) != std::string::npos; });
}

Shot CaptureScreen(int x, int y, int width, int height)
{
    Shot shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < shot.pixels.size(); ++i)
            shot.pixels[i] = source[i] & 0xFFFFFF;
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

void PaintScreen(int x, int y, int width, int height, uint32_t rgb)
{
    const HDC screen = GetDC(nullptr);
    const HBRUSH brush = CreateSolidBrush(Colorref(rgb));
    const RECT rect = {x, y, x + width, y + height};
    FillRect(screen, &rect, brush);
    DeleteObject(brush);
    GdiFlush();
    ReleaseDC(nullptr, screen);
}

std::vector<std::vector<uint32_t>> LoadOverlayPictures()
{
    const char* const names[] = {
        "OFA010", "OFA015", "OFA020", "OFA025", "OFA030", "OFA035", "OFA040", "OFA045",
        "OFA050", "OFA055", "OFA060", "OFA065", "OFA070", "OFA075", "OFA080", "OFA085",
        "OFA090", "OFA095", "OFA100", "OFAGREEN", "OFAGREY", "OFALABELX", "OFALABELY",
        "OFALABEL0"};
    std::vector<std::vector<uint32_t>> pictures;
    const HMODULE module = LoadLibraryExA(g_overlayExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return pictures;
    const HDC screen = GetDC(nullptr);
    for (const char* name : names) {
        const HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        std::vector<uint32_t> pixels(39 * 16, 0);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 39;
        info.bmiHeader.biHeight = -16;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        if (!bitmap || GetDIBits(screen, bitmap, 0, 16, pixels.data(), &info, DIB_RGB_COLORS) != 16)
            pixels.clear();
        for (uint32_t& p : pixels)
            p &= 0xFFFFFF;
        if (bitmap)
            DeleteObject(bitmap);
        pictures.push_back(pixels);
    }
    ReleaseDC(nullptr, screen);
    FreeLibrary(module);
    return pictures;
}

Shot ExpectedMeter(const std::vector<std::vector<uint32_t>>& pictures, bool twoBars, int sx,
                   int sy)
{
    constexpr int GREEN = 19, GREY = 20, LABELX = 21, LABELY = 22, LABEL0 = 23;
    Shot meter;
    meter.width = twoBars ? 82 : 43;
    meter.height = 326;
    // The background is the first picture's top row stretched; that row is
    // one colour in our artwork.
    meter.pixels.assign(static_cast<size_t>(meter.width) * meter.height, pictures[0][0]);
    auto put = [&meter, &pictures](int picture, int left, int top) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 39; ++x)
                meter.pixels[(top + y) * meter.width + left + x] = pictures[picture][y * 39 + x];
    };
    auto bar = [&put](int left, int value) {
        for (int step = 0; step <= 18; ++step)
            put(step == value ? step : (step < value ? GREEN : GREY), left, 20 + (18 - step) * 16);
    };
    if (twoBars) {
        put(LABELX, 2, 2);
        put(LABELY, 41, 2);
        bar(2, sx);
        bar(41, sy);
    } else {
        put(LABEL0, 2, 2);
        bar(2, sx);
    }
    return meter;
}

std::string CompareScreen(int x, int y, const Shot& expected)
{
    const Shot shot = CaptureScreen(x, y, expected.width, expected.height);
    for (int row = 0; row < expected.height; ++row)
        for (int col = 0; col < expected.width; ++col)
            if (shot.At(col, row) != expected.At(col, row)) {
                char text[128];
                snprintf(text, sizeof(text), "at (%d, %d) the screen shows %06X, expected %06X",
                         x + col, y + row, shot.At(col, row), expected.At(col, row));
                return text;
            }
    return "";
}

bool ScreenIsAll(int x, int y, int width, int height, uint32_t rgb)
{
    const Shot shot = CaptureScreen(x, y, width, height);
    for (uint32_t p : shot.pixels)
        if (p != rgb)
            return false;
    return true;
}

ColourWindow::ColourWindow(int x, int y, int width, int height, uint32_t rgb) : colour_(rgb)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.lpszClassName = "OfaTestColourWindow";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, "OfaTestColourWindow", "colour", WS_POPUP, x, y, width, height,
                              nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
}

ColourWindow::~ColourWindow() { DestroyWindow(window_); }

void ColourWindow::SetColour(uint32_t rgb) { colour_ = rgb; }

void ColourWindow::PaintNow(uint32_t rgb)
{
    const HDC dc = GetDC(window_);
    RECT rect;
    GetClientRect(window_, &rect);
    const HBRUSH brush = CreateSolidBrush(Colorref(rgb));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseDC(window_, dc);
}

LRESULT CALLBACK ColourWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        auto* self = reinterpret_cast<ColourWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        if (self) {
            const HBRUSH brush = CreateSolidBrush(Colorref(self->colour_));
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunOverlayTests(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: %s VEXONOFA.EXE STANDIN.DLL\n", argv[0]);
        return 2;
    }
    g_overlayExe = WindowsPath(argv[1]);
    g_standInDll = WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
