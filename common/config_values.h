// The registry form of the configuration block: which values exist, their
// types, the order the saves write them in, and the binary "ButtonAssigned%d"
// record. Portable: the user-mode registry procedures and the driver's loader
// both build on these tables.
#pragma once

#include "config_block.h"

// Registry value types, numbered as the registry numbers them.
enum : uint32_t {
    CONFIG_VALUE_SZ = 1,
    CONFIG_VALUE_BINARY = 3,
    CONFIG_VALUE_DWORD = 4,
};

// Which save writes a value.
enum : uint32_t {
    SAVE_FULL = 1,
    SAVE_TRAY = 2,
};

struct CONFIG_DWORD_VALUE {
    const char* Name;
    uint32_t Offset;   // of the field in CONFIG_BLOCK
    uint32_t Saves;    // SAVE_* bits; 0 for a value that is only read
};

struct CONFIG_STRING_VALUE {
    const char* Name;
    uint32_t Offset;
};

// Every REG_DWORD value of the block, in the order of the full save (the tray
// save writes its subset in the same order); read-only values come last.
extern const CONFIG_DWORD_VALUE CONFIG_DWORD_VALUES[];
extern const int CONFIG_DWORD_VALUE_COUNT;

// The three path strings, in the order of the full save.
extern const CONFIG_STRING_VALUE CONFIG_STRING_VALUES[];
extern const int CONFIG_STRING_VALUE_COUNT;

// The driver reads this value alone; it is not part of the block.
extern const char CLICK_THRESHOLD_VALUE_NAME[];

// Longest "ButtonAssigned%d" record the suite writes: 5 header bytes and 16
// (Code, Flag) pairs.
constexpr uint32_t BUTTON_VALUE_HEADER = 5;
constexpr uint32_t BUTTON_VALUE_MAX = BUTTON_VALUE_HEADER + 2 * MACRO_MAX_EVENTS;

// Writes "ButtonAssigned<button + 1>" into name (at least 16 bytes).
void FormatButtonValueName(int button, char* name);

// The schema entry of the DWORD field at this offset of the block, or null.
const CONFIG_DWORD_VALUE* FindDwordValue(uint32_t offset);

uint32_t* ConfigDword(CONFIG_BLOCK* block, const CONFIG_DWORD_VALUE& value);
char* ConfigString(CONFIG_BLOCK* block, const CONFIG_STRING_VALUE& value);
const uint32_t* ConfigDword(const CONFIG_BLOCK* block, const CONFIG_DWORD_VALUE& value);
const char* ConfigString(const CONFIG_BLOCK* block, const CONFIG_STRING_VALUE& value);

// Builds the record of one button into out (BUTTON_VALUE_MAX bytes) and
// returns its length. When storedHeader is given, its five bytes are kept in
// place of the block's assignment (the macro save). A MacroLength above 16 is
// written as 16 events.
uint32_t EncodeButtonValue(const CONFIG_BLOCK* block, int button,
                           const uint8_t* storedHeader, uint8_t* out);

// Applies a stored record to one button. A record shorter than five bytes is
// ignored (returns false). Otherwise the assignment is replaced and the
// events are rebuilt from the complete (Code, Flag) pairs, at most 16; a lone
// trailing byte and anything past the sixteenth pair are ignored.
bool DecodeButtonValue(CONFIG_BLOCK* block, int button, const uint8_t* data,
                       uint32_t length);

// Stores a string read from the registry into a path field: at most 79
// characters, always NUL-terminated, the read stopping at an embedded NUL.
void StoreConfigString(char* field, const char* data, uint32_t length);

// Length of a path field's string as it is written: up to its NUL, at most 79.
uint32_t ConfigStringLength(const char* field);

// One value as a save writes it.
struct CONFIG_VALUE {
    const char* Name;
    uint32_t Type;  // CONFIG_VALUE_*
    const uint8_t* Data;
    uint32_t Length;
};

typedef void (*CONFIG_VALUE_SINK)(void* context, const CONFIG_VALUE& value);

// Hands every value of a full save (SAVE_FULL) or a tray save (SAVE_TRAY) to
// sink, in the order the registry receives them.
void ForEachSavedValue(const CONFIG_BLOCK* block, uint32_t save,
                       CONFIG_VALUE_SINK sink, void* context);

// Where the settings live: the user's key under HKEY_CURRENT_USER over the
// machine default under HKEY_USERS. The driver reaches the same keys through
// kernel paths; the user's is "\Registry\User\<SID>" + CONFIG_KERNEL_USER_TAIL.
#define CONFIG_USER_SUBKEY "Software\\Tolvi\\Vexon"
#define CONFIG_MACHINE_SUBKEY ".DEFAULT\\Software\\Tolvi\\Vexon"
#define CONFIG_KERNEL_USER_ROOT "\\Registry\\User\\"
#define CONFIG_KERNEL_MACHINE_PATH "\\Registry\\User\\.DEFAULT\\Software\\Tolvi\\Vexon"
#define CONFIG_KERNEL_USER_TAIL "\\SOFTWARE\\Tolvi\\Vexon"
