// The driver's live configuration and how it changes: the full load from the
// registry, the customizer's whole blocks and the tray's partial blocks, with
// the change events the other programs mirror.
#pragma once

#include "config_block.h"

// The live configuration every pipeline stage reads.
extern CONFIG_BLOCK G_config;

// Merge results.
constexpr int MERGE_UNCHANGED = 0;
constexpr int MERGE_CHANGED = 1;
constexpr int MERGE_BAD_MACRO_LENGTH = -1;

// Copies every field of a validated customizer block that differs into live,
// posting MSG_OFA_ENABLED_CHANGED, MSG_UNIVERSAL_SCROLL_CHANGED and
// MSG_OFA_VISIBLE_CHANGED to SLOT_TRAY, then merges the buttons.
int CheckDiffs(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming);

// Merges the assignments and macros, one MSG_BUTTONS_CHANGED to SLOT_TRAY per
// changed word and per changed macro. A macro length above 16 stops the merge
// at that button (MERGE_BAD_MACRO_LENGTH).
int CheckButtonDiffs(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming);

// Merges the tray's fields (on-the-fly on and visible, universal scrolling,
// buttons and macros), its events going to SLOT_CONFIG.
int TrayUpdateStruct(CONFIG_BLOCK* live, const CONFIG_BLOCK* incoming);

// IOCTL_MOUFILTER_SET_CONFIG: validates a copy of the request's block (its
// Result set to 0) and merges it into G_config under the configuration lock.
int ApplyConfigRequest(const CONFIG_BLOCK* request);

// IOCTL_MOUFILTER_TRAY_UPDATE: merges the tray's block as it is.
int ApplyTrayRequest(const CONFIG_BLOCK* request);

// The end of a full load: validates the block read from the registry into
// G_config as a whole, under the configuration lock. No events.
void InstallLoadedConfig(const CONFIG_BLOCK* loaded);
