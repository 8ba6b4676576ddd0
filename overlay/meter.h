// The sensitivity meter without the window system: its record, where it
// goes on the screen, its size, and which picture goes where.
#pragma once

#include <stdint.h>

enum : uint32_t {
    OFA_MMSINGLEBAR = 1,  // one bar: one sensitivity for both axes
    OFA_MMDOUBLEBAR = 2,  // two bars: X and Y
};

// Indices into the table of pictures, loaded in this order. Indices 0..18
// are the steps that show a value v at index v.
enum : int {
    OFA_PICTURE_GREEN = 19,   // a step below the current value
    OFA_PICTURE_GREY = 20,    // a step above it
    OFA_PICTURE_LABELX = 21,  // over bar 1 with two bars
    OFA_PICTURE_LABELY = 22,  // over bar 2
    OFA_PICTURE_LABEL0 = 23,  // over the single bar
    OFA_PICTURE_COUNT = 24,
};

constexpr uint32_t OFA_MAX_VALUE = 18;

struct OFA_METER {
    bool showing;
    bool restoreOnHide;  // hide by putting the saved background back
    uint8_t sxLast;      // last accepted X value (the F1 key shows it again)
    uint8_t sx;          // value of bar 1, 0..18
    uint8_t sy;          // value of bar 2, 0..18
    int x, y;            // top-left corner on the screen
    uint32_t refreshMs;  // drawing timer interval
    uint32_t MeterMode;
    int barWidth;       // width of a bar and of every picture
    int segmentHeight;  // height of a step and of every picture
    int marginX, marginY;
    int barGap;
    int levels;
    int width, height;  // current size, set at each show
};

OFA_METER InitialMeter();

// Places the meter near the lower right corner of a W x H screen.
void PlaceMeter(OFA_METER* meter, int screenWidth, int screenHeight);

// Sets width and height for the meter's mode.
void SizeMeter(OFA_METER* meter);

// The widest the meter gets (two bars): what a saved background must hold.
int MaxMeterWidth(const OFA_METER& meter);

// The mode an OFA_SHOW parameter asks for (bit 31: two bars).
uint32_t MeterModeFromParam(uint32_t lParam);

// Takes the X value (byte 0) and the Y value (byte 1) of an OFA_SHOW
// parameter; a value above 18 leaves the previous one.
void AcceptShowValues(OFA_METER* meter, uint32_t lParam);

const char* MeterModeName(uint32_t meterMode);

// The picture of step i on a bar showing value.
int StepPicture(int step, int value);

// One picture at a place on the meter's canvas.
struct METER_DRAW {
    int picture;
    int x, y;
};

// Everything drawn over the background, labels first, then the steps from
// the top (step 18) down.
struct METER_LAYOUT {
    int count;
    METER_DRAW draws[2 + 2 * 19];
};

void LayOutMeter(const OFA_METER& meter, METER_LAYOUT* layout);
