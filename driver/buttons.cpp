#include "buttons.h"

#include "bogus_click.h"
#include "driver_events.h"
#include "sensitivity.h"

namespace {

// The button byte of the previous report as it entered the mapping (after
// the bogus-click filter, before any remapping): the source of edges.
uint8_t g_mapping_old_button;

struct THUMB_STATE {
    uint8_t old_button;      // button byte the gesture saw in the previous report
    uint32_t OFA_mode;       // the wheel was rolled during the current hold
    uint32_t OFA_displayed;  // the meter has been shown during the current hold
};
THUMB_STATE g_thumb;

bool IsAssignedEither(uint32_t word, uint32_t code)
{
    return IsAssigned(word, code) || IsAssigned(word, code | ASSIGN_OFA_COMBINED);
}

// The meter's parameter: both speeds and the two-bar flag.
uint32_t MeterParam(const CONFIG_BLOCK* config)
{
    return MakeOfaParam(config->VexonSpeedX, config->VexonSpeedY,
                        config->XYSensitivityEnabled != 0);
}

bool RunsGesture(int button, uint32_t word, const CONFIG_BLOCK* config)
{
    return button == BUTTON_4 && config->OFASensitivityEnabled &&
           (IsAssigned(word, ASSIGN_OFA_COMBINED) || IsAssigned(word, ASSIGN_OFA));
}

struct MAPPING {
    MOUSE_REPORT* report;
    bool claimed[BUTTON_COUNT];
};

// Moves a held button onto output bit target, unless an earlier button
// already took its own bit.
void MapOnto(MAPPING* mapping, int button, int target)
{
    if (mapping->claimed[button])
        return;
    mapping->report->Buttons = uint8_t((mapping->report->Buttons & ~(1u << button)) | (1u << target));
    mapping->claimed[target] = true;
}

void Hide(MAPPING* mapping, int button)
{
    if (!mapping->claimed[button])
        mapping->report->Buttons &= uint8_t(~(1u << button));
}

bool WasDown(int button)
{
    return g_mapping_old_button & (1u << button);
}

void MapHeldButton(MAPPING* mapping, int button, uint32_t word)
{
    if (IsAssignedEither(word, ASSIGN_LEFT_CLICK))
        MapOnto(mapping, button, BUTTON_LEFT);
    if (IsAssignedEither(word, ASSIGN_RIGHT_CLICK))
        MapOnto(mapping, button, BUTTON_RIGHT);
    if (IsAssignedEither(word, ASSIGN_MIDDLE_CLICK))
        MapOnto(mapping, button, BUTTON_MIDDLE);
    if (IsAssignedEither(word, ASSIGN_MACRO)) {
        Hide(mapping, button);
        if (!WasDown(button))
            Post_Message_To_App(&TRAY_status, MSG_PLAY_MACRO, 0, uint32_t(button));
    }
    if (IsAssigned(word, ASSIGN_KEY_HOLD)) {
        Hide(mapping, button);
        if (!WasDown(button))
            Post_Message_To_App(&TRAY_status, MSG_KEYS_DOWN, 0, uint32_t(button));
    }
    if (IsAssignedEither(word, ASSIGN_DOUBLE_CLICK))
        Hide(mapping, button);
    if (IsAssigned(word, ASSIGN_DISABLED))
        Hide(mapping, button);
    if (IsAssigned(word, ASSIGN_OFA))
        Hide(mapping, button);
}

void MapReleasedButton(MAPPING* mapping, int button, uint32_t word)
{
    if (!IsAssigned(word, ASSIGN_KEY_HOLD))
        return;
    Hide(mapping, button);
    if (WasDown(button))
        Post_Message_To_App(&TRAY_status, MSG_KEYS_UP, 0, uint32_t(button));
}

}  // namespace

void ProcessButtonByte(MOUSE_REPORT* report, CONFIG_BLOCK* config)
{
    FilterBogusClick(report);
    const uint8_t held = report->Buttons;
    // Nothing held now or in the previous report, and the gesture saw
    // nothing either: no mapping or event can follow.
    if ((held | g_mapping_old_button | g_thumb.old_button) == 0)
        return;
    MAPPING mapping = {report, {}};
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const uint32_t word = config->ButtonAssigned[i];
        if (RunsGesture(i, word, config))
            ProcessThumbButton(report, config);
        else if (held & (1u << i))
            MapHeldButton(&mapping, i, word);
        else
            MapReleasedButton(&mapping, i, word);
    }
    if (config->UniversalScrollEnabled == 0)
        report->Buttons &= uint8_t(~REPORT_MIDDLE);
    g_mapping_old_button = held;
}

void ProcessThumbButton(MOUSE_REPORT* report, CONFIG_BLOCK* config)
{
    const uint8_t buttons = report->Buttons;
    if (buttons & REPORT_BUTTON_4) {
        if (config->OFASensitivityEnabled && report->Wheel != 0) {
            g_thumb.OFA_mode = 1;
            UpdateSensitivity(report, config);
            if (config->OFASensitivityViewable) {
                Post_Message_To_App(&OFA_status, WM_APP_MESSAGE, OFA_SHOW, MeterParam(config));
                g_thumb.OFA_displayed = 1;
            }
            report->Wheel = 0;
        }
        report->Buttons &= uint8_t(~REPORT_BUTTON_4);
    } else if (g_thumb.old_button & REPORT_BUTTON_4) {
        if (g_thumb.OFA_displayed) {
            Post_Message_To_App(&OFA_status, WM_APP_MESSAGE, OFA_HIDE, MeterParam(config));
            g_thumb.OFA_displayed = 0;
        }
        if (IsAssigned(config->ButtonAssigned[BUTTON_4], ASSIGN_OFA_COMBINED | ASSIGN_MACRO) &&
            g_thumb.OFA_mode == 0)
            Post_Message_To_App(&TRAY_status, MSG_PLAY_MACRO, 0, BUTTON_4);
        g_thumb.OFA_mode = 0;
    }
    g_thumb.old_button = buttons;
}

void ResetButtonState()
{
    g_mapping_old_button = 0;
    g_thumb = {};
}
