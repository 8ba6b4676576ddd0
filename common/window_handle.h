// Windows travel as 32-bit words in the suite's wire formats (window handles
// are 32 bits significant on 64-bit Windows too); these two helpers are the
// only place that converts.
#pragma once

#include <windows.h>
#include <stdint.h>

inline uint32_t HandleToWire(HWND window)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

// Sign-extends, as the system does when it widens a 32-bit handle.
inline HWND WireToHandle(uint32_t wire)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(wire)));
}
