// vexonrig.sys, a test-only kernel driver that runs in the filter's
// winedevice process (same service group) and plays the drivers around it:
// the mouse class driver that connects to the filter and receives its
// packets, the port driver that calls the filter's service callback and
// the PS/2 port's interrupt routine, and a USB stack below the filter that
// completes interrupt transfers.
#include "kernel_headers.h"

#include "rig_protocol.h"

extern "C" {
NTSTATUS NTAPI ObReferenceObjectByName(PUNICODE_STRING name, ULONG attributes,
                                       PACCESS_STATE access, ACCESS_MASK desiredAccess,
                                       POBJECT_TYPE type, KPROCESSOR_MODE mode, PVOID parse,
                                       PVOID* object);
extern POBJECT_TYPE* __imp_IoDriverObjectType;
DRIVER_INITIALIZE DriverEntry;
}

static_assert(sizeof(MOUSE_INPUT_DATA) == RIG_PACKET_BYTES, "packet layout");

namespace {

typedef VOID (*MOUSE_SERVICE)(PDEVICE_OBJECT device, PMOUSE_INPUT_DATA start,
                              PMOUSE_INPUT_DATA end, PULONG consumed);

constexpr ULONG RIG_POOL_TAG = 'V' | ('R' << 8) | ('i' << 16) | ('g' << 24);

PDEVICE_OBJECT g_rigDevice;

// The filters connected to, with what each handed back at connect time;
// injections and transfers go to the selected one.
struct CONNECTION {
    PDEVICE_OBJECT Filter;
    CONNECT_DATA Upper;
};
CONNECTION g_connections[RIG_MAX_FILTERS];
ULONG g_selected;
PVOID g_filterIsrContext;
PI8042_MOUSE_ISR g_filterIsr;

// What reached the class callback; guarded by g_recordLock.
KSPIN_LOCK g_recordLock;
MOUSE_INPUT_DATA g_recorded[RIG_RECORD_CAPACITY];
RIG_RECORD_HEADER g_record;

// The test driver's own ISR, handed to the filter in a hook request.
int g_upperIsrContext;
RIG_ISR_REQUEST g_upperBehaviour;
RIG_ISR_RESULT g_isrSeen;
struct ISR_ARGUMENTS {
    PMOUSE_INPUT_DATA Input;
    POUTPUT_PACKET Output;
    UCHAR Status;
    PUCHAR Data;
    PBOOLEAN Continue;
} g_isrArguments;

// The stand-in USB stack's answer to a transfer.
NTSTATUS g_usbStatus;
PDRIVER_DISPATCH g_lowerInternalDispatch;

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// The class callback: records every packet the filter hands over.
VOID RigClassService(PDEVICE_OBJECT device, PMOUSE_INPUT_DATA start, PMOUSE_INPUT_DATA end,
                     PULONG consumed)
{
    KIRQL irql;
    KeAcquireSpinLock(&g_recordLock, &irql);
    ++g_record.Calls;
    if (device != g_rigDevice)
        ++g_record.WrongDevice;
    for (PMOUSE_INPUT_DATA packet = start; packet < end; ++packet) {
        if (g_record.Count < RIG_RECORD_CAPACITY)
            g_recorded[g_record.Count++] = *packet;
        else
            ++g_record.Dropped;
    }
    KeReleaseSpinLock(&g_recordLock, irql);
    *consumed = ULONG(end - start);
}

BOOLEAN RigUpperIsr(PVOID context, PMOUSE_INPUT_DATA input, POUTPUT_PACKET output, UCHAR status,
                    PUCHAR data, PBOOLEAN continueProcessing, PMOUSE_STATE, PMOUSE_RESET_SUBSTATE)
{
    ++g_isrSeen.UpperCalls;
    g_isrSeen.UpperSawContext = context == &g_upperIsrContext && input == g_isrArguments.Input &&
                                output == g_isrArguments.Output &&
                                status == g_isrArguments.Status && data == g_isrArguments.Data &&
                                continueProcessing == g_isrArguments.Continue;
    *continueProcessing = BOOLEAN(g_upperBehaviour.UpperContinue != 0);
    return BOOLEAN(g_upperBehaviour.UpperResult != 0);
}

// Sends an internal request with a METHOD_NEITHER input and waits for it.
NTSTATUS SendInternal(PDEVICE_OBJECT device, ULONG code, PVOID input, ULONG inputBytes,
                      PVOID argument1 = nullptr)
{
    KEVENT done;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IO_STATUS_BLOCK io = {};
    PIRP irp = IoBuildDeviceIoControlRequest(code, device, input, inputBytes, nullptr, 0, TRUE,
                                             &done, &io);
    if (!irp)
        return STATUS_INSUFFICIENT_RESOURCES;
    if (argument1)
        IoGetNextIrpStackLocation(irp)->Parameters.Others.Argument1 = argument1;
    NTSTATUS status = IoCallDriver(device, irp);
    if (status == STATUS_PENDING) {
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, nullptr);
        status = io.Status;
    }
    return status;
}

