#include "rig_client.h"

#include "driver_client.h"
#include "window_handle.h"

#include <setupapi.h>

#include <stdio.h>
#include <string.h>

IO_RESULT Request(HANDLE device, uint32_t code, const void* input, DWORD inputBytes,
                  void* output, DWORD outputBytes)
{
    DWORD bytes = 0;
    const BOOL ok = DeviceIoControl(device, code, const_cast<void*>(input), inputBytes, output,
                                    outputBytes, &bytes, nullptr);
    return {ok ? 0 : GetLastError(), bytes};
}

uint32_t WordRequest(HANDLE device, uint32_t code, const void* input, DWORD inputBytes)
{
    uint32_t reply = 0xDEADBEEF;
    const IO_RESULT result = Request(device, code, input, inputBytes, &reply, sizeof(reply));
    return result.Error == 0 && result.Bytes == sizeof(reply) ? reply : 0xDEADBEEF;
}

uint32_t Register(HANDLE device, uint32_t slot, uint32_t window)
{
    return SendSlotRequest(device, IOCTL_MOUFILTER_REGISTER, WireToHandle(window), slot);
}

uint32_t Unregister(HANDLE device, uint32_t slot)
{
    return SendSlotRequest(device, IOCTL_MOUFILTER_UNREGISTER, nullptr, slot);
}

CONFIG_BLOCK DefaultBlock()
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    InvalidateConfig(&block);
    VerifyConfigAndSetDefaults(&block, &block);
    return block;
}

EventRead::EventRead(HANDLE device, DWORD outputBytes) : device_(device)
{
    overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD bytes = 0;
    if (DeviceIoControl(device, IOCTL_MOUFILTER_GET_EVENT, nullptr, 0, &event_, outputBytes,
                        &bytes, &overlapped_)) {
        result_ = {0, bytes};
    } else if (GetLastError() == ERROR_IO_PENDING) {
        pending_ = true;
    } else {
        result_ = {GetLastError(), 0};
    }
}

EventRead::~EventRead()
{
    if (pending_)
        Cancel();
    CloseHandle(overlapped_.hEvent);
}

IO_RESULT EventRead::Wait()
{
    if (!pending_)
        return result_;
    if (WaitForSingleObject(overlapped_.hEvent, RIG_DEADLINE_MS) != WAIT_OBJECT_0)
        return {WAIT_TIMEOUT, 0};
    DWORD bytes = 0;
    const BOOL ok = GetOverlappedResult(device_, &overlapped_, &bytes, FALSE);
    result_ = {ok ? 0 : GetLastError(), bytes};
    pending_ = false;
    return result_;
}

IO_RESULT EventRead::Cancel()
{
    if (pending_)
        CancelIoEx(device_, &overlapped_);
    return Wait();
}

std::vector<DRIVER_EVENT> DrainEvents(HANDLE overlappedDevice)
{
    std::vector<DRIVER_EVENT> events;
    for (;;) {
        EventRead read(overlappedDevice);
        const IO_RESULT result = read.Pending() ? read.Cancel() : read.Wait();
        if (result.Error != 0 || result.Bytes != sizeof(DRIVER_EVENT))
            return events;
        events.push_back(read.Event());
    }
}

std::string Describe(const DRIVER_EVENT& event)
{
    char text[96];
    snprintf(text, sizeof(text), "{hWnd 0x%x, msg 0x%x, wParam 0x%x, lParam 0x%x}", event.hWnd,
             event.Message, event.wParam, event.lParam);
    return text;
}

std::string Describe(const std::vector<DRIVER_EVENT>& events)
{
    std::string text;
    for (const DRIVER_EVENT& event : events)
        text += Describe(event) + "\n";
    return text.empty() ? "(no events)" : text;
}

