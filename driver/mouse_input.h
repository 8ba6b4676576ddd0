// The packet records of the input pipeline: the Windows mouse packet
// (MOUSE_INPUT_DATA), the 4-byte report the pipeline works on and the
// scaling stage's working record.
//
// Portable. The kernel shell includes the Windows mouse headers first, and
// their definitions are then used as they are; elsewhere the same layout is
// defined here.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifndef MOUSE_LEFT_BUTTON_DOWN
struct MOUSE_INPUT_DATA {
    uint16_t UnitId;
    uint16_t Flags;
    union {
        uint32_t Buttons;
        struct {
            uint16_t ButtonFlags;
            uint16_t ButtonData;  // signed wheel delta when MOUSE_WHEEL is set
        };
    };
    uint32_t RawButtons;
    int32_t LastX;
    int32_t LastY;
    uint32_t ExtraInformation;
};

#define MOUSE_LEFT_BUTTON_DOWN 0x0001
#define MOUSE_LEFT_BUTTON_UP 0x0002
#define MOUSE_RIGHT_BUTTON_DOWN 0x0004
#define MOUSE_RIGHT_BUTTON_UP 0x0008
#define MOUSE_MIDDLE_BUTTON_DOWN 0x0010
#define MOUSE_MIDDLE_BUTTON_UP 0x0020
#define MOUSE_BUTTON_4_DOWN 0x0040
#define MOUSE_BUTTON_4_UP 0x0080
#define MOUSE_BUTTON_5_DOWN 0x0100
#define MOUSE_BUTTON_5_UP 0x0200
#define MOUSE_WHEEL 0x0400
#endif

static_assert(sizeof(MOUSE_INPUT_DATA) == 24, "the Windows mouse packet is 24 bytes");
static_assert(offsetof(MOUSE_INPUT_DATA, ButtonFlags) == 4, "layout");
static_assert(offsetof(MOUSE_INPUT_DATA, ButtonData) == 6, "layout");
static_assert(offsetof(MOUSE_INPUT_DATA, LastX) == 12, "layout");
static_assert(offsetof(MOUSE_INPUT_DATA, ExtraInformation) == 20, "layout");

// Wheel units per notch.
constexpr int WHEEL_DELTA_PER_NOTCH = 120;

// Button bits of a report: bit 0 left (button 1) ... bit 4 button 5.
enum : uint8_t {
    REPORT_LEFT = 0x01,
    REPORT_RIGHT = 0x02,
    REPORT_MIDDLE = 0x04,
    REPORT_BUTTON_4 = 0x08,
    REPORT_BUTTON_5 = 0x10,
};

// The internal report, which is also the device's own 4-byte USB report.
struct MOUSE_REPORT {
    uint8_t Buttons;
    int8_t X;
    int8_t Y;
    int8_t Wheel;  // notches, positive away from the user
};
static_assert(sizeof(MOUSE_REPORT) == 4, "the report is 4 bytes");

// The scaling stage's working record.
struct GENERIC_REPORT {
    uint8_t Buttons;
    int8_t RawX;
    int8_t RawY;
    int8_t RawWheel;
    int8_t X;      // scaled
    int8_t Y;      // scaled
    int8_t Wheel;  // output
    uint8_t Unused[9];
};
static_assert(sizeof(GENERIC_REPORT) == 16, "the working record is 16 bytes");