// Calls visit for each device object of a driver until it returns true;
// returns the device it stopped at.
template <typename Visit>
PDEVICE_OBJECT FindDeviceOf(PCWSTR driverName, Visit visit)
{
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, driverName);
    PVOID object = nullptr;
    if (!NT_SUCCESS(ObReferenceObjectByName(&name, OBJ_CASE_INSENSITIVE, nullptr, 0,
                                            *__imp_IoDriverObjectType, KernelMode, nullptr,
                                            &object)))
        return nullptr;
    const auto driver = static_cast<PDRIVER_OBJECT>(object);
    PDEVICE_OBJECT found = nullptr;
    for (PDEVICE_OBJECT device = driver->DeviceObject; device && !found;
         device = device->NextDevice)
        if (visit(device))
            found = device;
    ObDereferenceObject(driver);
    return found;
}

// The device the filter is attached to: Wine's root device, a device of its
// Plug and Play manager (Wine has no IoGetLowerDeviceObject).
PDEVICE_OBJECT LowerDeviceOf(PDEVICE_OBJECT filter)
{
    return FindDeviceOf(L"\\Driver\\PnpManager",
                        [&](PDEVICE_OBJECT device) { return device->AttachedDevice == filter; });
}

// The index-th filter device of the filter driver: one attached to a root
// device (its control device is attached to nothing).
PDEVICE_OBJECT FilterDevice(ULONG index)
{
    ULONG seen = 0;
    return FindDeviceOf(RIG_FILTER_DRIVER_KERNEL_NAME, [&](PDEVICE_OBJECT device) {
        return LowerDeviceOf(device) && seen++ == index;
    });
}

bool StillExists(PDEVICE_OBJECT filter)
{
    return filter && FindDeviceOf(RIG_FILTER_DRIVER_KERNEL_NAME,
                                  [&](PDEVICE_OBJECT device) { return device == filter; });
}

CONNECTION* Selected()
{
    return g_connections[g_selected].Filter ? &g_connections[g_selected] : nullptr;
}

NTSTATUS Connect(const RIG_CONNECT_REQUEST& request, RIG_CONNECT_RESULT* result)
{
    *result = {};
    PDEVICE_OBJECT filter = request.Index < RIG_MAX_FILTERS ? FilterDevice(request.Index) : nullptr;
    if (!filter)
        return STATUS_SUCCESS;
    result->FilterFound = 1;
    CONNECT_DATA data = {g_rigDevice, reinterpret_cast<PVOID>(RigClassService)};
    const ULONG bytes = request.InputBytes ? request.InputBytes : sizeof(CONNECT_DATA);
    result->Status = SendInternal(filter, IOCTL_INTERNAL_MOUSE_CONNECT, &data, bytes);
    if (data.ClassService != reinterpret_cast<PVOID>(RigClassService)) {
        result->DataReplaced = 1;
        result->FilterIsDevice = data.ClassDeviceObject == filter;
        g_connections[request.Index] = {filter, data};
        g_selected = request.Index;
    }
    return STATUS_SUCCESS;
}

NTSTATUS Select(const RIG_SELECT_REQUEST& request, RIG_SELECT_RESULT* result)
{
    *result = {};
    if (request.Index >= RIG_MAX_FILTERS)
        return STATUS_INVALID_PARAMETER;
    g_selected = request.Index;
    result->Connected = g_connections[g_selected].Filter != nullptr;
    result->Alive = StillExists(g_connections[g_selected].Filter);
    return STATUS_SUCCESS;
}