void Handle::Close()
{
    if (valid())
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

RigClassDriver::RigClassDriver()
    : device_(CreateFileA(RIG_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

RIG_CONNECT_RESULT RigClassDriver::Connect(uint32_t inputBytes, uint32_t index)
{
    const RIG_CONNECT_REQUEST request = {inputBytes, index};
    RIG_CONNECT_RESULT result = {};
    Request(device_.get(), IOCTL_RIG_CONNECT, &request, sizeof(request), &result, sizeof(result));
    return result;
}

RIG_SELECT_RESULT RigClassDriver::Select(uint32_t index)
{
    const RIG_SELECT_REQUEST request = {index};
    RIG_SELECT_RESULT result = {};
    Request(device_.get(), IOCTL_RIG_SELECT, &request, sizeof(request), &result, sizeof(result));
    return result;
}

int32_t RigClassDriver::Disconnect()
{
    int32_t status = 0;
    Request(device_.get(), IOCTL_RIG_DISCONNECT, nullptr, 0, &status, sizeof(status));
    return status;
}

bool RigClassDriver::EnsureConnected()
{
    const RIG_CONNECT_RESULT result = Connect();
    return result.FilterFound &&
           (result.DataReplaced || result.Status == int32_t(0xC0000043) /* already connected */);
}

RIG_INJECT_RESULT RigClassDriver::Inject(const std::vector<MOUSE_INPUT_DATA>& packets)
{
    RIG_INJECT_RESULT result = {0xFFFFFFFF, 0xFFFFFFFF};
    Request(device_.get(), IOCTL_RIG_INJECT, packets.data(),
            DWORD(packets.size() * sizeof(MOUSE_INPUT_DATA)), &result, sizeof(result));
    return result;
}

std::vector<MOUSE_INPUT_DATA> RigClassDriver::TakePackets(RIG_RECORD_HEADER* header)
{
    std::vector<uint8_t> buffer(sizeof(RIG_RECORD_HEADER) +
                                RIG_RECORD_CAPACITY * sizeof(MOUSE_INPUT_DATA));
    RIG_RECORD_HEADER taken = {};
    std::vector<MOUSE_INPUT_DATA> packets;
    const IO_RESULT result = Request(device_.get(), IOCTL_RIG_TAKE_PACKETS, nullptr, 0,
                                     buffer.data(), DWORD(buffer.size()));
    if (result.Error == 0 && result.Bytes >= sizeof(taken)) {
        memcpy(&taken, buffer.data(), sizeof(taken));
        packets.resize(taken.Count);
        memcpy(packets.data(), buffer.data() + sizeof(taken),
               taken.Count * sizeof(MOUSE_INPUT_DATA));
    }
    if (header)
        *header = taken;
    return packets;
}

RIG_HOOK_RESULT RigClassDriver::Hook(uint32_t inputBytes, bool withIsr)
{
    const RIG_HOOK_REQUEST request = {inputBytes, withIsr ? 1u : 0u};
    RIG_HOOK_RESULT result = {};
    Request(device_.get(), IOCTL_RIG_HOOK, &request, sizeof(request), &result, sizeof(result));
    return result;
}

RIG_ISR_RESULT RigClassDriver::CallIsr(bool upperResult, bool upperContinue)
{
    const RIG_ISR_REQUEST request = {upperResult ? 1u : 0u, upperContinue ? 1u : 0u};
    RIG_ISR_RESULT result = {0xFF, 0xFF, 0xFF, 0xFF};
    Request(device_.get(), IOCTL_RIG_CALL_ISR, &request, sizeof(request), &result,
            sizeof(result));
    return result;
}

RIG_TRANSFER_RESULT RigClassDriver::SubmitTransfer(const RIG_TRANSFER_REQUEST& request,
                                                   DWORD* error)
{
    RIG_TRANSFER_RESULT result = {};
    const IO_RESULT io = Request(device_.get(), IOCTL_RIG_SUBMIT_URB, &request, sizeof(request),
                                 &result, sizeof(result));
    if (error)
        *error = io.Error;
    return result;
}

MOUSE_INPUT_DATA Packet(uint16_t buttonFlags, int32_t x, int32_t y, uint16_t data)
{
    MOUSE_INPUT_DATA packet = {};
    packet.ButtonFlags = buttonFlags;
    packet.ButtonData = data;
    packet.LastX = x;
    packet.LastY = y;
    return packet;
}

std::string Describe(const MOUSE_INPUT_DATA& packet)
{
    char text[96];
    snprintf(text, sizeof(text), "{unit %u, flags 0x%04x, data %d, x %ld, y %ld}", packet.UnitId,
             packet.ButtonFlags, int16_t(packet.ButtonData), long(packet.LastX),
             long(packet.LastY));
    return text;
}

std::string Describe(const std::vector<MOUSE_INPUT_DATA>& packets)
{
    std::string text;
    for (const MOUSE_INPUT_DATA& packet : packets)
        text += Describe(packet) + "\n";
    return text.empty() ? "(no packets)" : text;
}

// The enabled interfaces of a class, as the tray finds them.
std::vector<std::string> InterfacePaths(const INTERFACE_GUID& id)
{
    const GUID* guid = reinterpret_cast<const GUID*>(&id);
    std::vector<std::string> paths;
    HDEVINFO set = SetupDiGetClassDevsA(guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return paths;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, guid, i, &data); ++i) {
        union {
            SP_DEVICE_INTERFACE_DETAIL_DATA_A detail;
            char bytes[512];
        } buffer = {};
        buffer.detail.cbSize = sizeof(buffer.detail);
        if (SetupDiGetDeviceInterfaceDetailA(set, &data, &buffer.detail, sizeof(buffer), nullptr,
                                             nullptr))
            paths.push_back(buffer.detail.DevicePath);
    }
    SetupDiDestroyDeviceInfoList(set);
    return paths;
}

