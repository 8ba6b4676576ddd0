// Installs the filter driver in a Wine prefix the way the system's Plug and
// Play manager loads it: as the Service of a root device (Wine ignores
// UpperFilters), so that AddDevice and IRP_MN_START_DEVICE really run. Also
// installs the test-only class driver in the same service group, so that
// both run in one winedevice process and the class driver reaches the
// filter's device objects.
#pragma once

#include <string>

// The service group both drivers share.
#define RIG_SERVICE_GROUP "Pointer Port"
#define FILTER_SERVICE_NAME "vexonusb"
// The root devices whose Service the filter is: ROOT\VEXON\0000, 0001, ...
#define ROOT_DEVICE_HARDWARE_ID "Root\\Vexon"
constexpr int MAX_ROOT_DEVICES = 2;

// Each returns an empty string on success, else what failed.

// Registers the kernel service of driverFile (a file already copied into
// system32\drivers), in RIG_SERVICE_GROUP, and starts it.
std::string InstallKernelService(const char* service, const char* driverFile);

// Makes the root devices (those that do not exist yet; one per mouse) with
// the filter as their service, starts the service and waits until
// "\\.\VEXON0" opens.
std::string InstallFilterDevice(int mice = 1);

// DIF_REMOVE on one root device: surprise removal, then removal.
std::string RemoveRootDevice(int index);

// Removes every root device, then stops the filter's service and waits
// until it has stopped (DriverUnload ran).
std::string RemoveFilterDevice();

// Stops a service and waits until it has stopped.
std::string StopService(const char* service);

// Whether the control device can be opened now.
bool ControlDeviceOpens();
