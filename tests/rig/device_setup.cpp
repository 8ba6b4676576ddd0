#include "device_setup.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <stdio.h>

#include "driver_protocol.h"

namespace {

constexpr DWORD DEADLINE_MS = 30000;
constexpr DWORD POLL_MS = 20;

std::string Failure(const char* what, DWORD error = GetLastError())
{
    return std::string(what) + " failed (error " + std::to_string(error) + ")";
}

// Waits until condition() holds, polling; false at the deadline.
template <typename Condition>
bool WaitFor(Condition condition)
{
    const ULONGLONG deadline = GetTickCount64() + DEADLINE_MS;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle) : handle_(handle) {}
    ~ServiceHandle()
    {
        if (handle_)
            CloseServiceHandle(handle_);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE get() const { return handle_; }

private:
    SC_HANDLE handle_;
};

DWORD ServiceState(SC_HANDLE service)
{
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return 0;
    return status.dwCurrentState;
}

std::string StartAndWait(SC_HANDLE service)
{
    if (!StartServiceA(service, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return Failure("StartService");
    if (!WaitFor([&] { return ServiceState(service) == SERVICE_RUNNING; }))
        return "the service did not reach the running state";
    return "";
}

// The service of the given name, created in the shared group when it does
// not exist yet.
SC_HANDLE OpenOrCreateService(SC_HANDLE manager, const char* name, const char* driverFile)
{
    const std::string path = std::string("C:\\windows\\system32\\drivers\\") + driverFile;
    SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS,
                                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, path.c_str(), RIG_SERVICE_GROUP,
                                       nullptr, nullptr, nullptr, nullptr);
    if (service || GetLastError() != ERROR_SERVICE_EXISTS)
        return service;
    return OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
}

std::string RootDeviceId(int index)
{
    char id[32];
    snprintf(id, sizeof(id), "ROOT\\VEXON\\%04d", index);
    return id;
}

// A root device's entry in a device information set; false when the
// device does not exist.
bool OpenRootDevice(HDEVINFO set, int index, SP_DEVINFO_DATA* device)
{
    device->cbSize = sizeof(*device);
    return SetupDiOpenDeviceInfoA(set, RootDeviceId(index).c_str(), nullptr, 0, device);
}

std::string CreateRootDevice(HDEVINFO set, int index)
{
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    if (!SetupDiCreateDeviceInfoA(set, RootDeviceId(index).c_str(), &GUID_DEVCLASS_MOUSE,
                                  "Vexon Marrowfin USB mouse", nullptr, 0, &device))
        return Failure("SetupDiCreateDeviceInfo");
    static const char hardwareIds[] = ROOT_DEVICE_HARDWARE_ID "\0";
    if (!SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(hardwareIds),
                                           sizeof(hardwareIds)))
        return Failure("setting the hardware id");
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
        return Failure("DIF_REGISTERDEVICE");
    static const char service[] = FILTER_SERVICE_NAME;
    if (!SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_SERVICE,
                                           reinterpret_cast<const BYTE*>(service),
                                           sizeof(service)))
        return Failure("setting the device's service");
    return "";
}

std::string EnsureRootDevice(int index)
{
    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_MOUSE, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return Failure("SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device;
    std::string error;
    if (!OpenRootDevice(set, index, &device))
        error = CreateRootDevice(set, index);
    SetupDiDestroyDeviceInfoList(set);
    return error;
}

}  // namespace

bool ControlDeviceOpens()
{
    HANDLE device = CreateFileA(VEXON_CONTROL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(device);
    return true;
}

std::string InstallKernelService(const char* service, const char* driverFile)
{
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.get())
        return Failure("OpenSCManager");
    ServiceHandle handle(OpenOrCreateService(manager.get(), service, driverFile));
    if (!handle.get())
        return Failure("CreateService");
    return StartAndWait(handle.get());
}

std::string InstallFilterDevice(int mice)
{
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.get())
        return Failure("OpenSCManager");
    for (int index = 0; index < mice; ++index) {
        const std::string error = EnsureRootDevice(index);
        if (!error.empty())
            return error;
    }
    std::string error;
    ServiceHandle service(
        OpenOrCreateService(manager.get(), FILTER_SERVICE_NAME, FILTER_SERVICE_NAME ".sys"));
    if (!service.get())
        return Failure("CreateService");
    error = StartAndWait(service.get());
    if (!error.empty())
        return error;
    if (!WaitFor(ControlDeviceOpens))
        return "the control device did not appear";
    return "";
}

std::string RemoveRootDevice(int index)
{
    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_MOUSE, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return Failure("SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device;
    std::string error;
    if (OpenRootDevice(set, index, &device) &&
        !SetupDiCallClassInstaller(DIF_REMOVE, set, &device))
        error = Failure("DIF_REMOVE");
    SetupDiDestroyDeviceInfoList(set);
    return error;
}

std::string RemoveFilterDevice()
{
    for (int index = 0; index < MAX_ROOT_DEVICES; ++index) {
        const std::string error = RemoveRootDevice(index);
        if (!error.empty())
            return error;
    }
    return StopService(FILTER_SERVICE_NAME);
}

std::string StopService(const char* name)
{
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.get())
        return Failure("OpenSCManager");
    ServiceHandle service(OpenServiceA(manager.get(), name, SERVICE_ALL_ACCESS));
    if (!service.get())
        return Failure("OpenService");
    SERVICE_STATUS status = {};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status) &&
        GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return Failure("stopping the service");
    if (!WaitFor([&] { return ServiceState(service.get()) == SERVICE_STOPPED; }))
        return "the service did not stop";
    return "";
}
