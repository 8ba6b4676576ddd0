// Plug and Play and power: the filter device joins each mouse stack at
// AddDevice, announces the mouse at start and leaves at removal; the control
// device is made once and stays until unload.
#include "filter_device.h"

namespace {

const GUID& AsGuid(const INTERFACE_GUID& guid)
{
    static_assert(sizeof(GUID) == sizeof(INTERFACE_GUID), "GUID layout");
    return *reinterpret_cast<const GUID*>(&guid);
}

// The VEXON_GUID interface, enabled for as long as the device exists.
void RegisterVexonInterface(PDEVICE_OBJECT pdo)
{
    UNICODE_STRING name;
    if (!NT_SUCCESS(IoRegisterDeviceInterface(pdo, &AsGuid(VEXON_GUID), nullptr, &name)))
        return;
    IoSetDeviceInterfaceState(&name, TRUE);
    RtlFreeUnicodeString(&name);
}

// "\DosDevices\VEXON0", made at the first AddDevice. Without it the filter
// still works, but no program reaches the driver and events are dropped.
void CreateControlDeviceOnce(PDRIVER_OBJECT driver)
{
    if (g_deviceFake)
        return;
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, VEXON_CONTROL_DEVICE_KERNEL_NAME);
    PDEVICE_OBJECT control = nullptr;
    if (!NT_SUCCESS(IoCreateDevice(driver, sizeof(DEVICE_EXTENSION), &name, FILE_DEVICE_UNKNOWN,
                                   FILE_DEVICE_SECURE_OPEN, FALSE, &control)))
        return;
    RtlZeroMemory(control->DeviceExtension, sizeof(DEVICE_EXTENSION));
    control->Flags &= ~DO_DEVICE_INITIALIZING;
    g_deviceFake = control;
}

// The filter takes on the lower device's I/O and power behaviour.
void CopyStackTraits(PDEVICE_OBJECT filter, PDEVICE_OBJECT lower)
{
    filter->Flags |= lower->Flags &
                     (DO_BUFFERED_IO | DO_DIRECT_IO | DO_POWER_PAGABLE | DO_POWER_INRUSH);
    filter->DeviceType = lower->DeviceType;
    filter->Characteristics = lower->Characteristics;
    filter->Flags &= ~DO_DEVICE_INITIALIZING;
}

NTSTATUS StartDevice(DEVICE_EXTENSION* filter, PIRP irp)
{
    const NTSTATUS status = ForwardAndWait(filter, irp);
    if (NT_SUCCESS(status) && NT_SUCCESS(irp->IoStatus.Status)) {
        filter->Started = TRUE;
        filter->SurpriseRemoved = FALSE;
        filter->Removed = FALSE;
    }
    CompleteRequest(irp, status, 0);
    if (NT_SUCCESS(status) && filter->InterfaceName.Buffer)
        IoSetDeviceInterfaceState(&filter->InterfaceName, TRUE);
    return status;
}

NTSTATUS RemoveDevice(DEVICE_EXTENSION* filter, PIRP irp)
{
    if (filter->InterfaceName.Buffer) {
        IoSetDeviceInterfaceState(&filter->InterfaceName, FALSE);
        RtlFreeUnicodeString(&filter->InterfaceName);
    }
    filter->Removed = TRUE;
    PassDown(filter, irp);
    IoDetachDevice(filter->TopOfStack);
    IoDeleteDevice(filter->Self);
    return STATUS_SUCCESS;
}

}  // namespace

NTSTATUS MouFilter_AddDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT pdo)
{
    RegisterVexonInterface(pdo);
    PDEVICE_OBJECT device = nullptr;
    const NTSTATUS status = IoCreateDevice(driver, sizeof(DEVICE_EXTENSION), nullptr,
                                           FILE_DEVICE_MOUSE, 0, FALSE, &device);
    CreateControlDeviceOnce(driver);
    if (!NT_SUCCESS(status))
        return status;

    DEVICE_EXTENSION* filter = Extension(device);
    RtlZeroMemory(filter, sizeof(*filter));
    if (!NT_SUCCESS(IoRegisterDeviceInterface(pdo, &AsGuid(GUID_AUTOLAUNCH_NOTIFY), nullptr,
                                              &filter->InterfaceName)))
        RtlZeroMemory(&filter->InterfaceName, sizeof(filter->InterfaceName));
    filter->TopOfStack = IoAttachDeviceToDeviceStack(device, pdo);
    if (!filter->TopOfStack) {
        RtlFreeUnicodeString(&filter->InterfaceName);
        IoDeleteDevice(device);
        return STATUS_DEVICE_NOT_CONNECTED;
    }
    filter->Self = device;
    filter->Pdo = pdo;
    filter->DeviceState = PowerDeviceD0;
    CopyStackTraits(device, filter->TopOfStack);

    LoadConfiguration();
    return status;
}

NTSTATUS MouFilter_PnP(PDEVICE_OBJECT device, PIRP irp)
{
    if (IsControlDevice(device))
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    DEVICE_EXTENSION* filter = Extension(device);
    switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
    case IRP_MN_START_DEVICE:
        return StartDevice(filter, irp);
    case IRP_MN_SURPRISE_REMOVAL:
        filter->SurpriseRemoved = TRUE;
        return PassDown(filter, irp);
    case IRP_MN_REMOVE_DEVICE:
        return RemoveDevice(filter, irp);
    default:
        return PassDown(filter, irp);
    }
}

NTSTATUS MouFilter_Power(PDEVICE_OBJECT device, PIRP irp)
{
    if (IsControlDevice(device))
        return CompleteRequest(irp, STATUS_SUCCESS, 0);
    DEVICE_EXTENSION* filter = Extension(device);
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->MinorFunction == IRP_MN_SET_POWER &&
        stack->Parameters.Power.Type == DevicePowerState)
        filter->DeviceState = stack->Parameters.Power.State.DeviceState;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(filter->TopOfStack, irp);
}
