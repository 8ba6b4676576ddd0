#include "driver_client.h"

#include "registry_config.h"
#include "system_version.h"
#include "window_handle.h"

namespace {

constexpr DWORD EVENT_WAIT_SLICE_MS = 1000;

// Waits for an overlapped request; false when stop answered first, in which
// case the request has been cancelled and has finished.
bool WaitForRequest(HANDLE device, OVERLAPPED* overlapped, DWORD* bytes, READER_STOP stop,
                    void* context)
{
    while (WaitForSingleObject(overlapped->hEvent, EVENT_WAIT_SLICE_MS) == WAIT_TIMEOUT) {
        if (stop(context)) {
            CancelIo(device);
            GetOverlappedResult(device, overlapped, bytes, TRUE);
            return false;
        }
    }
    return true;
}

// Pauses one slice after a failed read, unless asked to stop.
void PauseAfterFailure(HANDLE idleEvent, READER_STOP stop, void* context)
{
    if (!stop(context))
        WaitForSingleObject(idleEvent, EVENT_WAIT_SLICE_MS);
}

}  // namespace

HANDLE OpenMouseDriver(bool overlapped)
{
    return OpenDriverDevice(GetSystemVersion().WindowsNT ? VEXON_CONTROL_DEVICE_PATH : VEXON_VXD_PATH,
                            overlapped);
}

HANDLE OpenDriverDevice(const char* path, bool overlapped)
{
    const bool nt = GetSystemVersion().WindowsNT;
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof(security);
    security.bInheritHandle = TRUE;
    DWORD flags = 0;
    if (overlapped)
        flags = FILE_FLAG_OVERLAPPED;
    else if (!nt)
        flags = FILE_FLAG_DELETE_ON_CLOSE;  // loads the Windows 98 driver on demand
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &security, OPEN_EXISTING, flags, nullptr);
}

uint32_t SendConfigBlock(HANDLE device, uint32_t code, CONFIG_BLOCK* block)
{
    block->Result = 0;
    uint32_t reply = 0;
    DWORD bytes = 0;
    DeviceIoControl(device, code, block, sizeof(*block), &reply, sizeof(reply), &bytes, nullptr);
    return reply;
}

uint32_t SendSlotRequest(HANDLE device, uint32_t code, HWND window, uint32_t slot)
{
    SLOT_REQUEST request = {HandleToWire(window), slot};
    uint32_t reply = 0;
    DWORD bytes = 0;
    DeviceIoControl(device, code, &request, sizeof(request), &reply, sizeof(reply), &bytes,
                    nullptr);
    return reply;
}

bool WaitDriverEvent(HANDLE device, DRIVER_EVENT* event, READER_STOP stop, void* context)
{
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent)
        return false;
    bool received = false;
    while (!received && !stop(context)) {
        ResetEvent(overlapped.hEvent);
        DWORD bytes = 0;
        BOOL ok = DeviceIoControl(device, IOCTL_MOUFILTER_GET_EVENT, nullptr, 0, event,
                                  sizeof(*event), &bytes, &overlapped);
        if (!ok && GetLastError() == ERROR_IO_PENDING) {
            if (!WaitForRequest(device, &overlapped, &bytes, stop, context))
                break;
            ok = GetOverlappedResult(device, &overlapped, &bytes, FALSE);
        }
        received = ok && bytes == sizeof(*event);
        if (!received) {
            ResetEvent(overlapped.hEvent);
            PauseAfterFailure(overlapped.hEvent, stop, context);
        }
    }
    CloseHandle(overlapped.hEvent);
    return received;
}

void DeliverDriverEvent(const DRIVER_EVENT& event)
{
    if (event.Message == MSG_SPEED_CHANGED)
        WriteSpeedValues(SpeedParamX(event.wParam), SpeedParamY(event.wParam));
    if (event.hWnd != 0)
        PostMessageA(WireToHandle(event.hWnd), event.Message, event.wParam, event.lParam);
}
