#include "packet_pipeline.h"

#include "bogus_click.h"
#include "buttons.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "pipeline_platform.h"
#include "sensitivity.h"

namespace {

// State of the service-callback path, shared by every filter device.
struct SERVICE_PATH_STATE {
    uint32_t ulPreviousButtonBitmap;        // physical buttons after the previous packet
    uint32_t ulPreviousButtonBitmapSentUp;  // buttons last reported to the class driver
    uint32_t bOFAMode;                      // wheel used during a gesture hold of button 4
};
SERVICE_PATH_STATE g_service;

// State of the transfer-completion path.
struct TRANSFER_PATH_STATE {
    uint32_t nPreviousButtonBitmap;
    uint32_t bOFAMode;
};
TRANSFER_PATH_STATE g_transfer;

struct BUTTON_FLAGS {
    uint8_t bit;
    uint16_t down;
    uint16_t up;
};

const BUTTON_FLAGS BUTTON_FLAG_TABLE[BUTTON_COUNT] = {
    {REPORT_LEFT, MOUSE_LEFT_BUTTON_DOWN, MOUSE_LEFT_BUTTON_UP},
    {REPORT_RIGHT, MOUSE_RIGHT_BUTTON_DOWN, MOUSE_RIGHT_BUTTON_UP},
    {REPORT_MIDDLE, MOUSE_MIDDLE_BUTTON_DOWN, MOUSE_MIDDLE_BUTTON_UP},
    {REPORT_BUTTON_4, MOUSE_BUTTON_4_DOWN, MOUSE_BUTTON_4_UP},
    {REPORT_BUTTON_5, MOUSE_BUTTON_5_DOWN, MOUSE_BUTTON_5_UP},
};

// Injected click kinds: the report bit of the button clicked.
constexpr uint32_t CLICK_NONE = 0;

bool IsDoubleClickWord(uint32_t word)
{
    return IsAssigned(word, ASSIGN_DOUBLE_CLICK) ||
           IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_DOUBLE_CLICK);
}

bool IsGestureWord(uint32_t word)
{
    return IsAssigned(word, ASSIGN_OFA_COMBINED) || IsAssigned(word, ASSIGN_OFA);
}

// The click that follows a release of button 4 combined with a click code.
uint32_t Button4ReleaseClick(uint32_t word)
{
    if (IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_LEFT_CLICK))
        return REPORT_LEFT;
    if (IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_RIGHT_CLICK))
        return REPORT_RIGHT;
    if (IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_MIDDLE_CLICK))
        return REPORT_MIDDLE;
    if (IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_NATIVE))
        return REPORT_BUTTON_4;
    return CLICK_NONE;
}

// The gesture's wheel flag: set when the wheel turns while button 4 is held
// under a gesture assignment, cleared once button 4 is up.
void UpdateOfaMode(uint32_t* ofaMode, uint32_t buttons, int8_t wheel)
{
    const uint32_t word = G_config.ButtonAssigned[BUTTON_4];
    if (G_config.OFASensitivityEnabled && (buttons & REPORT_BUTTON_4) && IsGestureWord(word) &&
        wheel != 0)
        *ofaMode = 1;
    else if (*ofaMode && !(buttons & REPORT_BUTTON_4))
        *ofaMode = 0;
}

// Hides held double-click buttons and reports whether one was just released
// (the scan stops at the first such button).
bool ScanDoubleClickButtons(MOUSE_REPORT* report, uint32_t physical)
{
    if ((physical | g_service.ulPreviousButtonBitmap) == 0)
        return false;  // no button held now or before: nothing to hide or click
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const uint32_t mask = 1u << i;
        if (!IsDoubleClickWord(G_config.ButtonAssigned[i]))
            continue;
        if (physical & mask) {
            // Button 4 under the gesture stays visible to it.
            if (i != BUTTON_4 || G_config.OFASensitivityEnabled == 0)
                report->Buttons &= uint8_t(~mask);
        } else if (!g_service.bOFAMode && (g_service.ulPreviousButtonBitmap & mask)) {
            return true;
        }
    }
    return false;
}

uint32_t ReleaseClickKind(uint32_t physical)
{
    const uint32_t word = G_config.ButtonAssigned[BUTTON_4];
    const bool released = (g_service.ulPreviousButtonBitmap & REPORT_BUTTON_4) &&
                          !(physical & REPORT_BUTTON_4);
    if (!released || !G_config.OFASensitivityEnabled || g_service.bOFAMode)
        return CLICK_NONE;
    return Button4ReleaseClick(word);
}

