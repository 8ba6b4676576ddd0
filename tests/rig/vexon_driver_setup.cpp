// vexon-driver-setup: installs and removes the filter driver in the Wine
// prefix of the running session, as the Service of a root device, and the
// test-only class driver beside it. The .sys files must already be in
// C:\windows\system32\drivers.
#include <stdio.h>
#include <string.h>

#include <string>

#include "device_setup.h"
#include "driver_client.h"
#include "registry_config.h"
#include "rig_client.h"
#include "rig_protocol.h"

namespace {

const char USAGE[] =
    "usage: vexon-driver-setup COMMAND\n"
    "  install        make the root device, start vexonusb, wait for \\\\.\\VEXON0\n"
    "  remove         remove the root device (DIF_REMOVE), then stop vexonusb\n"
    "  install-class  start the test class driver vexonrig in the same service group\n"
    "  stop-class     stop the test class driver\n"
    "  status         show the running driver: its devices, a short exchange, and\n"
    "                 whether its settings are the ones the programs load\n";

// A window number no program uses, for the status exchange.
constexpr uint32_t STATUS_WINDOW = 0x5E7;

// The events of a tray block with the settings the programs load name every
// tray-mirrored setting in which the driver differs from them (and merge the
// programs' value, as the tray does at its start).
std::string Status()
{
    Handle device(OpenMouseDriver(false));
    Handle reader(OpenMouseDriver(true));
    if (!device.valid() || !reader.valid())
        return "the control device \\\\.\\VEXON0 does not open";
    printf("control device \\\\.\\VEXON0: open\n");
    printf("mouse interfaces: VEXON_GUID %zu, GUID_AUTOLAUNCH_NOTIFY %zu\n",
           InterfacePaths(VEXON_GUID).size(), InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).size());
    printf("overlay window (QUERY_OFA): 0x%x\n",
           WordRequest(device.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0));
    printf("REGISTER slot 7: 0x%x\n", Register(device.get(), 7, STATUS_WINDOW));

    CONFIG_BLOCK loaded;
    LoadConfig(&loaded);
    if (Register(device.get(), SLOT_CONFIG, STATUS_WINDOW) != DRIVER_REPLY_OK)
        return "REGISTER SLOT_CONFIG failed";
    DrainEvents(reader.get());
    SendConfigBlock(device.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &loaded);
    const std::vector<DRIVER_EVENT> differences = DrainEvents(reader.get());
    Unregister(device.get(), SLOT_CONFIG);
    printf("the driver's settings against the registry's: %zu differences\n", differences.size());
    for (const DRIVER_EVENT& event : differences)
        printf("  %s\n", Describe(event).c_str());
    printf("  as loaded: OFASensitivityEnabled=%u OFASensitivityViewable=%u "
           "UniversalScrollEnabled=%u\n",
           loaded.OFASensitivityEnabled, loaded.OFASensitivityViewable,
           loaded.UniversalScrollEnabled);
    return "";
}

std::string Run(const char* command)
{
    if (strcmp(command, "install") == 0)
        return InstallFilterDevice();
    if (strcmp(command, "remove") == 0)
        return RemoveFilterDevice();
    if (strcmp(command, "install-class") == 0)
        return InstallKernelService(RIG_SERVICE_NAME, RIG_SERVICE_NAME ".sys");
    if (strcmp(command, "stop-class") == 0)
        return StopService(RIG_SERVICE_NAME);
    if (strcmp(command, "status") == 0)
        return Status();
    return "unknown command";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs(USAGE, stderr);
        return 2;
    }
    const std::string error = Run(argv[1]);
    if (!error.empty()) {
        fprintf(stderr, "vexon-driver-setup %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
