#include "registry_config.h"

#include <vector>

#include "config_values.h"

namespace {

class ConfigKey {
public:
    ConfigKey(HKEY root, const char* subKey, REGSAM access)
    {
        if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, access, nullptr, &key_, nullptr) !=
            ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~ConfigKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    ConfigKey(const ConfigKey&) = delete;
    ConfigKey& operator=(const ConfigKey&) = delete;

    HKEY get() const { return key_; }

    // Reads a whole value of any size; false when it is absent or unreadable.
    bool Query(const char* name, std::vector<BYTE>* data) const
    {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data->resize(size);
        if (RegQueryValueExA(key_, name, nullptr, nullptr, data->data(), &size) != ERROR_SUCCESS)
            return false;
        data->resize(size);
        return true;
    }

    void Set(const CONFIG_VALUE& value) const
    {
        RegSetValueExA(key_, value.Name, 0, value.Type, value.Data, value.Length);
    }

private:
    HKEY key_ = nullptr;
};

constexpr REGSAM READ_ACCESS = KEY_QUERY_VALUE;
constexpr REGSAM WRITE_ACCESS = KEY_QUERY_VALUE | KEY_SET_VALUE;

void SetValue(void* key, const CONFIG_VALUE& value)
{
    static_cast<const ConfigKey*>(key)->Set(value);
}

int WriteSavedValues(HKEY root, const char* subKey, const CONFIG_BLOCK* block, uint32_t save)
{
    ConfigKey key(root, subKey, WRITE_ACCESS);
    if (!key.get())
        return -1;
    ForEachSavedValue(block, save, SetValue, &key);
    return 0;
}

}  // namespace

int ReadConfigKey(HKEY root, const char* subKey, CONFIG_BLOCK* block)
{
    ConfigKey key(root, subKey, READ_ACCESS);
    if (!key.get())
        return -1;
    std::vector<BYTE> data;
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i) {
        const CONFIG_DWORD_VALUE& value = CONFIG_DWORD_VALUES[i];
        if (key.Query(value.Name, &data) && data.size() == sizeof(DWORD))
            CopyMemory(ConfigDword(block, value), data.data(), sizeof(DWORD));
    }
    for (int i = 0; i < CONFIG_STRING_VALUE_COUNT; ++i) {
        const CONFIG_STRING_VALUE& value = CONFIG_STRING_VALUES[i];
        if (key.Query(value.Name, &data))
            StoreConfigString(ConfigString(block, value),
                              reinterpret_cast<const char*>(data.data()),
                              static_cast<uint32_t>(data.size()));
    }
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        char name[16];
        FormatButtonValueName(b, name);
        if (key.Query(name, &data))
            DecodeButtonValue(block, b, data.data(), static_cast<uint32_t>(data.size()));
    }
    return 0;
}

int WriteConfigKey(HKEY root, const char* subKey, const CONFIG_BLOCK* block)
{
    return WriteSavedValues(root, subKey, block, SAVE_FULL);
}

int WriteTrayConfigKey(HKEY root, const char* subKey, const CONFIG_BLOCK* block)
{
    return WriteSavedValues(root, subKey, block, SAVE_TRAY);
}

int WriteMacroValues(HKEY root, const char* subKey, const CONFIG_BLOCK* block)
{
    ConfigKey key(root, subKey, WRITE_ACCESS);
    if (!key.get())
        return -1;
    std::vector<BYTE> stored;
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        char name[16];
        FormatButtonValueName(b, name);
        const bool hasHeader = key.Query(name, &stored) && stored.size() >= BUTTON_VALUE_HEADER;
        uint8_t record[BUTTON_VALUE_MAX];
        const uint32_t length =
            EncodeButtonValue(block, b, hasHeader ? stored.data() : nullptr, record);
        key.Set({name, CONFIG_VALUE_BINARY, record, length});
    }
    return 0;
}

int LoadConfig(CONFIG_BLOCK* live)
{
    CONFIG_BLOCK working;
    ClearConfig(&working);
    InvalidateConfig(&working);
    ReadConfigKey(HKEY_USERS, CONFIG_MACHINE_SUBKEY, &working);
    ReadConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &working);
    return VerifyConfigAndSetDefaults(live, &working);
}

void WriteSpeedValues(DWORD speedX, DWORD speedY)
{
    ConfigKey key(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, WRITE_ACCESS);
    if (!key.get())
        return;
    const char* nameX = FindDwordValue(offsetof(CONFIG_BLOCK, VexonSpeedX))->Name;
    const char* nameY = FindDwordValue(offsetof(CONFIG_BLOCK, VexonSpeedY))->Name;
    key.Set({nameX, CONFIG_VALUE_DWORD, reinterpret_cast<const uint8_t*>(&speedX), 4});
    key.Set({nameY, CONFIG_VALUE_DWORD, reinterpret_cast<const uint8_t*>(&speedY), 4});
}
