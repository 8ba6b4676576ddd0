// Opening and closing, passing requests down, and the requests by which the
// filter puts itself into the input path: the class driver's connect
// request, the PS/2 port's mouse hook and the USB transfers.
#include "filter_device.h"

#include "event_queue.h"
#include "packet_pipeline.h"

namespace {

typedef VOID (*MOUSE_CLASS_SERVICE)(PDEVICE_OBJECT classDevice, PMOUSE_INPUT_DATA start,
                                    PMOUSE_INPUT_DATA end, PULONG consumed);

// Sends a request down and waits; where the lower driver has no routine for
// it, the filter's own verdict completes it.
NTSTATUS ForwardWithVerdict(DEVICE_EXTENSION* filter, PIRP irp, NTSTATUS verdict)
{
    NTSTATUS status = ForwardAndWait(filter, irp);
    if (LowerDoesNotHandle(status))
        status = verdict;
    return CompleteRequest(irp, status, irp->IoStatus.Information);
}

NTSTATUS CreateOnFilter(DEVICE_EXTENSION* filter, PIRP irp)
{
    const NTSTATUS verdict = filter->UpperConnectData.ClassService
                                 ? STATUS_SUCCESS
                                 : STATUS_INVALID_DEVICE_STATE;
    const NTSTATUS status = ForwardWithVerdict(filter, irp, verdict);
    if (NT_SUCCESS(status))
        InterlockedIncrement(&filter->EnableCount);
    return status;
}

NTSTATUS CloseOnFilter(DEVICE_EXTENSION* filter, PIRP irp)
{
    CancelIoctl(IoGetCurrentIrpStackLocation(irp)->FileObject);
    InterlockedDecrement(&filter->EnableCount);
    return ForwardWithVerdict(filter, irp, STATUS_SUCCESS);
}

NTSTATUS ConnectClass(DEVICE_EXTENSION* filter, PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (filter->UpperConnectData.ClassService)
        return CompleteRequest(irp, STATUS_SHARING_VIOLATION, 0);
    if (stack->Parameters.DeviceIoControl.InputBufferLength < sizeof(CONNECT_DATA))
        return CompleteRequest(irp, STATUS_INVALID_PARAMETER, 0);
    const auto connect = static_cast<PCONNECT_DATA>(stack->Parameters.DeviceIoControl.Type3InputBuffer);
    filter->UpperConnectData = *connect;
    connect->ClassDeviceObject = filter->Self;
    connect->ClassService = reinterpret_cast<PVOID>(MouFilter_ServiceCallback);
    return PassDown(filter, irp);
}

NTSTATUS HookPs2Mouse(DEVICE_EXTENSION* filter, PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.InputBufferLength < sizeof(INTERNAL_I8042_HOOK_MOUSE))
        return CompleteRequest(irp, STATUS_INVALID_PARAMETER, 0);
    const auto hook = static_cast<PINTERNAL_I8042_HOOK_MOUSE>(
        stack->Parameters.DeviceIoControl.Type3InputBuffer);
    filter->UpperIsrContext = hook->Context;
    if (hook->IsrRoutine)
        filter->UpperIsrHook = hook->IsrRoutine;
    filter->IsrWritePort = hook->IsrWritePort;
    filter->QueueMousePacket = hook->QueueMousePacket;
    filter->CallContext = hook->CallContext;
    hook->Context = filter->Self;
    hook->IsrRoutine = MouFilter_IsrHook;
    return PassDown(filter, irp);
}

NTSTATUS SubmitTransfer(DEVICE_EXTENSION* filter, PIRP irp)
{
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, CallbackFunction, filter, TRUE, TRUE, TRUE);
    return IoCallDriver(filter->TopOfStack, irp);
}

// The buffer of one transfer block and how many bytes it can hold: the size
// of its memory descriptor, or, for a plain buffer whose size is not known,
// only the bytes transferred.
PUCHAR TransferBuffer(_URB_BULK_OR_INTERRUPT_TRANSFER* transfer, ULONG* capacity)
{
    *capacity = transfer->TransferBufferLength;
    if (transfer->TransferBuffer)
        return static_cast<PUCHAR>(transfer->TransferBuffer);
    if (!transfer->TransferBufferMDL)
        return nullptr;
    *capacity = MmGetMdlByteCount(transfer->TransferBufferMDL);
    return static_cast<PUCHAR>(
        MmGetSystemAddressForMdlSafe(transfer->TransferBufferMDL, NormalPagePriority));
}

// Whether a transfer block carries one 4-byte mouse report.
bool IsMouseReport(const URB* urb)
{
    return urb->UrbHeader.Function == URB_FUNCTION_BULK_OR_INTERRUPT_TRANSFER &&
           urb->UrbBulkOrInterruptTransfer.TransferBufferLength == sizeof(MOUSE_REPORT);
}

}  // namespace

