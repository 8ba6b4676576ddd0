// The registration slots and the rules by which driver events are posted.
#pragma once

#include <stdint.h>

#include "driver_protocol.h"

// The four registration records, one per slot.
extern APP_STATUS CONFIG_status;
extern APP_STATUS TRAY_status;
extern APP_STATUS OFA_status;
extern APP_STATUS MOUSEWHEEL_status;

// The record of a slot number, or null outside 0..3.
APP_STATUS* SlotRecord(uint32_t slot);

// IOCTL_MOUFILTER_REGISTER / _UNREGISTER: reply 0, or DRIVER_REPLY_BAD_SLOT
// for a slot outside 0..3 (nothing changes then).
uint32_t RegisterSlot(uint32_t slot, uint32_t window);
uint32_t UnregisterSlot(uint32_t slot);

// IOCTL_MOUFILTER_QUERY_OFA: the overlay's window, or 0.
uint32_t QueryOfaWindow();

// Posts an event to the window registered in slot: dropped (0) when the slot
// has no window, except MSG_SPEED_CHANGED, which then travels with window 0,
// and when there is no control device. wParam keeps its low 16 bits.
// Returns 1 when the event was handed over.
int Post_Message_To_App(APP_STATUS* slot, uint32_t message, uint32_t wParam, uint32_t lParam);

// Forgets every registration (the state at driver load).
void ResetSlots();
