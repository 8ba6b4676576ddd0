// Which Windows the program runs on, computed once.
#pragma once

#include <windows.h>

struct SYSTEM_VERSION {
    bool Windows9x;  // Windows 95, 98, Me
    bool WindowsNT;  // Windows NT 4.0, 2000 and later
    DWORD Major;
    DWORD Minor;
};

const SYSTEM_VERSION& GetSystemVersion();

