// The configuration block: every setting of the mouse suite in one fixed
// 992-byte record, identical in every program, on the wire and in the driver.
//
// Portable code: no Windows headers, no standard library beyond the
// freestanding integer headers, so the kernel driver compiles it too.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Button assignment codes. The low ten bits are action codes; on button 4 the
// flag ASSIGN_OFA_COMBINED may be added to a click, macro or native code.
enum : uint32_t {
    ASSIGN_LEFT_CLICK = 0x001,
    ASSIGN_DOUBLE_CLICK = 0x002,
    ASSIGN_MIDDLE_CLICK = 0x004,
    ASSIGN_MACRO = 0x008,
    ASSIGN_RIGHT_CLICK = 0x010,
    ASSIGN_KEY_HOLD = 0x020,
    ASSIGN_NATIVE = 0x040,
    ASSIGN_OFA = 0x080,
    ASSIGN_DISABLED = 0x100,
    ASSIGN_OFA_COMBINED = 0x200,
};

// A field that no registry key supplied holds this until validation.
constexpr uint32_t CONFIG_NOT_READ = 0xFFFFFFFFu;

constexpr int BUTTON_COUNT = 5;
constexpr int MACRO_MAX_EVENTS = 16;
constexpr int CONFIG_PATH_SIZE = 80;  // bytes, including the terminating NUL

// Button indices: 0 left, 1 right, 2 middle, 3 button 4, 4 button 5.
enum : int {
    BUTTON_LEFT = 0,
    BUTTON_RIGHT = 1,
    BUTTON_MIDDLE = 2,
    BUTTON_4 = 3,
    BUTTON_5 = 4,
};

// One macro event: a virtual-key code, and Flag 0 for key down, 1 for key up.
struct MACRO_EVENT {
    uint32_t Code;
    uint32_t Flag;
};

struct CONFIG_BLOCK {
    uint32_t Result;
    uint32_t OFASensitivityEnabled;
    uint32_t OFASensitivity;
    uint32_t DoubleClickSpeed;
    uint32_t Orientation;
    uint32_t ButtonAssigned[BUTTON_COUNT];
    uint32_t MacroLength[BUTTON_COUNT];
    MACRO_EVENT Macro[BUTTON_COUNT][MACRO_MAX_EVENTS];
    uint32_t ScrollWheelSpeed;
    uint32_t UniversalScrollEnabled;
    uint32_t UniversalScrollSpeed;
    uint32_t PS2Rate;
    uint32_t PS2RateEnabled;
    uint32_t OFASensitivityViewable;
    uint32_t OFAScaleEnabled;
    char ProgramOFA[CONFIG_PATH_SIZE];
    char ProgramTray[CONFIG_PATH_SIZE];
    char VexonPath[CONFIG_PATH_SIZE];
    uint32_t TrayEnabled;
    uint32_t VexonSpeedX;
    uint32_t VexonSpeedY;
    uint32_t Acceleration;
    uint32_t AccelerationEnabled;
    uint32_t XYSensitivityEnabled;
};

static_assert(sizeof(MACRO_EVENT) == 8, "macro event is two words");
static_assert(sizeof(CONFIG_BLOCK) == 992, "the block is 248 words");
static_assert(offsetof(CONFIG_BLOCK, Result) == 0, "layout");
static_assert(offsetof(CONFIG_BLOCK, OFASensitivityEnabled) == 4, "layout");
static_assert(offsetof(CONFIG_BLOCK, OFASensitivity) == 8, "layout");
static_assert(offsetof(CONFIG_BLOCK, DoubleClickSpeed) == 12, "layout");
static_assert(offsetof(CONFIG_BLOCK, Orientation) == 16, "layout");
static_assert(offsetof(CONFIG_BLOCK, ButtonAssigned) == 20, "layout");
static_assert(offsetof(CONFIG_BLOCK, MacroLength) == 40, "layout");
static_assert(offsetof(CONFIG_BLOCK, Macro) == 60, "layout");
static_assert(offsetof(CONFIG_BLOCK, Macro[1][0]) == 60 + 128, "layout");
static_assert(offsetof(CONFIG_BLOCK, Macro[0][1].Flag) == 60 + 8 + 4, "layout");
static_assert(offsetof(CONFIG_BLOCK, ScrollWheelSpeed) == 700, "layout");
static_assert(offsetof(CONFIG_BLOCK, UniversalScrollEnabled) == 704, "layout");
static_assert(offsetof(CONFIG_BLOCK, UniversalScrollSpeed) == 708, "layout");
static_assert(offsetof(CONFIG_BLOCK, PS2Rate) == 712, "layout");
static_assert(offsetof(CONFIG_BLOCK, PS2RateEnabled) == 716, "layout");
static_assert(offsetof(CONFIG_BLOCK, OFASensitivityViewable) == 720, "layout");
static_assert(offsetof(CONFIG_BLOCK, OFAScaleEnabled) == 724, "layout");
static_assert(offsetof(CONFIG_BLOCK, ProgramOFA) == 728, "layout");
static_assert(offsetof(CONFIG_BLOCK, ProgramTray) == 808, "layout");
static_assert(offsetof(CONFIG_BLOCK, VexonPath) == 888, "layout");
static_assert(offsetof(CONFIG_BLOCK, TrayEnabled) == 968, "layout");
static_assert(offsetof(CONFIG_BLOCK, VexonSpeedX) == 972, "layout");
static_assert(offsetof(CONFIG_BLOCK, VexonSpeedY) == 976, "layout");
static_assert(offsetof(CONFIG_BLOCK, Acceleration) == 980, "layout");
static_assert(offsetof(CONFIG_BLOCK, AccelerationEnabled) == 984, "layout");
static_assert(offsetof(CONFIG_BLOCK, XYSensitivityEnabled) == 988, "layout");

// The factory assignment of buttons 1..5: left, right, middle, on-the-fly
// gesture combined with a double click, disabled.
extern const uint32_t BUTTON_ASSIGNMENT_DEFAULTS[BUTTON_COUNT];

// The only way any program tests an assignment. A word carrying
// ASSIGN_OFA_COMBINED never matches a plain code, and -1 matches only -1.
// Inline: the driver tests every button's word on every packet.
inline bool IsAssigned(uint32_t word, uint32_t code)
{
    if (code == CONFIG_NOT_READ && word == CONFIG_NOT_READ)
        return true;
    if ((word & ASSIGN_OFA_COMBINED) && !(code & ASSIGN_OFA_COMBINED))
        return false;
    return (word & code) == code;
}

// Marks every registry-backed field as not read yet. Result, MacroLength and
// Macro are left as they are. Returns 0.
int InvalidateConfig(CONFIG_BLOCK* block);

// Copies source to target (they may be the same block), then repairs every
// out-of-range field of the target. Returns 1 when anything was repaired.
int VerifyConfigAndSetDefaults(CONFIG_BLOCK* target, const CONFIG_BLOCK* source);

// Merges the assignment words and macros of fresh into target, button by
// button: a word that differs is copied, and a macro whose length or events
// differ is copied with its length (events beyond it are left alone). changed
// (when given) is called once per copied word and once per copied macro. A
// fresh macro length above 16 stops the merge at that button, after its word.
// Returns 1 when anything changed, 0 when nothing did, -1 when stopped.
int MergeButtons(CONFIG_BLOCK* target, const CONFIG_BLOCK* fresh, void (*changed)(void* context),
                 void* context);

// Fills a block with zeros: working blocks start from here before loading.
void ClearConfig(CONFIG_BLOCK* block);
