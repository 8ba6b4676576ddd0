// The rules of the driver's registry load, apart from the kernel's registry
// calls: which values one settings key supplies and how they land in a
// working block, where the click threshold comes from, and which sub-key of
// the users' root is the user's hive. The kernel shell supplies the reads.
#pragma once

#include <stdint.h>

#include "config_block.h"

// One open settings key.
struct CONFIG_KEY_READER {
    void* Context;
    // 0 with the value's DWORD, or -1 when it cannot be read (out unchanged).
    int (*ReadDword)(void* context, const char* name, uint32_t* out);
    // 0 with the value's data and its length, or -1 when it cannot be read
    // or holds more than size bytes.
    int (*ReadBinary)(void* context, const char* name, uint8_t* buffer, uint32_t size,
                      uint32_t* length);
};

// The buffer a value is read into.
constexpr uint32_t REGISTRY_VALUE_BUFFER = 256;

// Reads every DWORD setting and the five "ButtonAssigned%d" records of one
// key into block. A value that is missing or unreadable leaves its field as
// it is; so does a button record shorter than five bytes.
void ReadConfigValues(const CONFIG_KEY_READER& key, CONFIG_BLOCK* block);

// "ClickThreshold" read from the machine default key, then from the user's
// key (null: the key cannot be opened). The value of the last key that has
// one wins; 0, or no value at all, gives DEFAULT_CLICK_THRESHOLD_MS.
uint32_t ReadClickThreshold(const CONFIG_KEY_READER* machine, const CONFIG_KEY_READER* user);

// The DWORD a value's data holds: its first four bytes, whatever the value's
// type. False when the data is shorter than that.
bool ValueDataDword(const uint8_t* data, uint32_t length, uint32_t* out);

// Whether a sub-key name of "\Registry\User" is a user's hive: it contains
// "S-" and not "Classes" (each user also has a hive of class registrations,
// named after the same security identifier). name is NUL-terminated UTF-16.
bool IsUserHiveName(const uint16_t* name);
