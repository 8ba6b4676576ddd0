// Removing the mouse and stopping the driver (DIF_REMOVE, then the service
// stop that reaches the driver's unload routine) with a read held or events
// queued, and starting it again. The program installs and removes the driver
// itself; the driver's unload report arrives through Wine's debug channel
// in the session log (the test runs with WINEDEBUG=-all,warn+debugstr).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device_setup.h"
#include "driver_client.h"
#include "rig_client.h"

namespace {

class Unload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InstallFilterDevice(), ""); }
    void TearDown() override
    {
        if (ControlDeviceOpens()) {
            EXPECT_EQ(RemoveFilterDevice(), "");
        }
    }

    // Queues events for SLOT_CONFIG: each tray block turns the meter over.
    static void QueueEvents(HANDLE device, int count)
    {
        ASSERT_EQ(Register(device, SLOT_CONFIG, 0x9001), 0u);
        for (int i = 0; i < count; ++i) {
            CONFIG_BLOCK block = DefaultBlock();
            block.OFASensitivityViewable = i % 2 == 0 ? 0 : 1;
            ASSERT_EQ(SendConfigBlock(device, IOCTL_MOUFILTER_TRAY_UPDATE, &block), 0u);
        }
    }
};

// The session's log, where the services' debug output goes.
std::string SessionLog()
{
    const char* runDir = getenv("VEXON_WINE_RUNDIR");
    if (!runDir)
        return "";
    std::string path = std::string("Z:") + runDir + "/session.log";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ifstream log(path, std::ios::binary);
    std::ostringstream text;
    text << log.rdbuf();
    return text.str();
}

// The driver's last unload report, "vexonusb: unloaded, N queued events freed".
std::string LastUnloadReport()
{
    const std::string log = SessionLog();
    const size_t at = log.rfind("vexonusb: unloaded");
    if (at == std::string::npos)
        return "(no unload report in the session log)";
    return log.substr(at, log.find('\n', at) - at);
}

TEST_F(Unload, HeldReadEndsCancelledAndTheDriverStartsAgain)
{
    Handle reader(OpenMouseDriver(true));
    ASSERT_TRUE(reader.valid());
    EventRead held(reader.get());
    ASSERT_TRUE(held.Pending());
    ASSERT_EQ(InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).size(), 1u);

    ASSERT_EQ(RemoveFilterDevice(), "");
    EXPECT_EQ(held.Wait().Error, DWORD(ERROR_OPERATION_ABORTED));
    EXPECT_TRUE(InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).empty()) << "disabled at removal";
    EXPECT_FALSE(ControlDeviceOpens());
    reader.Close();

    // Started again: a fresh control device, nothing left over.
    ASSERT_EQ(InstallFilterDevice(), "");
    Handle device(OpenMouseDriver(false));
    Handle again(OpenMouseDriver(true));
    ASSERT_TRUE(device.valid());
    EXPECT_EQ(WordRequest(device.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0), 0u);
    EventRead next(again.get());
    EXPECT_TRUE(next.Pending());
    QueueEvents(device.get(), 1);
    EXPECT_EQ(next.Wait().Error, 0u);
}

TEST_F(Unload, QueuedEventsAreFreed)
{
    {
        Handle device(OpenMouseDriver(false));
        ASSERT_TRUE(device.valid());
        QueueEvents(device.get(), 3);
    }
    ASSERT_EQ(RemoveFilterDevice(), "");
    EXPECT_EQ(LastUnloadReport(), "vexonusb: unloaded, 3 queued events freed");

    ASSERT_EQ(InstallFilterDevice(), "");
    Handle reader(OpenMouseDriver(true));
    EventRead read(reader.get());
    EXPECT_TRUE(read.Pending()) << "an event of the earlier load came back";
}

}  // namespace
