// The driver events on their way to the tray: the queue g_WindowsMessagesList
// and the one held IOCTL_MOUFILTER_GET_EVENT request, both guarded by one
// spin lock. Requests are completed only after the lock is released.
#pragma once

#include "kernel_headers.h"

#include "driver_protocol.h"
#include "event_queue_bound.h"

// The queue at driver load.
void InitializeEventQueue();

// Hands an event to the held read, or appends it to the queue. Returns false
// when there is no control device (the event is dropped). Any IRQL up to
// DISPATCH_LEVEL.
bool DeliverEvent(const DRIVER_EVENT& event);

// IOCTL_MOUFILTER_GET_EVENT: completes the request with the oldest queued
// event, or holds it (pending, cancelable) until the next event. A second
// read while one is held is refused with STATUS_DEVICE_BUSY.
NTSTATUS HandleGetEvent(PIRP irp);

// Completes the held read with STATUS_CANCELLED, if there is one and it
// belongs to fileObject (any held read when fileObject is null).
void CancelIoctl(PFILE_OBJECT fileObject);

// Unload: forgets the control device, so that from here on events are
// dropped and reads refused, and completes a held read as cancelled.
// Returns the control device for deletion.
PDEVICE_OBJECT ForgetControlDevice();

// Unload: frees every queued event; returns how many there were.
ULONG FreeQueuedEvents();
