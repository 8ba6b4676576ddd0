// The programs' side of the driver protocol: opening the control device,
// sending blocks and slot requests, and the tray's event reader.
#pragma once

#include <windows.h>

#include "config_block.h"
#include "driver_protocol.h"

// Opens "\\.\VEXON0" on the NT family, the Windows 98 driver otherwise.
// overlapped is for the event reader. Returns INVALID_HANDLE_VALUE when the
// device cannot be opened.
HANDLE OpenMouseDriver(bool overlapped);

// Opens another device of the suite (the Windows 98 driver or the PS/2
// driver) the way OpenMouseDriver opens the driver.
HANDLE OpenDriverDevice(const char* path, bool overlapped);

// Sends a whole block (IOCTL_MOUFILTER_SET_CONFIG or _TRAY_UPDATE) after
// setting its Result to 0. Returns the driver's reply, 0 when the call failed.
uint32_t SendConfigBlock(HANDLE device, uint32_t code, CONFIG_BLOCK* block);

// Sends {window, slot} (IOCTL_MOUFILTER_REGISTER, _UNREGISTER, _QUERY_OFA).
// Returns the driver's reply, 0 when the call failed.
uint32_t SendSlotRequest(HANDLE device, uint32_t code, HWND window, uint32_t slot);

// Asked between waits whether the reader must stop.
typedef bool (*READER_STOP)(void* context);

// Waits for the next driver event on an overlapped handle, in slices of one
// second between which it asks stop. Failed or short reads are retried
// (after a slice, so a dead handle does not spin). Returns true with an
// event, false once stop answers true; no read is left pending either way.
bool WaitDriverEvent(HANDLE device, DRIVER_EVENT* event, READER_STOP stop, void* context);

// What the reader does with one event: stores the speeds of
// MSG_SPEED_CHANGED in the user's key, then posts the event to its window.
void DeliverDriverEvent(const DRIVER_EVENT& event);
