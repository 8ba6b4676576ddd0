// A recording platform around the pipeline: the clock is set by the test,
// events and the packets handed to the class driver are collected, and the
// configuration lock is checked for balance.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "bogus_click.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "packet_pipeline.h"
#include "pipe_scenario.h"
#include "pipeline_platform.h"

class PipelineTest : public testing::Test {
protected:
    void SetUp() override
    {
        current_ = this;
        StartDriverFromDefaults(&PLATFORM);
        SetClockMs(1000);
    }

    void TearDown() override { EXPECT_EQ(lockDepth_, 0); }

    static void SetClockMs(uint64_t ms) { current_->clock_ = ms * 10000; }

    static MOUSE_INPUT_DATA Packet(uint16_t flags, int32_t x = 0, int32_t y = 0, int16_t data = 0,
                                   uint16_t unit = 0)
    {
        MOUSE_INPUT_DATA packet = {};
        packet.UnitId = unit;
        packet.ButtonFlags = flags;
        packet.ButtonData = uint16_t(data);
        packet.LastX = x;
        packet.LastY = y;
        return packet;
    }

    // One call of the service callback; returns what reached the class driver.
    std::vector<MOUSE_INPUT_DATA> Run(std::vector<MOUSE_INPUT_DATA> batch)
    {
        delivered_.clear();
        uint32_t consumed = 0;
        ProcessServiceBatch(this, batch.data(), batch.data() + batch.size(), &consumed);
        EXPECT_EQ(consumed, delivered_.size());
        return delivered_;
    }

    // Flags of the packets that reached the class driver, in order.
    std::vector<uint16_t> RunFlags(std::vector<MOUSE_INPUT_DATA> batch)
    {
        std::vector<uint16_t> flags;
        for (const MOUSE_INPUT_DATA& p : Run(std::move(batch)))
            flags.push_back(p.ButtonFlags);
        return flags;
    }

    static void Register(uint32_t slot, uint32_t window) { RegisterSlot(slot, window); }

    std::vector<DRIVER_EVENT> events_;
    std::vector<MOUSE_INPUT_DATA> delivered_;
    std::vector<size_t> chunkSizes_;
    bool controlDevice_ = true;

private:
    static uint64_t InterruptTime() { return current_->clock_; }

    static bool DeliverEvent(const DRIVER_EVENT& event)
    {
        if (!current_->controlDevice_)
            return false;
        current_->events_.push_back(event);
        return true;
    }

    static void CallClassService(void* device, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end,
                                 uint32_t* consumed)
    {
        EXPECT_EQ(device, current_);
        EXPECT_EQ(current_->lockDepth_, 0) << "the class driver is called with the lock held";
        current_->chunkSizes_.push_back(size_t(end - start));
        current_->delivered_.insert(current_->delivered_.end(), start, end);
        *consumed = uint32_t(end - start);
    }

    static void Lock()
    {
        EXPECT_EQ(current_->lockDepth_, 0) << "the configuration lock is not re-entrant";
        ++current_->lockDepth_;
    }
    static void Unlock() { --current_->lockDepth_; }

    static constexpr PIPELINE_PLATFORM PLATFORM = {InterruptTime, DeliverEvent, CallClassService,
                                                   Lock, Unlock};
    static inline PipelineTest* current_ = nullptr;

    uint64_t clock_ = 0;
    int lockDepth_ = 0;
};

inline bool operator==(const DRIVER_EVENT& a, const DRIVER_EVENT& b)
{
    return a.hWnd == b.hWnd && a.Message == b.Message && a.wParam == b.wParam &&
           a.lParam == b.lParam;
}

inline void PrintTo(const DRIVER_EVENT& e, std::ostream* os)
{
    *os << std::hex << "{hwnd 0x" << e.hWnd << " msg 0x" << e.Message << " w 0x" << e.wParam
        << " l 0x" << e.lParam << "}";
}
