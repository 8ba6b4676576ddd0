// The fixture of the tests that talk to the control device: a request
// handle and an overlapped reader handle, and the driver brought to a known
// state before each test.
#pragma once

#include <gtest/gtest.h>

#include "driver_client.h"
#include "rig_client.h"

constexpr DWORD ERROR_OF_BAD_BUFFER_SIZE = ERROR_INVALID_USER_BUFFER;  // STATUS_INVALID_BUFFER_SIZE

// Opens the control device twice, as the tray does (one handle for requests,
// one overlapped for the event reader), and brings the driver to a known
// state: no slot registered, the default configuration, an empty queue.
class ControlDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device_.valid()) << "\\\\.\\VEXON0 does not open";
        ASSERT_TRUE(reader_.valid());
        for (uint32_t slot = 0; slot < SLOT_COUNT; ++slot)
            ASSERT_EQ(Unregister(device_.get(), slot), 0u);
        CONFIG_BLOCK defaults = DefaultBlock();
        ASSERT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &defaults), 0u);
        DrainEvents(reader_.get());
    }

    // One event for SLOT_CONFIG with the given window: the tray's block turns
    // the meter's visibility over. Returns the event the reader must see.
    DRIVER_EVENT PostEvent(uint32_t window)
    {
        EXPECT_EQ(Register(device_.get(), SLOT_CONFIG, window), 0u);
        viewable_ ^= 1;
        CONFIG_BLOCK block = DefaultBlock();
        block.OFASensitivityViewable = viewable_;
        EXPECT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block), 0u);
        return {window, MSG_OFA_VISIBLE_CHANGED, viewable_, 0};
    }

    Handle device_{OpenMouseDriver(false)};
    Handle reader_{OpenMouseDriver(true)};
    uint32_t viewable_ = 1;  // the default
};

inline bool SameEvent(const DRIVER_EVENT& a, const DRIVER_EVENT& b)
{
    return a.hWnd == b.hWnd && a.Message == b.Message && a.wParam == b.wParam &&
           a.lParam == b.lParam;
}

// Events compare as their descriptions, which a failure then shows.
inline std::string Events(const std::vector<DRIVER_EVENT>& events)
{
    return Describe(events);
}