NTSTATUS Hook(const RIG_HOOK_REQUEST& request, RIG_HOOK_RESULT* result)
{
    *result = {};
    PDEVICE_OBJECT filter = FilterDevice(0);
    if (!filter)
        return STATUS_SUCCESS;
    result->FilterFound = 1;
    INTERNAL_I8042_HOOK_MOUSE hook = {};
    hook.Context = &g_upperIsrContext;
    hook.IsrRoutine = request.WithIsr ? RigUpperIsr : nullptr;
    const ULONG bytes = request.InputBytes ? request.InputBytes : sizeof(INTERNAL_I8042_HOOK_MOUSE);
    result->Status = SendInternal(filter, IOCTL_INTERNAL_I8042_HOOK_MOUSE, &hook, bytes);
    if (hook.Context != &g_upperIsrContext) {
        result->IsrReplaced = hook.IsrRoutine != nullptr && hook.IsrRoutine != RigUpperIsr;
        result->ContextIsFilter = hook.Context == filter;
        g_filterIsrContext = hook.Context;
        g_filterIsr = hook.IsrRoutine;
    }
    return STATUS_SUCCESS;
}

NTSTATUS CallIsr(const RIG_ISR_REQUEST& request, RIG_ISR_RESULT* result)
{
    if (!g_filterIsr)
        return STATUS_INVALID_DEVICE_STATE;
    g_upperBehaviour = request;
    g_isrSeen = {};
    MOUSE_INPUT_DATA input = {};
    OUTPUT_PACKET output = {};
    UCHAR data = 0x5A;
    BOOLEAN continueProcessing = 2;  // neither TRUE nor FALSE: shows who wrote it
    MOUSE_STATE state = MouseIdle;
    MOUSE_RESET_SUBSTATE substate = ExpectingReset;
    g_isrArguments = {&input, &output, 0xA5, &data, &continueProcessing};
    const BOOLEAN answer = g_filterIsr(g_filterIsrContext, &input, &output, 0xA5, &data,
                                       &continueProcessing, &state, &substate);
    *result = g_isrSeen;
    result->Result = answer;
    result->Continue = continueProcessing;
    return STATUS_SUCCESS;
}

// The stand-in USB stack: completes every transfer as the test asked,
// leaving in the buffer what the device "delivered".
NTSTATUS RigUsbStack(PDEVICE_OBJECT device, PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.IoControlCode != IOCTL_INTERNAL_USB_SUBMIT_URB)
        return g_lowerInternalDispatch(device, irp);
    return Complete(irp, g_usbStatus, 0);
}

NTSTATUS SendTransfer(PDEVICE_OBJECT filter, const RIG_TRANSFER_REQUEST& request,
                      RIG_TRANSFER_RESULT* result, PUCHAR buffer)
{
    URB urb = {};
    urb.UrbHeader.Function = URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER;
    urb.UrbHeader.Length = sizeof(_URB_BULK_OR_INTERRUPT_TRANSFER);
    urb.UrbBulkOrInterruptTransfer.TransferFlags = USBD_TRANSFER_DIRECTION_IN;
    urb.UrbBulkOrInterruptTransfer.TransferBufferLength = sizeof(request.Report);
    PMDL mdl = nullptr;
    if (request.UseMdl) {
        mdl = IoAllocateMdl(buffer, request.Capacity, FALSE, FALSE, nullptr);
        if (!mdl)
            return STATUS_INSUFFICIENT_RESOURCES;
        MmBuildMdlForNonPagedPool(mdl);
        // What that call does on Windows, where Wine leaves it undone.
        mdl->MappedSystemVa = buffer;
        mdl->MdlFlags |= MDL_SOURCE_IS_NONPAGED_POOL;
        urb.UrbBulkOrInterruptTransfer.TransferBufferMDL = mdl;
    } else {
        urb.UrbBulkOrInterruptTransfer.TransferBuffer = buffer;
    }
    result->Status = SendInternal(filter, IOCTL_INTERNAL_USB_SUBMIT_URB, nullptr, 0, &urb);
    result->Length = urb.UrbBulkOrInterruptTransfer.TransferBufferLength;
    if (mdl)
        IoFreeMdl(mdl);
    return STATUS_SUCCESS;
}

