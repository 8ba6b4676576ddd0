// The workloads the pipeline is measured with: a fixed driver state and a
// batch of packets, run again and again.
#pragma once

#include <stdint.h>
#include <string.h>

#include <vector>

#include "bogus_click.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "packet_pipeline.h"
#include "pipe_scenario.h"
#include "pipeline_platform.h"

namespace workload {

inline uint64_t g_clock = 0;
inline uint64_t Clock() { return g_clock += 300000; }  // 30 ms a call
inline bool Deliver(const DRIVER_EVENT&) { return true; }
inline void Forward(void*, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end, uint32_t* consumed)
{
    *consumed = uint32_t(end - start);
}
inline void NoLock() {}
inline const PIPELINE_PLATFORM PLATFORM = {Clock, Deliver, Forward, NoLock, NoLock};

enum Kind { MOVEMENT, ACCELERATION, BUTTONS };
constexpr int BATCH = 16;

struct Workload {
    std::vector<MOUSE_INPUT_DATA> pattern;
    std::vector<MOUSE_INPUT_DATA> batch;

    explicit Workload(Kind kind)
    {
        StartDriverFromDefaults(&PLATFORM);
        G_config.VexonSpeedX = 12;
        G_config.VexonSpeedY = 9;
        RegisterSlot(SLOT_TRAY, 1);
        RegisterSlot(SLOT_OFA, 2);
        if (kind == ACCELERATION) {
            G_config.AccelerationEnabled = 1;
            G_config.Acceleration = 9;
        }
        // Buttons: a macro button, a double-click button, key hold, and the
        // button-4 gesture with the wheel, all pressed and released.
        const uint16_t buttonFlags[BATCH] = {
            MOUSE_MIDDLE_BUTTON_DOWN, 0, MOUSE_MIDDLE_BUTTON_UP, MOUSE_BUTTON_5_DOWN,
            MOUSE_BUTTON_5_UP, MOUSE_BUTTON_4_DOWN, MOUSE_WHEEL, MOUSE_WHEEL,
            MOUSE_BUTTON_4_UP, MOUSE_LEFT_BUTTON_DOWN, 0, MOUSE_LEFT_BUTTON_UP,
            MOUSE_RIGHT_BUTTON_DOWN, MOUSE_RIGHT_BUTTON_UP, MOUSE_BUTTON_4_DOWN, MOUSE_BUTTON_4_UP};
        if (kind == BUTTONS) {
            G_config.ButtonAssigned[2] = ASSIGN_MACRO;
            G_config.ButtonAssigned[4] = ASSIGN_KEY_HOLD;
            G_config.ButtonAssigned[1] = ASSIGN_DOUBLE_CLICK;
        }
        for (int i = 0; i < BATCH; ++i) {
            MOUSE_INPUT_DATA p = {};
            p.LastX = (i * 37) % 61 - 30;
            p.LastY = (i * 23) % 41 - 20;
            if (kind == BUTTONS) {
                p.ButtonFlags = buttonFlags[i];
                p.ButtonData = uint16_t(i == 6 ? 120 : -120);
            }
            pattern.push_back(p);
        }
        batch = pattern;
    }

    // One batch; the pipeline rewrites packets in place, so each run starts
    // from the pattern again.
    void Run()
    {
        memcpy(batch.data(), pattern.data(), sizeof(MOUSE_INPUT_DATA) * BATCH);
        uint32_t consumed = 0;
        ProcessServiceBatch(nullptr, batch.data(), batch.data() + BATCH, &consumed);
    }
};

}  // namespace workload
