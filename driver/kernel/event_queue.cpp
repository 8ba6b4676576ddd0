#include "event_queue.h"

#include "filter_device.h"

LIST_ENTRY g_WindowsMessagesList;

namespace {

struct QUEUED_EVENT {
    LIST_ENTRY Links;
    DRIVER_EVENT Event;
};

// Guards g_WindowsMessagesList, g_queuedEvents, g_deviceFake's HeldRead and
// HeldReadFile, and the forgetting of g_deviceFake at unload.
KSPIN_LOCK g_queueLock;
ULONG g_queuedEvents;

class QueueLock {
public:
    QueueLock() { KeAcquireSpinLock(&g_queueLock, &irql_); }
    ~QueueLock() { KeReleaseSpinLock(&g_queueLock, irql_); }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

private:
    KIRQL irql_;
};

void AppendLocked(QUEUED_EVENT* entry)
{
    InsertTailList(&g_WindowsMessagesList, &entry->Links);
    ++g_queuedEvents;
}

QUEUED_EVENT* RemoveOldestLocked()
{
    if (IsListEmpty(&g_WindowsMessagesList))
        return nullptr;
    --g_queuedEvents;
    return CONTAINING_RECORD(RemoveHeadList(&g_WindowsMessagesList), QUEUED_EVENT, Links);
}

// An entry for a new event: a new one from non-paged pool, or, when the
// queue is full, the oldest entry, whose event is dropped.
QUEUED_EVENT* EntryForNewEventLocked()
{
    if (g_queuedEvents >= MAX_QUEUED_EVENTS)
        return RemoveOldestLocked();
    return static_cast<QUEUED_EVENT*>(
        ExAllocatePoolWithTag(NonPagedPool, sizeof(QUEUED_EVENT), VEXON_POOL_TAG));
}

// Takes the held read off the control device, when there is one (of
// fileObject, if given). A read whose cancel routine has already started is
// left to that routine, which completes it.
PIRP TakeHeldReadLocked(PFILE_OBJECT fileObject)
{
    if (!g_deviceFake)
        return nullptr;
    DEVICE_EXTENSION* control = Extension(g_deviceFake);
    PIRP irp = control->HeldRead;
    if (!irp || (fileObject && control->HeldReadFile != fileObject))
        return nullptr;
    if (!IoSetCancelRoutine(irp, nullptr))
        return nullptr;
    control->HeldRead = nullptr;
    control->HeldReadFile = nullptr;
    return irp;
}

NTSTATUS CompleteWithEvent(PIRP irp, const DRIVER_EVENT& event)
{
    RtlCopyMemory(irp->AssociatedIrp.SystemBuffer, &event, sizeof(event));
    return CompleteRequest(irp, STATUS_SUCCESS, sizeof(event));
}

// Cancel routine of the held read: CancelIoEx, the end of the reader's
// process, or the closing of its handle where no cleanup request comes.
VOID CancelHeldRead(PDEVICE_OBJECT, PIRP irp)
{
    IoReleaseCancelSpinLock(irp->CancelIrql);
    {
        QueueLock lock;
        if (g_deviceFake && Extension(g_deviceFake)->HeldRead == irp) {
            Extension(g_deviceFake)->HeldRead = nullptr;
            Extension(g_deviceFake)->HeldReadFile = nullptr;
        }
    }
    CompleteRequest(irp, STATUS_CANCELLED, 0);
}

// Holds a read on the control device. Returns false when the request was
// cancelled before it could be held (the caller completes it then).
bool HoldReadLocked(PIRP irp)
{
    DEVICE_EXTENSION* control = Extension(g_deviceFake);
    control->HeldRead = irp;
    control->HeldReadFile = IoGetCurrentIrpStackLocation(irp)->FileObject;
    IoSetCancelRoutine(irp, CancelHeldRead);
    if (irp->Cancel && IoSetCancelRoutine(irp, nullptr)) {
        control->HeldRead = nullptr;
        control->HeldReadFile = nullptr;
        return false;
    }
    return true;
}

}  // namespace

void InitializeEventQueue()
{
    KeInitializeSpinLock(&g_queueLock);
    InitializeListHead(&g_WindowsMessagesList);
    g_queuedEvents = 0;
}

bool DeliverEvent(const DRIVER_EVENT& event)
{
    PIRP read;
    {
        QueueLock lock;
        if (!g_deviceFake)
            return false;
        read = TakeHeldReadLocked(nullptr);
        if (!read) {
            QUEUED_EVENT* entry = EntryForNewEventLocked();
            if (entry) {
                entry->Event = event;
                AppendLocked(entry);
            }
        }
    }
    if (read)
        CompleteWithEvent(read, event);
    return true;
}

NTSTATUS HandleGetEvent(PIRP irp)
{
    QUEUED_EVENT* oldest = nullptr;
    NTSTATUS status = STATUS_SUCCESS;
    {
        QueueLock lock;
        if (!g_deviceFake)
            status = STATUS_INVALID_DEVICE_STATE;
        else if (!(oldest = RemoveOldestLocked()) && Extension(g_deviceFake)->HeldRead)
            status = STATUS_DEVICE_BUSY;
        else if (!oldest) {
            IoMarkIrpPending(irp);
            if (HoldReadLocked(irp))
                return STATUS_PENDING;
            status = STATUS_CANCELLED;
        }
    }
    if (oldest) {
        const DRIVER_EVENT event = oldest->Event;
        ExFreePool(oldest);
        return CompleteWithEvent(irp, event);
    }
    CompleteRequest(irp, status, 0);
    // A request cancelled while it was being held was marked pending.
    return status == STATUS_CANCELLED ? STATUS_PENDING : status;
}

void CancelIoctl(PFILE_OBJECT fileObject)
{
    PIRP read;
    {
        QueueLock lock;
        read = TakeHeldReadLocked(fileObject);
    }
    if (read)
        CompleteRequest(read, STATUS_CANCELLED, 0);
}

PDEVICE_OBJECT ForgetControlDevice()
{
    PDEVICE_OBJECT control;
    PIRP read;
    {
        QueueLock lock;
        read = TakeHeldReadLocked(nullptr);
        control = g_deviceFake;
        g_deviceFake = nullptr;
    }
    if (read)
        CompleteRequest(read, STATUS_CANCELLED, 0);
    return control;
}

ULONG FreeQueuedEvents()
{
    ULONG freed = 0;
    for (;;) {
        QUEUED_EVENT* entry;
        {
            QueueLock lock;
            entry = RemoveOldestLocked();
        }
        if (!entry)
            return freed;
        ExFreePool(entry);
        ++freed;
    }
}