// Puts the stand-in USB stack under the filter for one transfer: the
// lower device's driver answers the transfer request.
NTSTATUS SubmitTransfer(const RIG_TRANSFER_REQUEST& request, RIG_TRANSFER_RESULT* result)
{
    *result = {};
    CONNECTION* connection = Selected();
    if (!connection || request.Capacity < 4 || request.Capacity > sizeof(result->Buffer))
        return STATUS_INVALID_PARAMETER;
    PDEVICE_OBJECT lower = LowerDeviceOf(connection->Filter);
    if (!lower)
        return STATUS_INVALID_DEVICE_STATE;
    const auto buffer = static_cast<PUCHAR>(
        ExAllocatePoolWithTag(NonPagedPool, sizeof(result->Buffer), RIG_POOL_TAG));
    NTSTATUS status = STATUS_INSUFFICIENT_RESOURCES;
    if (buffer) {
        RtlZeroMemory(buffer, sizeof(result->Buffer));
        RtlCopyMemory(buffer, request.Report, sizeof(request.Report));
        PDRIVER_DISPATCH* slot = &lower->DriverObject->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL];
        g_lowerInternalDispatch = *slot;
        g_usbStatus = request.LowerStatus;
        *slot = RigUsbStack;
        status = SendTransfer(connection->Filter, request, result, buffer);
        *slot = g_lowerInternalDispatch;
        RtlCopyMemory(result->Buffer, buffer, sizeof(result->Buffer));
        ExFreePool(buffer);
    }
    return status;
}

NTSTATUS Inject(const PMOUSE_INPUT_DATA packets, ULONG count, RIG_INJECT_RESULT* result)
{
    const CONNECTION* connection = Selected();
    if (!connection)
        return STATUS_INVALID_DEVICE_STATE;
    const auto service = reinterpret_cast<MOUSE_SERVICE>(connection->Upper.ClassService);
    const ULONG callsBefore = g_record.Calls;
    ULONG consumed = 0;
    service(static_cast<PDEVICE_OBJECT>(connection->Upper.ClassDeviceObject), packets,
            packets + count, &consumed);
    result->Consumed = consumed;
    result->Calls = g_record.Calls - callsBefore;
    return STATUS_SUCCESS;
}

ULONG TakePackets(PUCHAR out, ULONG capacity)
{
    KIRQL irql;
    KeAcquireSpinLock(&g_recordLock, &irql);
    RIG_RECORD_HEADER header = g_record;
    const ULONG room = (capacity - sizeof(header)) / sizeof(MOUSE_INPUT_DATA);
    if (header.Count > room) {
        header.Dropped += header.Count - room;
        header.Count = room;
    }
    RtlCopyMemory(out, &header, sizeof(header));
    RtlCopyMemory(out + sizeof(header), g_recorded, header.Count * sizeof(MOUSE_INPUT_DATA));
    g_record = {};
    KeReleaseSpinLock(&g_recordLock, irql);
    return sizeof(header) + header.Count * sizeof(MOUSE_INPUT_DATA);
}

template <typename T>
bool Fits(const PIO_STACK_LOCATION stack, ULONG input)
{
    return stack->Parameters.DeviceIoControl.InputBufferLength >= input &&
           stack->Parameters.DeviceIoControl.OutputBufferLength >= sizeof(T);
}

