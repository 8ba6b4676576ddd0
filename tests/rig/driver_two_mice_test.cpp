// Two mice of the suite: each gets a filter device of its own, the control
// device is shared, and removing one mouse leaves the other working and the
// control device in place. The program installs the driver with two root
// devices itself.
#include <gtest/gtest.h>

#include <memory>

#include "device_setup.h"
#include "driver_client.h"
#include "rig_client.h"

namespace {

class TwoMice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(InstallFilterDevice(2), "");
        ASSERT_EQ(InstallKernelService(RIG_SERVICE_NAME, RIG_SERVICE_NAME ".sys"), "");
        rig_ = std::make_unique<RigClassDriver>();
        ASSERT_TRUE(rig_->Opened());
    }
    void TearDown() override
    {
        rig_.reset();
        EXPECT_EQ(StopService(RIG_SERVICE_NAME), "");
        EXPECT_EQ(RemoveFilterDevice(), "");
    }

    // A packet through the selected mouse's filter comes out at speed 18.
    bool PacketPasses(uint32_t mouse)
    {
        if (!rig_->Select(mouse).Alive)
            return false;
        rig_->TakePackets();
        rig_->Inject({Packet(0, 7, -7)});
        const std::vector<MOUSE_INPUT_DATA> out = rig_->TakePackets();
        return out.size() == 1 && out[0].LastX == 7 && out[0].LastY == -7;
    }

    std::unique_ptr<RigClassDriver> rig_;
};

TEST_F(TwoMice, RemovingOneLeavesTheOtherAndTheControlDevice)
{
    for (uint32_t mouse = 0; mouse < 2; ++mouse) {
        SCOPED_TRACE(mouse);
        const RIG_CONNECT_RESULT connect = rig_->Connect(0, mouse);
        ASSERT_TRUE(connect.FilterFound);
        ASSERT_TRUE(connect.DataReplaced) << "each filter takes its own connection";
        EXPECT_TRUE(PacketPasses(mouse));
    }
    EXPECT_EQ(InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).size(), 2u);

    ASSERT_EQ(RemoveRootDevice(1), "");
    EXPECT_EQ(InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).size(), 1u);
    const bool firstAlive = rig_->Select(0).Alive;
    const bool secondAlive = rig_->Select(1).Alive;
    ASSERT_NE(firstAlive, secondAlive) << "exactly one filter device went";
    EXPECT_TRUE(PacketPasses(firstAlive ? 0 : 1));

    Handle device(OpenMouseDriver(false));
    ASSERT_TRUE(device.valid()) << "the control device stays";
    EXPECT_EQ(Register(device.get(), SLOT_OFA, 0x4321), 0u);
    EXPECT_EQ(WordRequest(device.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0), 0x4321u);
}

}  // namespace
