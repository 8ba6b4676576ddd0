#include "config_values.h"

#define DWORD_VALUE(field, saves) {#field, offsetof(CONFIG_BLOCK, field), saves}

const CONFIG_DWORD_VALUE CONFIG_DWORD_VALUES[] = {
    DWORD_VALUE(OFASensitivityEnabled, SAVE_FULL | SAVE_TRAY),
    DWORD_VALUE(OFASensitivityViewable, SAVE_FULL | SAVE_TRAY),
    DWORD_VALUE(DoubleClickSpeed, SAVE_FULL),
    DWORD_VALUE(VexonSpeedX, SAVE_FULL),
    DWORD_VALUE(VexonSpeedY, SAVE_FULL),
    DWORD_VALUE(Acceleration, SAVE_FULL),
    DWORD_VALUE(ScrollWheelSpeed, SAVE_FULL),
    DWORD_VALUE(UniversalScrollEnabled, SAVE_FULL | SAVE_TRAY),
    DWORD_VALUE(UniversalScrollSpeed, SAVE_FULL),
    DWORD_VALUE(Orientation, SAVE_FULL),
    DWORD_VALUE(PS2RateEnabled, SAVE_FULL),
    DWORD_VALUE(PS2Rate, SAVE_FULL),
    DWORD_VALUE(OFAScaleEnabled, SAVE_FULL),
    DWORD_VALUE(TrayEnabled, SAVE_FULL | SAVE_TRAY),
    DWORD_VALUE(AccelerationEnabled, SAVE_FULL),
    DWORD_VALUE(XYSensitivityEnabled, SAVE_FULL),
    DWORD_VALUE(OFASensitivity, 0),
};
const int CONFIG_DWORD_VALUE_COUNT =
    sizeof(CONFIG_DWORD_VALUES) / sizeof(CONFIG_DWORD_VALUES[0]);

#undef DWORD_VALUE

const CONFIG_STRING_VALUE CONFIG_STRING_VALUES[] = {
    {"ProgramOFA", offsetof(CONFIG_BLOCK, ProgramOFA)},
    {"VexonPath", offsetof(CONFIG_BLOCK, VexonPath)},
    {"ProgramTray", offsetof(CONFIG_BLOCK, ProgramTray)},
};
const int CONFIG_STRING_VALUE_COUNT =
    sizeof(CONFIG_STRING_VALUES) / sizeof(CONFIG_STRING_VALUES[0]);

const char CLICK_THRESHOLD_VALUE_NAME[] = "ClickThreshold";

void FormatButtonValueName(int button, char* name)
{
    const char prefix[] = "ButtonAssigned";
    int n = 0;
    for (; prefix[n]; ++n)
        name[n] = prefix[n];
    name[n++] = static_cast<char>('1' + button);
    name[n] = 0;
}

const CONFIG_DWORD_VALUE* FindDwordValue(uint32_t offset)
{
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        if (CONFIG_DWORD_VALUES[i].Offset == offset)
            return &CONFIG_DWORD_VALUES[i];
    return nullptr;
}

uint32_t* ConfigDword(CONFIG_BLOCK* block, const CONFIG_DWORD_VALUE& value)
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(block) + value.Offset);
}

char* ConfigString(CONFIG_BLOCK* block, const CONFIG_STRING_VALUE& value)
{
    return reinterpret_cast<char*>(block) + value.Offset;
}

const uint32_t* ConfigDword(const CONFIG_BLOCK* block, const CONFIG_DWORD_VALUE& value)
{
    return ConfigDword(const_cast<CONFIG_BLOCK*>(block), value);
}

const char* ConfigString(const CONFIG_BLOCK* block, const CONFIG_STRING_VALUE& value)
{
    return ConfigString(const_cast<CONFIG_BLOCK*>(block), value);
}

uint32_t EncodeButtonValue(const CONFIG_BLOCK* block, int button,
                           const uint8_t* storedHeader, uint8_t* out)
{
    const uint32_t word = block->ButtonAssigned[button];
    if (storedHeader) {
        for (uint32_t i = 0; i < BUTTON_VALUE_HEADER; ++i)
            out[i] = storedHeader[i];
    } else {
        out[0] = IsAssigned(word, ASSIGN_MACRO) ? 1 : 0;
        out[1] = static_cast<uint8_t>(word >> 24);
        out[2] = static_cast<uint8_t>(word >> 16);
        out[3] = static_cast<uint8_t>(word >> 8);
        out[4] = static_cast<uint8_t>(word);
    }
    uint32_t events = block->MacroLength[button];
    if (events > MACRO_MAX_EVENTS)
        events = MACRO_MAX_EVENTS;
    uint32_t length = BUTTON_VALUE_HEADER;
    for (uint32_t k = 0; k < events; ++k) {
        out[length++] = static_cast<uint8_t>(block->Macro[button][k].Code);
        out[length++] = static_cast<uint8_t>(block->Macro[button][k].Flag);
    }
    return length;
}

bool DecodeButtonValue(CONFIG_BLOCK* block, int button, const uint8_t* data,
                       uint32_t length)
{
    if (length < BUTTON_VALUE_HEADER)
        return false;
    block->ButtonAssigned[button] = (uint32_t(data[1]) << 24) | (uint32_t(data[2]) << 16) |
                                    (uint32_t(data[3]) << 8) | uint32_t(data[4]);
    uint32_t events = 0;
    for (uint32_t i = BUTTON_VALUE_HEADER; i + 1 < length && events < MACRO_MAX_EVENTS; i += 2) {
        block->Macro[button][events].Code = data[i];
        block->Macro[button][events].Flag = data[i + 1];
        ++events;
    }
    block->MacroLength[button] = events;
    return true;
}

void StoreConfigString(char* field, const char* data, uint32_t length)
{
    uint32_t n = 0;
    while (n < length && n < CONFIG_PATH_SIZE - 1 && data[n])
        ++n;
    for (uint32_t i = 0; i < n; ++i)
        field[i] = data[i];
    field[n] = 0;
}

uint32_t ConfigStringLength(const char* field)
{
    uint32_t n = 0;
    while (n < CONFIG_PATH_SIZE - 1 && field[n])
        ++n;
    return n;
}

void ForEachSavedValue(const CONFIG_BLOCK* block, uint32_t save,
                       CONFIG_VALUE_SINK sink, void* context)
{
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i) {
        const CONFIG_DWORD_VALUE& value = CONFIG_DWORD_VALUES[i];
        if (value.Saves & save) {
            const uint8_t* data = reinterpret_cast<const uint8_t*>(ConfigDword(block, value));
            sink(context, {value.Name, CONFIG_VALUE_DWORD, data, 4});
        }
    }
    if (save & SAVE_FULL) {
        for (int i = 0; i < CONFIG_STRING_VALUE_COUNT; ++i) {
            const char* text = ConfigString(block, CONFIG_STRING_VALUES[i]);
            sink(context, {CONFIG_STRING_VALUES[i].Name, CONFIG_VALUE_SZ,
                           reinterpret_cast<const uint8_t*>(text), ConfigStringLength(text)});
        }
    }
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        char name[16];
        uint8_t record[BUTTON_VALUE_MAX];
        FormatButtonValueName(b, name);
        const uint32_t length = EncodeButtonValue(block, b, nullptr, record);
        sink(context, {name, CONFIG_VALUE_BINARY, record, length});
    }
}
