// The driver's entry and exit, and the request helpers the dispatch
// routines share.
#include "filter_device.h"

#include "event_queue.h"
#include "packet_pipeline.h"

PDEVICE_OBJECT g_deviceFake;

NTSTATUS CompleteRequest(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

NTSTATUS PassDown(DEVICE_EXTENSION* filter, PIRP irp)
{
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(filter->TopOfStack, irp);
}

namespace {

// Completion routine of a request sent down synchronously: wakes the
// sender, who finishes the request.
NTSTATUS MouFilter_Complete(PDEVICE_OBJECT, PIRP, PVOID context)
{
    KeSetEvent(static_cast<PKEVENT>(context), IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

}  // namespace

NTSTATUS ForwardAndWait(DEVICE_EXTENSION* filter, PIRP irp)
{
    KEVENT done;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, MouFilter_Complete, &done, TRUE, TRUE, TRUE);
    NTSTATUS status = IoCallDriver(filter->TopOfStack, irp);
    if (status == STATUS_PENDING) {
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, nullptr);
        status = irp->IoStatus.Status;
    }
    return status;
}

extern "C" NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING)
{
    InstallKernelPlatform();
    ResetDriverState();
    InitializeEventQueue();
    g_deviceFake = nullptr;

    for (ULONG major = 0; major <= IRP_MJ_MAXIMUM_FUNCTION; ++major)
        driver->MajorFunction[major] = MouFilter_DispatchPassThrough;
    driver->MajorFunction[IRP_MJ_CREATE] = MouFilter_CreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = MouFilter_CreateClose;
    driver->MajorFunction[IRP_MJ_PNP] = MouFilter_PnP;
    driver->MajorFunction[IRP_MJ_POWER] = MouFilter_Power;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = MouFilter_InternIoCtl;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = MouFilter_DeviceIoCtl;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
    driver->DriverUnload = MouFilter_Unload;
    driver->DriverExtension->AddDevice = MouFilter_AddDevice;
    return STATUS_SUCCESS;
}

VOID MouFilter_Unload(PDRIVER_OBJECT)
{
    CancelIoctl(nullptr);
    PDEVICE_OBJECT control = ForgetControlDevice();
    const ULONG freed = FreeQueuedEvents();
    if (control)
        IoDeleteDevice(control);
    DbgPrint("vexonusb: unloaded, %lu queued events freed\n", freed);
}
