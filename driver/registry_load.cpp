#include "registry_load.h"

#include "bogus_click.h"
#include "config_values.h"

namespace {

// Whether the NUL-terminated text contains the ASCII word.
bool Contains(const uint16_t* text, const char* word)
{
    for (; *text; ++text) {
        int i = 0;
        while (word[i] && text[i] == uint16_t(uint8_t(word[i])))
            ++i;
        if (!word[i])
            return true;
    }
    return false;
}

void ReadButtonRecords(const CONFIG_KEY_READER& key, CONFIG_BLOCK* block)
{
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        char name[16];
        FormatButtonValueName(b, name);
        uint8_t record[REGISTRY_VALUE_BUFFER];
        uint32_t length = 0;
        if (key.ReadBinary(key.Context, name, record, sizeof(record), &length) == 0)
            DecodeButtonValue(block, b, record, length);
    }
}

}  // namespace

void ReadConfigValues(const CONFIG_KEY_READER& key, CONFIG_BLOCK* block)
{
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i) {
        const CONFIG_DWORD_VALUE& value = CONFIG_DWORD_VALUES[i];
        key.ReadDword(key.Context, value.Name, ConfigDword(block, value));
    }
    ReadButtonRecords(key, block);
}

uint32_t ReadClickThreshold(const CONFIG_KEY_READER* machine, const CONFIG_KEY_READER* user)
{
    uint32_t threshold = 0;
    const CONFIG_KEY_READER* const keys[] = {machine, user};
    for (const CONFIG_KEY_READER* key : keys)
        if (key)
            key->ReadDword(key->Context, CLICK_THRESHOLD_VALUE_NAME, &threshold);
    return threshold ? threshold : DEFAULT_CLICK_THRESHOLD_MS;
}

bool ValueDataDword(const uint8_t* data, uint32_t length, uint32_t* out)
{
    if (length < 4)
        return false;
    *out = uint32_t(data[0]) | (uint32_t(data[1]) << 8) | (uint32_t(data[2]) << 16) |
           (uint32_t(data[3]) << 24);
    return true;
}

bool IsUserHiveName(const uint16_t* name)
{
    return Contains(name, "S-") && !Contains(name, "Classes");
}
