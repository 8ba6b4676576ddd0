#include "event_listener.h"

#include "driver_client.h"
#include "main_frame.h"

namespace {

constexpr DWORD ARRIVAL_WAIT_MS = 1000;

// The read ends when the tray stops or its mouse went away.
bool ListenerMustStop(void* context)
{
    const CMainFrame* frame = static_cast<const CMainFrame*>(context);
    return !frame->m_running || frame->m_deviceGone;
}

}  // namespace

HANDLE StartEventListener(CMainFrame* frame)
{
    return CreateThread(nullptr, 0, EventListener, frame, 0, nullptr);
}

// The listener never touches the frame's settings: it reads the two flags,
// waits on the arrival event and posts what the driver sends.
DWORD WINAPI EventListener(LPVOID argument)
{
    CMainFrame* frame = static_cast<CMainFrame*>(argument);
    while (frame->m_running) {
        frame->m_deviceGone = false;
        if (WaitForSingleObject(frame->m_deviceArrival, ARRIVAL_WAIT_MS) != WAIT_OBJECT_0)
            continue;
        HANDLE device = OpenMouseDriver(true);
        if (device == INVALID_HANDLE_VALUE)
            continue;
        DRIVER_EVENT event;
        while (WaitDriverEvent(device, &event, ListenerMustStop, frame))
            DeliverDriverEvent(event);
        CloseHandle(device);
    }
    return 0;
}