// Runs one input packet through the pipeline, rewriting it in place, and
// appends it and any injected clicks at cursor. Returns the new cursor.
MOUSE_INPUT_DATA* FilterPacket(MOUSE_INPUT_DATA* packet, MOUSE_INPUT_DATA* cursor)
{
    if (G_config.Orientation == 1)
        packet->ButtonFlags = SwapButtonEvents_W2000(packet->ButtonFlags);

    MOUSE_REPORT report = {uint8_t(g_service.ulPreviousButtonBitmap), 0, 0, 0};
    ConvertMouse2KToReportType(&report, packet);
    const uint32_t physical = report.Buttons;

    const bool doubleClick = ScanDoubleClickButtons(&report, physical);
    const uint32_t clickKind = ReleaseClickKind(physical);
    UpdateOfaMode(&g_service.bOFAMode, physical, report.Wheel);

    const int8_t wheel = report.Wheel;
    GENERIC_REPORT gen;
    ProcessReport(&report, &gen);
    report = {gen.Buttons, gen.X, gen.Y, wheel};
    ProcessButtonByte(&report, &G_config);
    gen.Buttons = report.Buttons;
    gen.X = report.X;
    gen.Y = report.Y;
    gen.Wheel = report.Wheel;

    ConvertGenericTypeToMouse2K(packet, g_service.ulPreviousButtonBitmapSentUp, &gen);
    *cursor++ = *packet;
    if (doubleClick) {
        AddFakeClick_W2000(&cursor, REPORT_LEFT, packet->UnitId);
        AddFakeClick_W2000(&cursor, REPORT_LEFT, packet->UnitId);
    }
    if (clickKind != CLICK_NONE)
        AddFakeClick_W2000(&cursor, clickKind, packet->UnitId);

    g_service.ulPreviousButtonBitmap = physical;
    g_service.ulPreviousButtonBitmapSentUp = gen.Buttons;
    return cursor;
}

uint8_t SwapBits(uint8_t buttons, uint8_t a, uint8_t b)
{
    const bool hasA = buttons & a;
    const bool hasB = buttons & b;
    buttons &= uint8_t(~(a | b));
    return uint8_t(buttons | (hasA ? b : 0) | (hasB ? a : 0));
}

}  // namespace

void InitializeMouseInputDataStructure(MOUSE_INPUT_DATA* packet, uint16_t unitId)
{
    *packet = MOUSE_INPUT_DATA();
    packet->UnitId = unitId;
}

void AddFakeClick_W2000(MOUSE_INPUT_DATA** cursor, uint32_t kind, uint16_t unitId)
{
    for (const BUTTON_FLAGS& button : BUTTON_FLAG_TABLE) {
        if (button.bit != kind || button.bit == REPORT_BUTTON_5)
            continue;
        InitializeMouseInputDataStructure(*cursor, unitId);
        (*cursor)->ButtonFlags = button.down;
        InitializeMouseInputDataStructure(*cursor + 1, unitId);
        (*cursor + 1)->ButtonFlags = button.up;
        *cursor += 2;
        return;
    }
}

uint16_t SwapButtonEvents_W2000(uint16_t flags)
{
    const uint16_t swapped = MOUSE_LEFT_BUTTON_DOWN | MOUSE_LEFT_BUTTON_UP | MOUSE_RIGHT_BUTTON_DOWN |
                             MOUSE_RIGHT_BUTTON_UP | MOUSE_BUTTON_4_DOWN | MOUSE_BUTTON_4_UP |
                             MOUSE_BUTTON_5_DOWN | MOUSE_BUTTON_5_UP;
    uint16_t result = flags & uint16_t(~swapped);
    const struct {
        uint16_t from;
        uint16_t to;
    } pairs[] = {
        {MOUSE_LEFT_BUTTON_DOWN, MOUSE_RIGHT_BUTTON_DOWN}, {MOUSE_RIGHT_BUTTON_DOWN, MOUSE_LEFT_BUTTON_DOWN},
        {MOUSE_LEFT_BUTTON_UP, MOUSE_RIGHT_BUTTON_UP},     {MOUSE_RIGHT_BUTTON_UP, MOUSE_LEFT_BUTTON_UP},
        {MOUSE_BUTTON_4_DOWN, MOUSE_BUTTON_5_DOWN},        {MOUSE_BUTTON_5_DOWN, MOUSE_BUTTON_4_DOWN},
        {MOUSE_BUTTON_4_UP, MOUSE_BUTTON_5_UP},            {MOUSE_BUTTON_5_UP, MOUSE_BUTTON_4_UP},
    };
    for (const auto& pair : pairs)
        if (flags & pair.from)
            result |= pair.to;
    return result;
}

void ConvertMouse2KToReportType(MOUSE_REPORT* report, const MOUSE_INPUT_DATA* packet)
{
    report->X = int8_t(packet->LastX & 0xFF);
    report->Y = int8_t(packet->LastY & 0xFF);
    report->Wheel = 0;
    if (packet->ButtonFlags & ~MOUSE_WHEEL) {
        uint8_t buttons = report->Buttons;
        for (const BUTTON_FLAGS& button : BUTTON_FLAG_TABLE) {
            if (packet->ButtonFlags & button.up)
                buttons &= uint8_t(~button.bit);
            if (packet->ButtonFlags & button.down)
                buttons |= button.bit;
        }
        report->Buttons = buttons;
    }
    if (packet->ButtonFlags & MOUSE_WHEEL)
        report->Wheel = int8_t(int16_t(packet->ButtonData) / WHEEL_DELTA_PER_NOTCH);
}

