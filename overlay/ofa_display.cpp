// Where the meter goes, and how it is hidden in the current display mode.
// The registry holds the mode set in Windows' own display settings; a mode
// that differs from it was set by a program (typically a full-screen
// game), which does not repaint what lies under the meter, so the meter
// then puts back the background it covered.
#include <string.h>

#include "ofa_program.h"

namespace {

constexpr size_t KEY_TEXT_SIZE = 255;

typedef int (*StartDirectDrawProc)(HWND);
typedef int (*GetActiveDisplayServiceNameProc)(char*, unsigned long);
typedef int (*StopDirectDrawProc)();

// Reads a REG_DWORD of 4 bytes under HKEY_CURRENT_CONFIG.
bool ReadRegistryValue(const char* keyPath, const char* valueName, DWORD* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_CONFIG, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        OfaLog("\nReadRegistryValue : FAIL : Unable to open key %s", keyPath);
        return false;
    }
    OfaLog("\nReadRegistryValue : SUCCESS : Opened key %s", keyPath);
    DWORD type = 0;
    DWORD size = sizeof(*value);
    const LONG status =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(*value)) {
        OfaLog("\nReadRegistryValue : FAIL : Unable to read value %s", valueName);
        return false;
    }
    OfaLog("\nReadRegistryValue : SUCCESS : Read value %s", valueName);
    return true;
}

// Reads a string of at most 255 bytes under HKEY_CURRENT_CONFIG; the
// result is always terminated, even when the stored one is not.
bool ReadStringValue(const char* keyPath, const char* valueName, char (&text)[KEY_TEXT_SIZE + 1])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_CONFIG, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        OfaLog("\nReadStringValue: Unable to open key %s", keyPath);
        return false;
    }
    DWORD type = 0;
    DWORD size = KEY_TEXT_SIZE;
    const LONG status =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        OfaLog("\nReadStringValue: Unable to open value %s", valueName);
        return false;
    }
    text[size] = '\0';
    return true;
}

// The key of the active display driver's settings. False when the service
// name makes it too long to form.
bool getDisplayAdapterKey(char (&key)[KEY_TEXT_SIZE + 1])
{
    OfaLog("\ngetDisplayAdapterKey : Entering.");
    const int length = snprintf(key, sizeof(key), "System\\CurrentControlSet\\Services\\%s\\DEVICE0",
                                sActiveDisplayServiceName);
    if (length < 0 || static_cast<size_t>(length) > KEY_TEXT_SIZE)
        return false;
    OfaLog("\ngetDisplayAdapterKey : Exiting. (%s)", key);
    return true;
}

bool ReadWindows2000DisplayMode(DISPLAY_MODE* stored)
{
    char key[KEY_TEXT_SIZE + 1];
    if (!getDisplayAdapterKey(key))
        return false;
    OfaLog("\ngetCurrentConfigDisplayMode : sDisplayAdapterKey = %s", key);
    struct {
        const char* value;
        const char* shortName;
        int* field;
    } const fields[] = {
        {"DefaultSettings.XResolution", "XResolution", &stored->width},
        {"DefaultSettings.YResolution", "YResolution", &stored->height},
        {"DefaultSettings.BitsPerPel", "BitsPerPel", &stored->bitsPerPixel},
    };
    for (const auto& field : fields) {
        DWORD value = 0;
        if (!ReadRegistryValue(key, field.value, &value)) {
            OfaLog("\ngetCurrentConfigDisplayMode: Could not get value %s from Registry.",
                   field.shortName);
            return false;
        }
        *field.field = static_cast<int>(value);
    }
    return true;
}

bool ReadWindows98DisplayMode(DISPLAY_MODE* stored)
{
    char text[KEY_TEXT_SIZE + 1];
    if (!ReadStringValue("Display\\Settings", "Resolution", text)) {
        OfaLog("\ngetCurrentConfigDisplayMode: Could not get value from Registry.");
        return false;
    }
    OfaLog("\ngetCurrentConfigDisplayMode : Got \\Display\\Settings\\Resolution from Registry.");
    if (sscanf(text, "%d,%d", &stored->width, &stored->height) != 2)
        return false;
    if (!ReadStringValue("Display\\Settings", "BitsPerPixel", text))
        return false;
    OfaLog("\ngetCurrentConfigDisplayMode : Got \\Display\\Settings\\BitsPerPixel from Registry.");
    return sscanf(text, "%d", &stored->bitsPerPixel) == 1;
}

bool SameMode(const DISPLAY_MODE& a, const DISPLAY_MODE& b)
{
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel;
}

void LogModes(const DISPLAY_MODE& stored)
{
    OfaLog("\nWndProc: vidmode in Registry           : %4d x %4d x %4d", stored.width,
           stored.height, stored.bitsPerPixel);
    OfaLog("\nWndProc: vidmode from WM_DISPLAYCHANGE : %4d x %4d x %4d",
           currentDisplayMode.width, currentDisplayMode.height, currentDisplayMode.bitsPerPixel);
}

