// The packet path allocates nothing: every operator new of this program is
// counted while batches run through the pipeline.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "bogus_click.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "packet_pipeline.h"
#include "pipe_scenario.h"
#include "pipeline_platform.h"

namespace {

std::atomic<long> g_allocations{0};

uint64_t g_clock = 0;
uint64_t Clock() { return g_clock += 20000; }
bool Deliver(const DRIVER_EVENT&) { return true; }
void Forward(void*, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end, uint32_t* consumed)
{
    *consumed = uint32_t(end - start);
}
void NoLock() {}
const PIPELINE_PLATFORM PLATFORM = {Clock, Deliver, Forward, NoLock, NoLock};

}  // namespace

void* operator new(size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

TEST(PacketPath, AllocatesNothing)
{
    StartDriverFromDefaults(&PLATFORM);
    G_config.AccelerationEnabled = 1;
    G_config.Acceleration = 9;
    G_config.ButtonAssigned[2] = ASSIGN_MACRO;
    RegisterSlot(SLOT_TRAY, 1);
    RegisterSlot(SLOT_OFA, 2);

    MOUSE_INPUT_DATA batch[40] = {};
    const uint16_t flags[] = {MOUSE_BUTTON_4_DOWN, MOUSE_WHEEL, MOUSE_BUTTON_4_UP,
                              MOUSE_LEFT_BUTTON_DOWN, MOUSE_LEFT_BUTTON_UP,
                              MOUSE_MIDDLE_BUTTON_DOWN, MOUSE_MIDDLE_BUTTON_UP, 0};
    const long before = g_allocations;
    for (int round = 0; round < 100; ++round) {
        for (int i = 0; i < 40; ++i) {
            batch[i] = MOUSE_INPUT_DATA();
            batch[i].ButtonFlags = flags[i % 8];
            batch[i].ButtonData = 120;
            batch[i].LastX = i - 20;
            batch[i].LastY = 20 - i;
        }
        uint32_t consumed = 0;
        ProcessServiceBatch(nullptr, batch, batch + 40, &consumed);
        uint8_t report[12] = {uint8_t(round & 0x1F), 3, 0xFD, 1};
        uint32_t length = 4;
        ProcessTransferReport(report, &length, sizeof(report));
    }
    EXPECT_EQ(g_allocations - before, 0);
}
