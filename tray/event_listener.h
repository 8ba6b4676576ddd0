// The thread that keeps one read pending on the driver and turns each event
// into a posted window message.
#pragma once

#include <windows.h>

class CMainFrame;

// Starts EventListener for frame; returns the thread, or null.
HANDLE StartEventListener(CMainFrame* frame);

DWORD WINAPI EventListener(LPVOID frame);
