// vexon-driver-setup: installs and removes the filter driver in the Wine
// prefix of the running session, as the Service of a root device, and the
// test-only class driver beside it. The .sys files must already be in
// C:\windows\system32\drivers.
#include <stdio.h>
#include <string.h>

#include <string>

#include "device_setup.h"
#include "rig_protocol.h"

namespace {

const char USAGE[] =
    "usage: vexon-driver-setup COMMAND\n"
    "  install        make the root device, start vexonusb, wait for \\\\.\\VEXON0\n"
    "  remove         remove the root device (DIF_REMOVE), then stop vexonusb\n"
    "  install-class  start the test class driver vexonrig in the same service group\n"
    "  stop-class     stop the test class driver\n";

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
