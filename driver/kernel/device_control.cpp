// The programs' requests on the control device (and on a filter device,
// which answers them the same way): configuration blocks, registrations and
// the event read.
#include "filter_device.h"

#include "config_block.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "event_queue.h"

namespace {

constexpr ULONG REPLY_BYTES = sizeof(uint32_t);

struct REQUEST {
    ULONG Code;
    ULONG InputLength;
    ULONG OutputLength;
    PVOID Buffer;  // input and output share the system buffer
};

REQUEST RequestOf(PIRP irp)
{
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    return {stack->Parameters.DeviceIoControl.IoControlCode,
            stack->Parameters.DeviceIoControl.InputBufferLength,
            stack->Parameters.DeviceIoControl.OutputBufferLength, irp->AssociatedIrp.SystemBuffer};
}

bool Fits(const REQUEST& request, ULONG input, ULONG output)
{
    return request.InputLength >= input && request.OutputLength >= output;
}

NTSTATUS Reply(PIRP irp, const REQUEST& request, uint32_t reply)
{
    RtlCopyMemory(request.Buffer, &reply, sizeof(reply));
    return CompleteRequest(irp, STATUS_SUCCESS, REPLY_BYTES);
}

NTSTATUS RejectSize(PIRP irp)
{
    return CompleteRequest(irp, STATUS_INVALID_BUFFER_SIZE, 0);
}

NTSTATUS SetConfig(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, sizeof(CONFIG_BLOCK), REPLY_BYTES))
        return RejectSize(irp);
    ApplyConfigRequest(static_cast<const CONFIG_BLOCK*>(request.Buffer));
    return Reply(irp, request, 0);
}

NTSTATUS TrayUpdate(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, sizeof(CONFIG_BLOCK), REPLY_BYTES))
        return RejectSize(irp);
    ApplyTrayRequest(static_cast<const CONFIG_BLOCK*>(request.Buffer));
    return Reply(irp, request, 0);
}

SLOT_REQUEST SlotRequestOf(const REQUEST& request)
{
    SLOT_REQUEST slot;
    RtlCopyMemory(&slot, request.Buffer, sizeof(slot));
    return slot;
}

// The tray's registration makes the driver read the user's settings, which
// are in the registry by the time the tray runs.
NTSTATUS Register(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, sizeof(SLOT_REQUEST), REPLY_BYTES))
        return RejectSize(irp);
    const SLOT_REQUEST slot = SlotRequestOf(request);
    const uint32_t reply = RegisterSlot(slot.Slot, slot.hWnd);
    if (reply == DRIVER_REPLY_OK && slot.Slot == SLOT_TRAY)
        LoadConfiguration();
    return Reply(irp, request, reply);
}

NTSTATUS Unregister(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, sizeof(SLOT_REQUEST), REPLY_BYTES))
        return RejectSize(irp);
    return Reply(irp, request, UnregisterSlot(SlotRequestOf(request).Slot));
}

NTSTATUS QueryOfa(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, 0, REPLY_BYTES))
        return RejectSize(irp);
    return Reply(irp, request, QueryOfaWindow());
}

NTSTATUS GetEvent(PIRP irp, const REQUEST& request)
{
    if (!Fits(request, 0, sizeof(DRIVER_EVENT)))
        return RejectSize(irp);
    return HandleGetEvent(irp);
}

}  // namespace

NTSTATUS MouFilter_DeviceIoCtl(PDEVICE_OBJECT device, PIRP irp)
{
    const REQUEST request = RequestOf(irp);
    switch (request.Code) {
    case IOCTL_MOUFILTER_SET_CONFIG:
        return SetConfig(irp, request);
    case IOCTL_MOUFILTER_TRAY_UPDATE:
        return TrayUpdate(irp, request);
    case IOCTL_MOUFILTER_REGISTER:
        return Register(irp, request);
    case IOCTL_MOUFILTER_UNREGISTER:
        return Unregister(irp, request);
    case IOCTL_MOUFILTER_QUERY_OFA:
        return QueryOfa(irp, request);
    case IOCTL_MOUFILTER_GET_EVENT:
        return GetEvent(irp, request);
    default:
        // Other requests on a mouse stack belong to the drivers below.
        if (!IsControlDevice(device))
            return PassDown(Extension(device), irp);
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    }
}
