// The wheel protocol for systems without native wheel support: a hidden
// window of class "MouseZ" titled "Magellan MSWHEEL" that answers the
// wheel queries of programs and turns the driver's wheel events into
// "MSWHEEL_ROLLMSG". Also the system's lines per wheel notch.
#pragma once

#include <windows.h>

#include "driver_protocol.h"
#include "window.h"

// Sets the system's lines per notch: the system parameter where the system
// has one, else the "WheelScrollLines" text of the desktop settings.
bool SetWheelScrollLines(DWORD lines, bool hasModernOS);

class CWheelWindow : public CWindow {
public:
    // Creates the hidden window; false when it could not be made.
    bool Create();
    ~CWheelWindow() override;

protected:
    BEGIN_MSG_MAP(CWheelWindow)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(MSG_WHEEL_EVENT, OnWheelEvent)
        MESSAGE_HANDLER(MSG_SCROLL_LINES_CHANGED, OnScrollLinesChanged)
        REGISTERED_MESSAGE_HANDLER(linesMsg, OnLinesQuery)
        REGISTERED_MESSAGE_HANDLER(supportMsg, OnSupportQuery)
    END_MSG_MAP()

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnWheelEvent(WPARAM, LPARAM lParam);
    LRESULT OnScrollLinesChanged(WPARAM, LPARAM);
    LRESULT OnLinesQuery(WPARAM, LPARAM) { return LRESULT(scrollLines); }
    LRESULT OnSupportQuery(WPARAM, LPARAM) { return 1; }

private:
    void ReadScrollLines();
    void SendSlotRequestToVxd(uint32_t code);

    UINT rollMsg = 0;
    UINT supportMsg = 0;
    UINT linesMsg = 0;
    bool middleDown = false;
    DWORD scrollLines = 3;
};