NTSTATUS DeviceControl(PDEVICE_OBJECT, PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const PVOID buffer = irp->AssociatedIrp.SystemBuffer;
    const ULONG inputBytes = stack->Parameters.DeviceIoControl.InputBufferLength;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_RIG_CONNECT: {
        if (!Fits<RIG_CONNECT_RESULT>(stack, sizeof(RIG_CONNECT_REQUEST)))
            break;
        const RIG_CONNECT_REQUEST request = *static_cast<RIG_CONNECT_REQUEST*>(buffer);
        RIG_CONNECT_RESULT result;
        Connect(request, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, STATUS_SUCCESS, sizeof(result));
    }
    case IOCTL_RIG_DISCONNECT: {
        if (!Fits<int32_t>(stack, 0) || !Selected())
            break;
        const int32_t status = SendInternal(Selected()->Filter, IOCTL_INTERNAL_MOUSE_DISCONNECT,
                                            nullptr, 0);
        RtlCopyMemory(buffer, &status, sizeof(status));
        return Complete(irp, STATUS_SUCCESS, sizeof(status));
    }
    case IOCTL_RIG_INJECT: {
        if (!Fits<RIG_INJECT_RESULT>(stack, 0) || inputBytes % sizeof(MOUSE_INPUT_DATA))
            break;
        // The packets are copied out first: the reply shares the buffer.
        const ULONG count = inputBytes / sizeof(MOUSE_INPUT_DATA);
        const auto packets = static_cast<PMOUSE_INPUT_DATA>(
            ExAllocatePoolWithTag(NonPagedPool, inputBytes + sizeof(MOUSE_INPUT_DATA), RIG_POOL_TAG));
        if (!packets)
            return Complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
        RtlCopyMemory(packets, buffer, inputBytes);
        RIG_INJECT_RESULT result = {};
        const NTSTATUS status = Inject(packets, count, &result);
        ExFreePool(packets);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, status, NT_SUCCESS(status) ? sizeof(result) : 0);
    }
    case IOCTL_RIG_TAKE_PACKETS:
        if (!Fits<RIG_RECORD_HEADER>(stack, 0))
            break;
        return Complete(irp, STATUS_SUCCESS,
                        TakePackets(static_cast<PUCHAR>(buffer),
                                    stack->Parameters.DeviceIoControl.OutputBufferLength));
    case IOCTL_RIG_SELECT: {
        if (!Fits<RIG_SELECT_RESULT>(stack, sizeof(RIG_SELECT_REQUEST)))
            break;
        const RIG_SELECT_REQUEST request = *static_cast<RIG_SELECT_REQUEST*>(buffer);
        RIG_SELECT_RESULT result;
        const NTSTATUS status = Select(request, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, status, NT_SUCCESS(status) ? sizeof(result) : 0);
    }
    case IOCTL_RIG_HOOK: {
        if (!Fits<RIG_HOOK_RESULT>(stack, sizeof(RIG_HOOK_REQUEST)))
            break;
        const RIG_HOOK_REQUEST request = *static_cast<RIG_HOOK_REQUEST*>(buffer);
        RIG_HOOK_RESULT result;
        Hook(request, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, STATUS_SUCCESS, sizeof(result));
    }
    case IOCTL_RIG_CALL_ISR: {
        if (!Fits<RIG_ISR_RESULT>(stack, sizeof(RIG_ISR_REQUEST)))
            break;
        const RIG_ISR_REQUEST request = *static_cast<RIG_ISR_REQUEST*>(buffer);
        RIG_ISR_RESULT result = {};
        const NTSTATUS status = CallIsr(request, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, status, NT_SUCCESS(status) ? sizeof(result) : 0);
    }
    case IOCTL_RIG_SUBMIT_URB: {
        if (!Fits<RIG_TRANSFER_RESULT>(stack, sizeof(RIG_TRANSFER_REQUEST)))
            break;
        const RIG_TRANSFER_REQUEST request = *static_cast<RIG_TRANSFER_REQUEST*>(buffer);
        RIG_TRANSFER_RESULT result;
        const NTSTATUS status = SubmitTransfer(request, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        return Complete(irp, status, NT_SUCCESS(status) ? sizeof(result) : 0);
    }
    default:
        break;
    }
    return Complete(irp, STATUS_INVALID_PARAMETER, 0);
}

NTSTATUS CreateClose(PDEVICE_OBJECT, PIRP irp)
{
    return Complete(irp, STATUS_SUCCESS, 0);
}

VOID Unload(PDRIVER_OBJECT)
{
    if (g_rigDevice)
        IoDeleteDevice(g_rigDevice);
    g_rigDevice = nullptr;
}

}  // namespace

extern "C" NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING)
{
    KeInitializeSpinLock(&g_recordLock);
    driver->MajorFunction[IRP_MJ_CREATE] = CreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = CreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DeviceControl;
    driver->DriverUnload = Unload;
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, RIG_DEVICE_KERNEL_NAME);
    const NTSTATUS status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN,
                                           FILE_DEVICE_SECURE_OPEN, FALSE, &g_rigDevice);
    if (NT_SUCCESS(status))
        g_rigDevice->Flags &= ~DO_DEVICE_INITIALIZING;
    return status;
}
