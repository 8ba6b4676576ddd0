// The requests of the test-only class driver (vexonrig.sys), which plays the
// mouse class driver above the filter and the port driver below its
// callback: it connects to the filter, injects packet batches into the
// filter's service callback and records what reaches "the class driver".
// Portable: included by the test driver and the test programs.
#pragma once

#include <stdint.h>

#define RIG_DEVICE_PATH "\\\\.\\VEXONRIG"
#define RIG_DEVICE_KERNEL_NAME L"\\DosDevices\\VEXONRIG"
#define RIG_SERVICE_NAME "vexonrig"
// The filter driver the test driver looks for.
#define RIG_FILTER_DRIVER_KERNEL_NAME L"\\Driver\\vexonusb"

// METHOD_BUFFERED requests on device type 0x22, functions 0x900 and up.
constexpr uint32_t RigCode(uint32_t function)
{
    return (0x22u << 16) | (function << 2);
}

// Bytes of one MOUSE_INPUT_DATA packet; each side uses its own definition.
constexpr uint32_t RIG_PACKET_BYTES = 24;
// Filter devices the test driver connects to at most (one per mouse).
constexpr uint32_t RIG_MAX_FILTERS = 2;
// Packets the test driver records before it drops the rest (and says so).
constexpr uint32_t RIG_RECORD_CAPACITY = 2048;

enum : uint32_t {
    // Sends IOCTL_INTERNAL_MOUSE_CONNECT to a filter device with the test
    // driver's callback and selects it. In: RIG_CONNECT_REQUEST.
    // Out: RIG_CONNECT_RESULT.
    IOCTL_RIG_CONNECT = RigCode(0x900),
    // Sends IOCTL_INTERNAL_MOUSE_DISCONNECT to the selected filter.
    // Out: int32 status.
    IOCTL_RIG_DISCONNECT = RigCode(0x901),
    // Calls the selected filter's service callback with the packets of the input
    // buffer, as the port driver does. Out: RIG_INJECT_RESULT.
    IOCTL_RIG_INJECT = RigCode(0x902),
    // Hands over and forgets what reached the class callback.
    // Out: RIG_RECORD_HEADER, then the packets.
    IOCTL_RIG_TAKE_PACKETS = RigCode(0x903),
    // Sends IOCTL_INTERNAL_I8042_HOOK_MOUSE to the first filter.
    // In: RIG_HOOK_REQUEST.
    // Out: RIG_HOOK_RESULT.
    IOCTL_RIG_HOOK = RigCode(0x904),
    // Calls the hook routine the filter put into the last hook request, as
    // the PS/2 port's interrupt routine does. In: RIG_ISR_REQUEST.
    // Out: RIG_ISR_RESULT.
    IOCTL_RIG_CALL_ISR = RigCode(0x905),
    // Sends one interrupt transfer through the filter to a stand-in USB
    // stack below it. In: RIG_TRANSFER_REQUEST. Out: RIG_TRANSFER_RESULT.
    IOCTL_RIG_SUBMIT_URB = RigCode(0x906),
    // Selects the connection the injections and transfers use.
    // In: RIG_SELECT_REQUEST. Out: RIG_SELECT_RESULT.
    IOCTL_RIG_SELECT = RigCode(0x907),
};

struct RIG_CONNECT_REQUEST {
    uint32_t InputBytes;  // length of the connect data sent; 0 for the whole record
    uint32_t Index;       // which filter device, in the driver's order
};

struct RIG_CONNECT_RESULT {
    int32_t Status;           // of the connect request
    uint32_t FilterFound;     // a filter device of vexonusb answered
    uint32_t DataReplaced;    // the connect data came back naming the filter's callback
    uint32_t FilterIsDevice;  // ... and the filter device as its device object
};

struct RIG_SELECT_REQUEST {
    uint32_t Index;
};

struct RIG_SELECT_RESULT {
    uint32_t Connected;  // a connect to that filter went through
    uint32_t Alive;      // its filter device still exists
};

struct RIG_INJECT_RESULT {
    uint32_t Consumed;  // what the service callback reported consumed
    uint32_t Calls;     // class callback calls during the injection
};

struct RIG_RECORD_HEADER {
    uint32_t Calls;     // class callback calls since the last take
    uint32_t Count;     // packets that follow
    uint32_t Dropped;   // packets beyond RIG_RECORD_CAPACITY
    uint32_t WrongDevice;  // calls that named another device than the test driver's
};

struct RIG_HOOK_REQUEST {
    uint32_t InputBytes;  // 0 for the whole record
    uint32_t WithIsr;     // hand over an ISR routine of the test driver's
};

struct RIG_HOOK_RESULT {
    int32_t Status;
    uint32_t FilterFound;
    uint32_t IsrReplaced;      // the request came back with the filter's routine
    uint32_t ContextIsFilter;  // ... and the filter device as its context
};

struct RIG_ISR_REQUEST {
    uint32_t UpperResult;    // what the test driver's own ISR returns
    uint32_t UpperContinue;  // what it stores in ContinueProcessing
};

struct RIG_ISR_RESULT {
    uint32_t Result;
    uint32_t Continue;
    uint32_t UpperCalls;       // calls of the test driver's ISR
    uint32_t UpperSawContext;  // it got its own context and the caller's arguments
};

struct RIG_TRANSFER_REQUEST {
    uint8_t Report[4];       // what the device delivers
    uint32_t Capacity;       // bytes of the transfer buffer (4..12)
    uint32_t UseMdl;         // describe the buffer by a memory descriptor
    int32_t LowerStatus;     // how the stand-in USB stack completes the transfer
};

struct RIG_TRANSFER_RESULT {
    int32_t Status;
    uint32_t Length;      // transfer length after completion
    uint8_t Buffer[12];   // the transfer buffer after completion
};