NTSTATUS MouFilter_CreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (IsControlDevice(device)) {
        // Where no cleanup request precedes the close (Wine), the read held
        // for this handle ends here.
        if (stack->MajorFunction == IRP_MJ_CLOSE)
            CancelIoctl(stack->FileObject);
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    }
    if (stack->MajorFunction == IRP_MJ_CREATE)
        return CreateOnFilter(Extension(device), irp);
    return CloseOnFilter(Extension(device), irp);
}

NTSTATUS MouFilter_DispatchPassThrough(PDEVICE_OBJECT device, PIRP irp)
{
    if (IsControlDevice(device))
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    DEVICE_EXTENSION* filter = Extension(device);
    IoCopyCurrentIrpStackLocationToNext(irp);
    return IoCallDriver(filter->TopOfStack, irp);
}

// The event read is held for the control device whichever device received
// it, so the cleanup of a filter handle releases that handle's read too.
NTSTATUS DispatchCleanup(PDEVICE_OBJECT device, PIRP irp)
{
    CancelIoctl(IoGetCurrentIrpStackLocation(irp)->FileObject);
    if (!IsControlDevice(device))
        return PassDown(Extension(device), irp);
    return CompleteRequest(irp, STATUS_SUCCESS, 0);
}

NTSTATUS MouFilter_InternIoCtl(PDEVICE_OBJECT device, PIRP irp)
{
    if (IsControlDevice(device))
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    DEVICE_EXTENSION* filter = Extension(device);
    switch (IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_INTERNAL_MOUSE_CONNECT:
        return ConnectClass(filter, irp);
    case IOCTL_INTERNAL_MOUSE_DISCONNECT:
        return CompleteRequest(irp, STATUS_NOT_IMPLEMENTED, 0);
    case IOCTL_INTERNAL_I8042_HOOK_MOUSE:
        return HookPs2Mouse(filter, irp);
    case IOCTL_INTERNAL_USB_SUBMIT_URB:
        return SubmitTransfer(filter, irp);
    default:
        return PassDown(filter, irp);
    }
}

BOOLEAN MouFilter_IsrHook(PVOID IsrContext, PMOUSE_INPUT_DATA CurrentInput,
                          POUTPUT_PACKET CurrentOutput, UCHAR StatusByte, PUCHAR DataByte,
                          PBOOLEAN ContinueProcessing, PMOUSE_STATE MouseState,
                          PMOUSE_RESET_SUBSTATE ResetSubState)
{
    const DEVICE_EXTENSION* filter = Extension(static_cast<PDEVICE_OBJECT>(IsrContext));
    if (filter->UpperIsrHook) {
        const BOOLEAN result = filter->UpperIsrHook(filter->UpperIsrContext, CurrentInput,
                                                    CurrentOutput, StatusByte, DataByte,
                                                    ContinueProcessing, MouseState, ResetSubState);
        if (!result || !*ContinueProcessing)
            return result;
    }
    *ContinueProcessing = TRUE;
    return TRUE;
}

VOID MouFilter_ServiceCallback(PDEVICE_OBJECT DeviceObject, PMOUSE_INPUT_DATA InputDataStart,
                               PMOUSE_INPUT_DATA InputDataEnd, PULONG InputDataConsumed)
{
    ProcessServiceBatch(DeviceObject, InputDataStart, InputDataEnd,
                        reinterpret_cast<uint32_t*>(InputDataConsumed));
}

void CallClassServiceOf(PDEVICE_OBJECT filterDevice, PMOUSE_INPUT_DATA start,
                        PMOUSE_INPUT_DATA end, PULONG consumed)
{
    const CONNECT_DATA& upper = Extension(filterDevice)->UpperConnectData;
    if (!upper.ClassService)
        return;
    const auto service = reinterpret_cast<MOUSE_CLASS_SERVICE>(upper.ClassService);
    service(upper.ClassDeviceObject, start, end, consumed);
}

// Edits each completed 4-byte report of a transfer in place. A failed
// transfer's buffer holds no report and is left alone.
NTSTATUS CallbackFunction(PDEVICE_OBJECT, PIRP irp, PVOID)
{
    if (irp->PendingReturned)
        IoMarkIrpPending(irp);
    if (!NT_SUCCESS(irp->IoStatus.Status))
        return STATUS_SUCCESS;
    auto urb = static_cast<PURB>(IoGetCurrentIrpStackLocation(irp)->Parameters.Others.Argument1);
    for (; urb && IsMouseReport(urb);
          urb = urb->UrbBulkOrInterruptTransfer.UrbLink) {
        _URB_BULK_OR_INTERRUPT_TRANSFER* transfer = &urb->UrbBulkOrInterruptTransfer;
        ULONG capacity = 0;
        PUCHAR buffer = TransferBuffer(transfer, &capacity);
        if (!buffer)
            break;
        uint32_t length = transfer->TransferBufferLength;
        ProcessTransferReport(buffer, &length, capacity);
        transfer->TransferBufferLength = length;
    }
    return STATUS_SUCCESS;
}
