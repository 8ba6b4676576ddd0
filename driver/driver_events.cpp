#include "driver_events.h"

#include "pipeline_platform.h"

APP_STATUS CONFIG_status = {SLOT_CONFIG, 0, 0, 0};
APP_STATUS TRAY_status = {SLOT_TRAY, 0, 0, 0};
APP_STATUS OFA_status = {SLOT_OFA, 0, 0, 0};
APP_STATUS MOUSEWHEEL_status = {SLOT_MOUSEWHEEL, 0, 0, 0};

APP_STATUS* SlotRecord(uint32_t slot)
{
    switch (slot) {
    case SLOT_CONFIG:
        return &CONFIG_status;
    case SLOT_TRAY:
        return &TRAY_status;
    case SLOT_OFA:
        return &OFA_status;
    case SLOT_MOUSEWHEEL:
        return &MOUSEWHEEL_status;
    default:
        return nullptr;
    }
}

// The records are read by the input path, so they change under the
// configuration lock: a packet never sees a window without its flag.
uint32_t RegisterSlot(uint32_t slot, uint32_t window)
{
    APP_STATUS* record = SlotRecord(slot);
    if (!record)
        return DRIVER_REPLY_BAD_SLOT;
    ConfigLock lock;
    record->hWnd = window;
    record->Registered = 1;
    return DRIVER_REPLY_OK;
}

uint32_t UnregisterSlot(uint32_t slot)
{
    APP_STATUS* record = SlotRecord(slot);
    if (!record)
        return DRIVER_REPLY_BAD_SLOT;
    ConfigLock lock;
    record->hWnd = 0;
    record->Registered = 0;
    return DRIVER_REPLY_OK;
}

uint32_t QueryOfaWindow()
{
    ConfigLock lock;
    return OFA_status.Registered ? OFA_status.hWnd : 0;
}

int Post_Message_To_App(APP_STATUS* slot, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (!slot->Registered && message != MSG_SPEED_CHANGED)
        return 0;
    const DRIVER_EVENT event = {slot->Registered ? slot->hWnd : 0, message, wParam & 0xFFFF,
                                lParam};
    return PipelinePlatform().DeliverEvent(event) ? 1 : 0;
}

void ResetSlots()
{
    for (uint32_t slot = 0; slot < SLOT_COUNT; ++slot)
        *SlotRecord(slot) = {slot, 0, 0, 0};
}
