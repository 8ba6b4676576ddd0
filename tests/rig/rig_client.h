// What the Windows test programs of the rig share: raw requests to the
// control device, reading driver events without waiting on luck, the test
// class driver's requests, and blocks to send.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "config_block.h"
#include "driver_protocol.h"
#include "mouse_input.h"
#include "rig_protocol.h"

// How long a test waits for something the driver must do before it fails.
constexpr DWORD RIG_DEADLINE_MS = 10000;

// The outcome of one DeviceIoControl: the Win32 error (0 for success) and
// the bytes returned.
struct IO_RESULT {
    DWORD Error;
    DWORD Bytes;
};

IO_RESULT Request(HANDLE device, uint32_t code, const void* input, DWORD inputBytes,
                  void* output, DWORD outputBytes);

// A request whose reply is one word; the word, or 0xDEADBEEF when the
// request failed.
uint32_t WordRequest(HANDLE device, uint32_t code, const void* input, DWORD inputBytes);

uint32_t Register(HANDLE device, uint32_t slot, uint32_t window);
uint32_t Unregister(HANDLE device, uint32_t slot);

// A block as every program loads it from an empty registry.
CONFIG_BLOCK DefaultBlock();

// One IOCTL_MOUFILTER_GET_EVENT on an overlapped handle.
class EventRead {
public:
    explicit EventRead(HANDLE device, DWORD outputBytes = sizeof(DRIVER_EVENT));
    ~EventRead();
    EventRead(const EventRead&) = delete;
    EventRead& operator=(const EventRead&) = delete;

    // Whether the request is still held by the driver.
    bool Pending() const { return pending_; }
    // Waits (up to the deadline) for the request to finish; its result.
    IO_RESULT Wait();
    // Cancels a held request and waits for it to finish; its result.
    IO_RESULT Cancel();
    const DRIVER_EVENT& Event() const { return event_; }

private:
    HANDLE device_;
    OVERLAPPED overlapped_ = {};
    DRIVER_EVENT event_ = {};
    bool pending_ = false;
    IO_RESULT result_ = {};
};

// Reads every queued event: reads until one is held, then cancels that one.
std::vector<DRIVER_EVENT> DrainEvents(HANDLE overlappedDevice);

std::string Describe(const DRIVER_EVENT& event);
std::string Describe(const std::vector<DRIVER_EVENT>& events);

// The enabled device interfaces of a class, as the tray finds them.
std::vector<std::string> InterfacePaths(const INTERFACE_GUID& id);

// A handle that closes itself.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void Close();

private:
    HANDLE handle_;
};

// The test class driver.
class RigClassDriver {
public:
    RigClassDriver();
    bool Opened() const { return device_.valid(); }

    RIG_CONNECT_RESULT Connect(uint32_t inputBytes = 0, uint32_t index = 0);
    RIG_SELECT_RESULT Select(uint32_t index);
    int32_t Disconnect();
    // Connects unless an earlier call did.
    bool EnsureConnected();
    RIG_INJECT_RESULT Inject(const std::vector<MOUSE_INPUT_DATA>& packets);
    // What reached the class callback since the last take.
    std::vector<MOUSE_INPUT_DATA> TakePackets(RIG_RECORD_HEADER* header = nullptr);
    RIG_HOOK_RESULT Hook(uint32_t inputBytes, bool withIsr);
    RIG_ISR_RESULT CallIsr(bool upperResult, bool upperContinue);
    RIG_TRANSFER_RESULT SubmitTransfer(const RIG_TRANSFER_REQUEST& request, DWORD* error = nullptr);

private:
    Handle device_;
};

// A packet with the given flags and motion.
MOUSE_INPUT_DATA Packet(uint16_t buttonFlags, int32_t x = 0, int32_t y = 0, uint16_t data = 0);

std::string Describe(const MOUSE_INPUT_DATA& packet);
std::string Describe(const std::vector<MOUSE_INPUT_DATA>& packets);