// A fresh bitmap for the background under the meter. It is made wide
// enough for two bars whatever the meter shows now, so a later two-bar
// show saves and restores its whole rectangle. Until a show has saved into
// it, it holds nothing worth restoring.
void RenewSavedBackground()
{
    if (ofa.hSavedBackground)
        DeleteObject(ofa.hSavedBackground);
    ofa.hSavedBackground = nullptr;
    const HDC screen = GetDC(nullptr);
    if (screen) {
        ofa.hSavedBackground = CreateCompatibleBitmap(screen, MaxMeterWidth(ofa), ofa.height);
        ReleaseDC(nullptr, screen);
    }
    bErrorSavingRectUnderOFA = true;
}

}  // namespace

bool getCurrentConfigDisplayMode(DISPLAY_MODE* stored)
{
    OfaLog("\ngetCurrentConfigDisplayMode : Entering.");
    const bool read = bWindows2000Detected ? ReadWindows2000DisplayMode(stored)
                                           : ReadWindows98DisplayMode(stored);
    if (!read)
        return false;
    OfaLog("\ngetCurrentConfigDisplayMode : Exiting. (%d x %d x %d)", stored->width,
           stored->height, stored->bitsPerPixel);
    return true;
}

void setupOFAForCurrentDisplayMode()
{
    OfaLog("\nsetupOFAForCurrentDisplayMode: Entering.");
    PlaceMeter(&ofa, currentDisplayMode.width, currentDisplayMode.height);
    DISPLAY_MODE stored = {};
    if (getCurrentConfigDisplayMode(&stored)) {
        if (SameMode(stored, currentDisplayMode)) {
            OfaLog("\nWndProc: vidmode passed by WM_DISPLAYCHANGE *is* vidmode in registry.  "
                   "*Will* repaint on hide.");
            OfaLog("\nWndProc: (Guessing that display mode change was done *in Windows*.)");
            LogModes(stored);
            ofa.restoreOnHide = false;
            if (hWndOFA) {
                SetWindowPos(hWndOFA, HWND_TOPMOST, ofa.x, ofa.y, ofa.width, ofa.height,
                             SWP_NOACTIVATE);
                RepaintWholeScreen();
            }
        } else {
            OfaLog("\nWndProc: vidmode passed by WM_DISPLAYCHANGE *is not* vidmode in registry.  "
                   "*Will not* repaint on hide.");
            OfaLog("\nWndProc: (Guessing that display mode change was done by a *game*.)");
            LogModes(stored);
            ofa.restoreOnHide = true;
            if (hWndOFA) {
                SetWindowPos(hWndOFA, HWND_NOTOPMOST, ofa.x, ofa.y, ofa.width, ofa.height,
                             SWP_NOACTIVATE);
                RenewSavedBackground();
            }
        }
    }
    OfaLog("\nsetupOFAForCurrentDisplayMode: Exiting. (OFA OK to show in this mode.)");
}

void doDXStuff()
{
    OfaLog("\ndoDXStuff : Entering.");
    const HMODULE library = LoadLibraryA("vexonofa.dll");
    if (!library) {
        strcpy(sActiveDisplayServiceName, "UNKNOWN");
        return;
    }
    const auto start = reinterpret_cast<StartDirectDrawProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "?StartDirectDraw@@YAHPAUHWND__@@@Z")));
    const auto getName = reinterpret_cast<GetActiveDisplayServiceNameProc>(reinterpret_cast<void*>(
        GetProcAddress(library, "?GetActiveDisplayServiceName@@YAHPADK@Z")));
    const auto stop = reinterpret_cast<StopDirectDrawProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "?StopDirectDraw@@YAHXZ")));
    if (!start || !getName || !stop) {
        strcpy(sActiveDisplayServiceName, "UNKNOWN");
        FreeLibrary(library);
        return;
    }
    start(hWndOFA);
    strcpy(sActiveDisplayServiceName, "UNKNOWN");
    getName(sActiveDisplayServiceName, DISPLAY_SERVICE_NAME_SIZE);
    // The library is outside the program: never trust it to terminate.
    sActiveDisplayServiceName[DISPLAY_SERVICE_NAME_SIZE] = '\0';
    stop();
    FreeLibrary(library);
    OfaLog("\ndoDXStuff : sActiveDisplayServiceName = %s", sActiveDisplayServiceName);
    OfaLog("\ndoDXStuff : Exiting.");
}

DISPLAY_MODE ScreenDisplayMode()
{
    DISPLAY_MODE mode = {0, 0, 0};
    const HDC screen = GetDC(nullptr);
    if (screen) {
        mode = {GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES),
                GetDeviceCaps(screen, BITSPIXEL)};
        ReleaseDC(nullptr, screen);
    }
    return mode;
}
