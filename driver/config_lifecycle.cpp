#include "config_lifecycle.h"

#include "driver_events.h"
#include "pipeline_platform.h"

CONFIG_BLOCK G_config;

namespace {

// Copies a field that differs; true when it did.
bool Merge(uint32_t* live, uint32_t incoming)
{
    if (*live == incoming)
        return false;
    *live = incoming;
    return true;
}

// Copies a field that differs and tells the slot's window its new value.
bool MergeAndNotify(uint32_t* live, uint32_t incoming, APP_STATUS* slot, uint32_t message)
{
    if (!Merge(live, incoming))
        return false;
    Post_Message_To_App(slot, message, incoming, 0);
    return true;
}

void AnnounceButtonChange(void* slot)
{
    Post_Message_To_App(static_cast<APP_STATUS*>(slot), MSG_BUTTONS_CHANGED, 0, 0);
}

// The button merge, each change announced to slot's window.
int MergeButtonsFor(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming, APP_STATUS* slot)
{
    return MergeButtons(live, incoming, AnnounceButtonChange, slot);
}

int Combine(bool fieldsChanged, int buttons)
{
    if (buttons == MERGE_BAD_MACRO_LENGTH)
        return MERGE_BAD_MACRO_LENGTH;
    return fieldsChanged || buttons == MERGE_CHANGED ? MERGE_CHANGED : MERGE_UNCHANGED;
}

}  // namespace

int CheckDiffs(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming)
{
    bool changed = false;
    changed |= MergeAndNotify(&live->OFASensitivityEnabled, incoming->OFASensitivityEnabled,
                              &TRAY_status, MSG_OFA_ENABLED_CHANGED);
    changed |= Merge(&live->OFASensitivity, incoming->OFASensitivity);
    changed |= Merge(&live->VexonSpeedX, incoming->VexonSpeedX);
    changed |= Merge(&live->VexonSpeedY, incoming->VexonSpeedY);
    changed |= Merge(&live->Acceleration, incoming->Acceleration);
    changed |= Merge(&live->DoubleClickSpeed, incoming->DoubleClickSpeed);
    changed |= Merge(&live->Orientation, incoming->Orientation);
    changed |= Merge(&live->ScrollWheelSpeed, incoming->ScrollWheelSpeed);
    changed |= MergeAndNotify(&live->UniversalScrollEnabled, incoming->UniversalScrollEnabled,
                              &TRAY_status, MSG_UNIVERSAL_SCROLL_CHANGED);
    changed |= Merge(&live->UniversalScrollSpeed, incoming->UniversalScrollSpeed);
    changed |= Merge(&live->PS2RateEnabled, incoming->PS2RateEnabled);
    changed |= Merge(&live->PS2Rate, incoming->PS2Rate);
    changed |= MergeAndNotify(&live->OFASensitivityViewable, incoming->OFASensitivityViewable,
                              &TRAY_status, MSG_OFA_VISIBLE_CHANGED);
    changed |= Merge(&live->AccelerationEnabled, incoming->AccelerationEnabled);
    changed |= Merge(&live->XYSensitivityEnabled, incoming->XYSensitivityEnabled);
    return Combine(changed, CheckButtonDiffs(live, incoming));
}

int CheckButtonDiffs(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming)
{
    return MergeButtonsFor(live, incoming, &TRAY_status);
}

int TrayUpdateStruct(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming)
{
    bool changed = false;
    changed |= MergeAndNotify(&live->OFASensitivityEnabled, incoming->OFASensitivityEnabled,
                              &CONFIG_status, MSG_OFA_ENABLED_CHANGED);
    changed |= MergeAndNotify(&live->OFASensitivityViewable, incoming->OFASensitivityViewable,
                              &CONFIG_status, MSG_OFA_VISIBLE_CHANGED);
    changed |= MergeAndNotify(&live->UniversalScrollEnabled, incoming->UniversalScrollEnabled,
                              &CONFIG_status, MSG_UNIVERSAL_SCROLL_CHANGED);
    return Combine(changed, MergeButtonsFor(live, incoming, &CONFIG_status));
}

int ApplyConfigRequest(const CONFIG_BLOCK* request)
{
    CONFIG_BLOCK validated = *request;
    validated.Result = 0;
    VerifyConfigAndSetDefaults(&validated, &validated);
    ConfigLock lock;
    return CheckDiffs(&G_config, &validated);
}

int ApplyTrayRequest(const CONFIG_BLOCK* request)
{
    ConfigLock lock;
    return TrayUpdateStruct(&G_config, request);
}

void InstallLoadedConfig(const CONFIG_BLOCK* loaded)
{
    ConfigLock lock;
    VerifyConfigAndSetDefaults(&G_config, loaded);
}
