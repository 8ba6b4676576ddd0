// The shared load and save procedures of the configuration block on the
// Win32 registry; the customizer and the tray use the same code.
#pragma once

#include <windows.h>

#include "config_block.h"

// Reads every value of the schema that exists into block; absent values leave
// their fields alone. Opens the key with RegCreateKeyExA, so reading also
// creates an empty key. Returns 0, or -1 when the key cannot be opened.
int ReadConfigKey(HKEY root, const char* subKey, CONFIG_BLOCK* block);

// The full save: every stored value, in the schema's order. Returns 0, or -1
// when the key cannot be opened or created; single writes are not checked.
int WriteConfigKey(HKEY root, const char* subKey, const CONFIG_BLOCK* block);

// The tray save: the four switches of the tray's menu and the button records.
int WriteTrayConfigKey(HKEY root, const char* subKey, const CONFIG_BLOCK* block);

// Rewrites the five button records for a macro change, keeping the stored
// assignment bytes of every button that already has a record.
int WriteMacroValues(HKEY root, const char* subKey, const CONFIG_BLOCK* block);

// Loads the settings as every program does: a zeroed, invalidated working
// block, the machine default, then the user's key over it, validated into
// live. Returns what the validation returns (1 when anything was repaired).
int LoadConfig(CONFIG_BLOCK* live);

// Stores the two speeds the driver reports after an on-the-fly change.
void WriteSpeedValues(DWORD speedX, DWORD speedY);
