// The driver shell: the filter device attached to each mouse stack, the one
// control device the programs open as "\\.\VEXON0", and the routines of the
// dispatch table.
#pragma once

#include "kernel_headers.h"

#include "driver_protocol.h"

// One per filter device object. The control device has one of the same
// layout, zero-filled, of which only HeldRead and HeldReadFile are used.
struct DEVICE_EXTENSION {
    PDEVICE_OBJECT Self;
    PDEVICE_OBJECT Pdo;
    PDEVICE_OBJECT TopOfStack;   // target of every request passed down
    LONG EnableCount;            // open handles on the filter
    PVOID UpperIsrContext;       // the PS/2 port's mouse hook that was replaced
    PI8042_MOUSE_ISR UpperIsrHook;
    PI8042_ISR_WRITE_PORT IsrWritePort;
    PI8042_QUEUE_PACKET QueueMousePacket;
    PVOID CallContext;
    CONNECT_DATA UpperConnectData;  // the class driver's callback, called by the pipeline
    DEVICE_POWER_STATE DeviceState;
    UNICODE_STRING InterfaceName;   // the GUID_AUTOLAUNCH_NOTIFY interface of this device
    PIRP HeldRead;                  // the GET_EVENT request waiting for an event
    PFILE_OBJECT HeldReadFile;      // its file object
    BOOLEAN Started;
    BOOLEAN SurpriseRemoved;
    BOOLEAN Removed;
};

// Tag of the driver's pool allocations: "MFlt" in a pool dump.
constexpr ULONG VEXON_POOL_TAG = 'M' | ('F' << 8) | ('l' << 16) | ('t' << 24);

// The control device, made at the first AddDevice; null when there is none.
extern PDEVICE_OBJECT g_deviceFake;

inline bool IsControlDevice(PDEVICE_OBJECT device)
{
    return device == g_deviceFake;
}

inline DEVICE_EXTENSION* Extension(PDEVICE_OBJECT device)
{
    return static_cast<DEVICE_EXTENSION*>(device->DeviceExtension);
}

// Completes a request with a status and a byte count.
NTSTATUS CompleteRequest(PIRP irp, NTSTATUS status, ULONG_PTR information);

// Passes a request down the filter's stack, skipping this stack location.
NTSTATUS PassDown(DEVICE_EXTENSION* filter, PIRP irp);

// Sends a request down the filter's stack and waits for it to finish; the
// request then belongs to the caller again (it is not completed).
NTSTATUS ForwardAndWait(DEVICE_EXTENSION* filter, PIRP irp);

// A lower driver without a routine for a request answers this; the filter's
// own answer then stands (Wine's root device handles Plug and Play only).
inline bool LowerDoesNotHandle(NTSTATUS status)
{
    return status == STATUS_INVALID_DEVICE_REQUEST;
}

// Dispatch routines.
extern "C" {
DRIVER_INITIALIZE DriverEntry;
}
DRIVER_ADD_DEVICE MouFilter_AddDevice;
DRIVER_UNLOAD MouFilter_Unload;
DRIVER_DISPATCH MouFilter_CreateClose;
DRIVER_DISPATCH MouFilter_DispatchPassThrough;
DRIVER_DISPATCH MouFilter_InternIoCtl;
DRIVER_DISPATCH MouFilter_DeviceIoCtl;
DRIVER_DISPATCH MouFilter_PnP;
DRIVER_DISPATCH MouFilter_Power;
DRIVER_DISPATCH DispatchCleanup;
IO_COMPLETION_ROUTINE CallbackFunction;

// The class service callback that the connect request puts into the input
// path, and the PS/2 port's mouse hook.
VOID MouFilter_ServiceCallback(PDEVICE_OBJECT DeviceObject, PMOUSE_INPUT_DATA InputDataStart,
                               PMOUSE_INPUT_DATA InputDataEnd, PULONG InputDataConsumed);
BOOLEAN MouFilter_IsrHook(PVOID IsrContext, PMOUSE_INPUT_DATA CurrentInput,
                          POUTPUT_PACKET CurrentOutput, UCHAR StatusByte, PUCHAR DataByte,
                          PBOOLEAN ContinueProcessing, PMOUSE_STATE MouseState,
                          PMOUSE_RESET_SUBSTATE ResetSubState);

// Fills in the pipeline's platform seam.
void InstallKernelPlatform();

// Calls the class driver's service callback saved in a filter's connect data.
void CallClassServiceOf(PDEVICE_OBJECT filterDevice, PMOUSE_INPUT_DATA start,
                        PMOUSE_INPUT_DATA end, PULONG consumed);

// The full configuration load: the machine default key, then the user's key,
// validated into the live configuration. PASSIVE_LEVEL, no lock held.
void LoadConfiguration();
