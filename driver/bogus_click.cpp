#include "bogus_click.h"

#include "pipeline_platform.h"

uint32_t G_click_threshold;

namespace {

uint32_t was_click;        // left bit of the previous report, as it arrived
uint32_t ClearButtonFlag;  // the current press is being swallowed
uint64_t OldTime;          // interrupt time of the last timed edge

constexpr uint64_t TICKS_PER_MS = 10000;  // interrupt time counts 100 ns

}  // namespace

uint64_t GetTimeSlice()
{
    const uint64_t now = PipelinePlatform().InterruptTime();
    const uint64_t slice = (now - OldTime) / TICKS_PER_MS;
    OldTime = now;
    return slice;
}

void FilterBogusClick(MOUSE_REPORT* report)
{
    const uint32_t pressed = report->Buttons & REPORT_LEFT;
    if (!ClearButtonFlag && pressed == was_click)
        return;
    // Every press and every release of a press that passed is timed; while a
    // bounce is swallowed nothing is.
    const uint64_t gap = ClearButtonFlag ? 0 : GetTimeSlice();
    if (pressed) {
        if (ClearButtonFlag || uint32_t(gap) <= G_click_threshold) {
            report->Buttons &= ~REPORT_LEFT;
            ClearButtonFlag = 1;
        }
    } else {
        ClearButtonFlag = 0;
    }
    was_click = pressed;
}

void ResetBogusClickState()
{
    was_click = 0;
    ClearButtonFlag = 0;
    OldTime = 0;
}
