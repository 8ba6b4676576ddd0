#include "config_block.h"

const uint32_t BUTTON_ASSIGNMENT_DEFAULTS[BUTTON_COUNT] = {
    ASSIGN_LEFT_CLICK, ASSIGN_RIGHT_CLICK, ASSIGN_MIDDLE_CLICK,
    ASSIGN_OFA_COMBINED | ASSIGN_DOUBLE_CLICK, ASSIGN_DISABLED,
};

int InvalidateConfig(CONFIG_BLOCK* block)
{
    uint32_t* const fields[] = {
        &block->OFASensitivityEnabled, &block->OFASensitivity,
        &block->DoubleClickSpeed, &block->Orientation,
        &block->ButtonAssigned[0], &block->ButtonAssigned[1],
        &block->ButtonAssigned[2], &block->ButtonAssigned[3],
        &block->ButtonAssigned[4], &block->ScrollWheelSpeed,
        &block->UniversalScrollEnabled, &block->UniversalScrollSpeed,
        &block->PS2Rate, &block->PS2RateEnabled,
        &block->OFASensitivityViewable, &block->OFAScaleEnabled,
        &block->TrayEnabled, &block->VexonSpeedX, &block->VexonSpeedY,
        &block->Acceleration, &block->AccelerationEnabled,
        &block->XYSensitivityEnabled,
    };
    for (uint32_t* field : fields)
        *field = CONFIG_NOT_READ;
    block->ProgramOFA[0] = 0;
    block->ProgramTray[0] = 0;
    block->VexonPath[0] = 0;
    return 0;
}

namespace {

// Each Repair* helper stores the repair value when the field is illegal and
// reports whether it did.
bool RepairAbove(uint32_t* field, uint32_t highest, uint32_t repair)
{
    if (*field <= highest)
        return false;
    *field = repair;
    return true;
}

bool RepairSwitch(uint32_t* field, uint32_t repair)
{
    return RepairAbove(field, 1, repair);
}

bool IsLegalPs2Rate(uint32_t rate)
{
    const uint32_t rates[] = {10, 20, 40, 60, 80, 100, 200};
    for (uint32_t legal : rates)
        if (rate == legal)
            return true;
    return false;
}

bool IsKnownAssignment(uint32_t word)
{
    const uint32_t codes[] = {
        ASSIGN_LEFT_CLICK, ASSIGN_DOUBLE_CLICK, ASSIGN_MIDDLE_CLICK,
        ASSIGN_MACRO, ASSIGN_RIGHT_CLICK, ASSIGN_NATIVE, ASSIGN_KEY_HOLD,
        ASSIGN_OFA_COMBINED, ASSIGN_DISABLED, ASSIGN_OFA,
    };
    if (IsAssigned(word, CONFIG_NOT_READ))
        return false;
    for (uint32_t code : codes)
        if (IsAssigned(word, code))
            return true;
    return false;
}

}  // namespace

int VerifyConfigAndSetDefaults(CONFIG_BLOCK* target, const CONFIG_BLOCK* source)
{
    if (target != source)
        __builtin_memcpy(target, source, sizeof(CONFIG_BLOCK));

    CONFIG_BLOCK* c = target;
    bool changed = false;
    changed |= RepairSwitch(&c->OFASensitivityEnabled, 1);
    changed |= RepairAbove(&c->OFASensitivity, 6, 5);
    changed |= RepairAbove(&c->VexonSpeedX, 18, 18);
    changed |= RepairAbove(&c->VexonSpeedY, 18, 18);
    changed |= RepairAbove(&c->Acceleration, 18, 0);
    changed |= RepairAbove(&c->DoubleClickSpeed, 6, 3);
    changed |= RepairSwitch(&c->Orientation, 0);
    changed |= RepairAbove(&c->ScrollWheelSpeed, 6, 3);
    changed |= RepairSwitch(&c->UniversalScrollEnabled, 1);
    changed |= RepairAbove(&c->UniversalScrollSpeed, 6, 3);
    if (!IsLegalPs2Rate(c->PS2Rate)) {
        c->PS2Rate = 200;
        changed = true;
    }
    changed |= RepairSwitch(&c->PS2RateEnabled, 1);
    changed |= RepairSwitch(&c->OFASensitivityViewable, 1);
    changed |= RepairSwitch(&c->AccelerationEnabled, 0);
    changed |= RepairSwitch(&c->XYSensitivityEnabled, 0);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (!IsKnownAssignment(c->ButtonAssigned[i])) {
            c->ButtonAssigned[i] = BUTTON_ASSIGNMENT_DEFAULTS[i];
            changed = true;
        }
    }
    changed |= RepairSwitch(&c->OFAScaleEnabled, 0);
    changed |= RepairSwitch(&c->TrayEnabled, 1);
    return changed ? 1 : 0;
}

namespace {

bool SameEvents(const MACRO_EVENT* a, const MACRO_EVENT* b, uint32_t count)
{
    for (uint32_t k = 0; k < count; ++k)
        if (a[k].Code != b[k].Code || a[k].Flag != b[k].Flag)
            return false;
    return true;
}

}  // namespace

int MergeButtons(CONFIG_BLOCK* target, const CONFIG_BLOCK* fresh, void (*changed)(void* context),
                 void* context)
{
    bool any = false;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (target->ButtonAssigned[i] != fresh->ButtonAssigned[i]) {
            target->ButtonAssigned[i] = fresh->ButtonAssigned[i];
            any = true;
            if (changed)
                changed(context);
        }
        const uint32_t events = fresh->MacroLength[i];
        if (events > MACRO_MAX_EVENTS)
            return -1;
        if (target->MacroLength[i] == events && SameEvents(target->Macro[i], fresh->Macro[i], events))
            continue;
        for (uint32_t k = 0; k < events; ++k)
            target->Macro[i][k] = fresh->Macro[i][k];
        target->MacroLength[i] = events;
        any = true;
        if (changed)
            changed(context);
    }
    return any ? 1 : 0;
}

void ClearConfig(CONFIG_BLOCK* block)
{
    __builtin_memset(block, 0, sizeof(CONFIG_BLOCK));
}
