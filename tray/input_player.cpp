#include "input_player.h"

void SendKeyStrokes(const KEY_STROKE* strokes, int count)
{
    for (int i = 0; i < count; ++i) {
        if (strokes[i].PauseBefore)
            Sleep(MACRO_REVERSAL_PAUSE_MS);
        const BYTE key = strokes[i].Key;
        keybd_event(key, BYTE(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
                    strokes[i].Up ? KEYEVENTF_KEYUP : 0, 0);
    }
}

void SendMouseButton(DWORD flags)
{
    mouse_event(flags, 0, 0, 0, GetMessageExtraInfo());
}

void SendClick(DWORD downFlags, DWORD upFlags)
{
    SendMouseButton(downFlags);
    SendMouseButton(upFlags);
}

void SendButtonEdge(const BUTTON_EDGE& edge)
{
    const DWORD down[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEDOWN};
    const DWORD up[] = {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP};
    if (edge.Down) {
        SendMouseButton(down[edge.Button]);
        return;
    }
    Sleep(BUTTON_RELEASE_DELAY_MS);
    SendMouseButton(up[edge.Button]);
}
