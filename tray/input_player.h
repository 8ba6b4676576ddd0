// Sends the keystrokes and mouse buttons the tray plays for the driver.
#pragma once

#include <windows.h>

#include "input_plan.h"

// Sends the strokes in order, pausing where a stroke asks for it.
void SendKeyStrokes(const KEY_STROKE* strokes, int count);

// One mouse button event (MOUSEEVENTF_LEFTDOWN, ...).
void SendMouseButton(DWORD flags);

// A full click: down, then up.
void SendClick(DWORD downFlags, DWORD upFlags);

// A button edge from MSG_BUTTON_STATE: a press at once, a release after
// a short delay.
void SendButtonEdge(const BUTTON_EDGE& edge);
