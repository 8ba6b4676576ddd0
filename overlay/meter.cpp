#include "meter.h"

OFA_METER InitialMeter()
{
    OFA_METER meter = {};
    meter.showing = false;
    meter.restoreOnHide = false;
    meter.sxLast = 5;
    meter.sx = 5;
    meter.sy = 3;
    meter.x = 0;
    meter.y = 0;
    meter.refreshMs = 2;
    meter.MeterMode = OFA_MMSINGLEBAR;
    meter.barWidth = 39;
    meter.segmentHeight = 16;
    meter.marginX = 2;
    meter.marginY = 2;
    meter.barGap = 0;
    meter.levels = 19;
    meter.width = 82;
    meter.height = 326;
    return meter;
}

void PlaceMeter(OFA_METER* meter, int screenWidth, int screenHeight)
{
    // Never closer than 16 pixels to the top or left edge, so on a small
    // screen the meter stays whole on its visible side.
    constexpr int MIN_EDGE = 16;
    meter->x = screenWidth - 2 * meter->barWidth - screenWidth / 16;
    meter->y = screenHeight - 20 * meter->segmentHeight - screenHeight / 16;
    if (meter->x < MIN_EDGE)
        meter->x = MIN_EDGE;
    if (meter->y < MIN_EDGE)
        meter->y = MIN_EDGE;
}

int MaxMeterWidth(const OFA_METER& meter)
{
    return 2 * (meter.barWidth + meter.marginX) + meter.barGap;
}

void SizeMeter(OFA_METER* meter)
{
    meter->width = meter->MeterMode == OFA_MMDOUBLEBAR ? MaxMeterWidth(*meter)
                                                       : meter->barWidth + 2 * meter->marginX;
    // The label row, the 19 steps, and margins above, between and below.
    meter->height = 20 * meter->segmentHeight + 3 * meter->marginY;
}

uint32_t MeterModeFromParam(uint32_t lParam)
{
    return (lParam & 0x80000000u) ? OFA_MMDOUBLEBAR : OFA_MMSINGLEBAR;
}

void AcceptShowValues(OFA_METER* meter, uint32_t lParam)
{
    const uint32_t x = lParam & 0xFF;
    const uint32_t y = (lParam >> 8) & 0xFF;
    if (x <= OFA_MAX_VALUE) {
        meter->sx = static_cast<uint8_t>(x);
        meter->sxLast = static_cast<uint8_t>(x);
    }
    if (y <= OFA_MAX_VALUE)
        meter->sy = static_cast<uint8_t>(y);
}

const char* MeterModeName(uint32_t meterMode)
{
    return meterMode == OFA_MMDOUBLEBAR ? "OFA_MMDOUBLEBAR" : "OFA_MMSINGLEBAR";
}

int StepPicture(int step, int value)
{
    if (step == value)
        return step;
    return step < value ? OFA_PICTURE_GREEN : OFA_PICTURE_GREY;
}

namespace {

void Add(METER_LAYOUT* layout, int picture, int x, int y)
{
    layout->draws[layout->count++] = {picture, x, y};
}

void LayOutBar(const OFA_METER& meter, int left, int value, METER_LAYOUT* layout)
{
    for (int step = meter.levels - 1; step >= 0; --step) {
        const int top = 2 * meter.marginY + meter.segmentHeight +
                        (meter.levels - 1 - step) * meter.segmentHeight;
        Add(layout, StepPicture(step, value), left, top);
    }
}

}  // namespace

void LayOutMeter(const OFA_METER& meter, METER_LAYOUT* layout)
{
    layout->count = 0;
    const int secondBar = meter.marginX + meter.barWidth + meter.barGap;
    if (meter.MeterMode == OFA_MMDOUBLEBAR) {
        Add(layout, OFA_PICTURE_LABELX, meter.marginX, meter.marginY);
        Add(layout, OFA_PICTURE_LABELY, secondBar, meter.marginY);
    } else {
        Add(layout, OFA_PICTURE_LABEL0, meter.marginX, meter.marginY);
    }
    LayOutBar(meter, meter.marginX, meter.sx, layout);
    if (meter.MeterMode == OFA_MMDOUBLEBAR)
        LayOutBar(meter, secondBar, meter.sy, layout);
}