void ConvertGenericTypeToMouse2K(MOUSE_INPUT_DATA* packet, uint32_t previousSentButtons,
                                 const GENERIC_REPORT* gen)
{
    packet->LastX = gen->X;
    packet->LastY = gen->Y;
    uint16_t flags = 0;
    if (previousSentButtons != gen->Buttons) {
        for (const BUTTON_FLAGS& button : BUTTON_FLAG_TABLE) {
            const bool wasDown = previousSentButtons & button.bit;
            const bool isDown = gen->Buttons & button.bit;
            if (!wasDown && isDown)
                flags |= button.down;
            else if (wasDown && !isDown)
                flags |= button.up;
        }
    }
    packet->ButtonData = 0;
    if (gen->Wheel != 0) {
        flags |= MOUSE_WHEEL;
        packet->ButtonData = uint16_t(int16_t(gen->Wheel * WHEEL_DELTA_PER_NOTCH));
    }
    packet->ButtonFlags = flags;
}

void ProcessGeneric(GENERIC_REPORT* gen)
{
    Sensitivity_Adjust(gen);
}

void ProcessReport(const MOUSE_REPORT* report, GENERIC_REPORT* gen)
{
    *gen = GENERIC_REPORT();
    gen->Buttons = report->Buttons;
    gen->RawX = report->X;
    gen->RawY = report->Y;
    gen->RawWheel = report->Wheel;
    ProcessGeneric(gen);
}

void ProcessServiceBatch(void* filterDevice, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end,
                         uint32_t* consumed)
{
    // The output area lives on the stack: two mouse stacks may deliver
    // batches at the same time, and each needs an area of its own.
    MOUSE_INPUT_DATA area[OUTPUT_AREA_PACKETS];
    MOUSE_INPUT_DATA* cursor = area;
    const PIPELINE_PLATFORM& platform = PipelinePlatform();
    uint32_t total = 0;
    uint32_t handed = 0;

    platform.LockConfig();
    for (MOUSE_INPUT_DATA* packet = start; packet < end; ++packet) {
        if (area + OUTPUT_AREA_PACKETS - cursor < MAX_OUTPUT_PER_PACKET) {
            // The area is full: hand over what is ready and reuse it.
            platform.UnlockConfig();
            platform.CallClassService(filterDevice, area, cursor, &handed);
            total += handed;
            cursor = area;
            platform.LockConfig();
        }
        cursor = FilterPacket(packet, cursor);
    }
    platform.UnlockConfig();
    handed = 0;
    platform.CallClassService(filterDevice, area, cursor, &handed);
    *consumed = total + handed;
}

void ProcessTransferReport(uint8_t* buffer, uint32_t* length, uint32_t capacity)
{
    ConfigLock lock;
    MOUSE_REPORT converted_packet = {buffer[0], int8_t(buffer[1]), int8_t(buffer[2]),
                                     int8_t(buffer[3])};
    if (G_config.Orientation == 1) {
        converted_packet.Buttons = SwapBits(converted_packet.Buttons, REPORT_LEFT, REPORT_RIGHT);
        converted_packet.Buttons = SwapBits(converted_packet.Buttons, REPORT_BUTTON_4, REPORT_BUTTON_5);
    }
    const uint32_t buttons = converted_packet.Buttons;

    // Button 4 combined with its own click: the click follows the release as
    // two more reports, when the buffer has room for them.
    const uint32_t word = G_config.ButtonAssigned[BUTTON_4];
    const bool released = (g_transfer.nPreviousButtonBitmap & REPORT_BUTTON_4) &&
                          !(buttons & REPORT_BUTTON_4);
    if (IsAssigned(word, ASSIGN_OFA_COMBINED | ASSIGN_NATIVE) && G_config.OFASensitivityEnabled &&
        !g_transfer.bOFAMode && released && capacity >= 3 * sizeof(MOUSE_REPORT)) {
        const uint8_t extra[8] = {uint8_t(converted_packet.Buttons | REPORT_BUTTON_4), 0, 0, 0,
                                  uint8_t(converted_packet.Buttons & ~REPORT_BUTTON_4), 0, 0, 0};
        for (int i = 0; i < 8; ++i)
            buffer[4 + i] = extra[i];
        *length = 3 * sizeof(MOUSE_REPORT);
    }
    UpdateOfaMode(&g_transfer.bOFAMode, buttons, converted_packet.Wheel);
    g_transfer.nPreviousButtonBitmap = buttons;

    GENERIC_REPORT gen;
    ProcessReport(&converted_packet, &gen);
    buffer[0] = gen.Buttons;
    buffer[1] = uint8_t(gen.X);
    buffer[2] = uint8_t(gen.Y);
    buffer[3] = uint8_t(converted_packet.Wheel);
}

void ResetDriverState()
{
    g_service = {};
    g_transfer = {};
    ResetSensitivityState();
    ResetButtonState();
    ResetBogusClickState();
    ResetSlots();
    ClearConfig(&G_config);
    G_click_threshold = 0;
}
