// The full configuration load: the machine default key, then the key of the
// user found through GetSID, read into a working block and validated into
// the live configuration. Runs at PASSIVE_LEVEL with no spin lock held; only
// InstallLoadedConfig takes the configuration lock, for the final copy.
#include "filter_device.h"

#include "bogus_click.h"
#include "config_lifecycle.h"
#include "config_values.h"
#include "registry_load.h"

namespace {

constexpr ULONG SID_NAME_CHARS = 256;
constexpr ULONG VALUE_NAME_CHARS = 32;
constexpr ULONG KEY_PATH_CHARS = SID_NAME_CHARS + 64;

const WCHAR MACHINE_KEY_PATH[] = L"" CONFIG_KERNEL_MACHINE_PATH;
const WCHAR USERS_ROOT_PATH[] = L"" CONFIG_KERNEL_USER_ROOT;
const WCHAR USER_KEY_TAIL[] = L"" CONFIG_KERNEL_USER_TAIL;

// An open key, closed when it goes out of scope.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (handle_)
            ZwClose(handle_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Open(PCWSTR path)
    {
        UNICODE_STRING name;
        RtlInitUnicodeString(&name, path);
        OBJECT_ATTRIBUTES attributes;
        InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                                   nullptr, nullptr);
        if (!NT_SUCCESS(ZwOpenKey(&handle_, KEY_READ, &attributes)))
            handle_ = nullptr;
        return handle_ != nullptr;
    }

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// A paged-pool buffer, freed when it goes out of scope.
class PagedBuffer {
public:
    explicit PagedBuffer(ULONG size)
        : data_(size ? ExAllocatePoolWithTag(PagedPool, size, VEXON_POOL_TAG) : nullptr)
    {
    }
    ~PagedBuffer()
    {
        if (data_)
            ExFreePool(data_);
    }
    PagedBuffer(const PagedBuffer&) = delete;
    PagedBuffer& operator=(const PagedBuffer&) = delete;

    template <typename T>
    T* As() const
    {
        return static_cast<T*>(data_);
    }

private:
    PVOID data_;
};

// Appends a NUL-terminated wide text; false when it does not fit.
bool AppendText(WCHAR* buffer, ULONG capacity, PCWSTR text)
{
    ULONG end = 0;
    while (end < capacity && buffer[end])
        ++end;
    for (; *text; ++text, ++end) {
        if (end + 1 >= capacity)
            return false;
        buffer[end] = *text;
    }
    buffer[end] = 0;
    return true;
}

// The value's partial information, read into a 256-byte buffer; null when
// the value cannot be queried.
PKEY_VALUE_PARTIAL_INFORMATION QueryValue(HANDLE key, const char* name,
                                          ULONG (&buffer)[REGISTRY_VALUE_BUFFER / sizeof(ULONG)])
{
    WCHAR wideName[VALUE_NAME_CHARS] = {};
    for (ULONG i = 0; name[i] && i + 1 < VALUE_NAME_CHARS; ++i)
        wideName[i] = WCHAR(name[i]);
    UNICODE_STRING valueName;
    RtlInitUnicodeString(&valueName, wideName);
    ULONG length = 0;
    const NTSTATUS status = ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, buffer,
                                            sizeof(buffer), &length);
    if (!NT_SUCCESS(status))
        return nullptr;
    return reinterpret_cast<PKEY_VALUE_PARTIAL_INFORMATION>(buffer);
}

}  // namespace

// The value's first four data bytes, whatever its type; -1 when it cannot
// be queried or holds fewer than four bytes (out unchanged).
int RegReadDword(HANDLE key, const char* name, ULONG* out)
{
    ULONG buffer[REGISTRY_VALUE_BUFFER / sizeof(ULONG)];
    const PKEY_VALUE_PARTIAL_INFORMATION info = QueryValue(key, name, buffer);
    uint32_t value = 0;
    if (!info || !ValueDataDword(info->Data, info->DataLength, &value))
        return -1;
    *out = value;
    return 0;
}

// The value's data and length; -1 when it cannot be queried or holds more
// than size bytes.
int RegReadBinary(HANDLE key, const char* name, UCHAR* data, ULONG size, ULONG* length)
{
    ULONG buffer[REGISTRY_VALUE_BUFFER / sizeof(ULONG)];
    const PKEY_VALUE_PARTIAL_INFORMATION info = QueryValue(key, name, buffer);
    if (!info || info->DataLength > size)
        return -1;
    RtlCopyMemory(data, info->Data, info->DataLength);
    *length = info->DataLength;
    return 0;
}

namespace {

int ReadDwordOfKey(void* key, const char* name, uint32_t* out)
{
    ULONG value = 0;
    if (RegReadDword(static_cast<HANDLE>(key), name, &value) != 0)
        return -1;
    *out = value;
    return 0;
}

int ReadBinaryOfKey(void* key, const char* name, uint8_t* buffer, uint32_t size,
                    uint32_t* length)
{
    ULONG read = 0;
    if (RegReadBinary(static_cast<HANDLE>(key), name, buffer, size, &read) != 0)
        return -1;
    *length = read;
    return 0;
}

CONFIG_KEY_READER ReaderOf(const RegistryKey& key)
{
    return {key.Handle(), ReadDwordOfKey, ReadBinaryOfKey};
}

// The name of sub-key index of key, NUL-terminated in name; false when it
// cannot be read or is too long for the buffer.
bool SubKeyName(HANDLE key, ULONG index, WCHAR (&name)[SID_NAME_CHARS])
{
    ULONG size = 0;
    ZwEnumerateKey(key, index, KeyBasicInformation, nullptr, 0, &size);
    PagedBuffer buffer(size);
    const auto info = buffer.As<KEY_BASIC_INFORMATION>();
    if (!info || !NT_SUCCESS(ZwEnumerateKey(key, index, KeyBasicInformation, info, size, &size)))
        return false;
    const ULONG chars = info->NameLength / sizeof(WCHAR);
    if (chars >= SID_NAME_CHARS)
        return false;
    RtlCopyMemory(name, info->Name, chars * sizeof(WCHAR));
    name[chars] = 0;
    return true;
}

ULONG SubKeyCount(HANDLE key)
{
    ULONG size = 0;
    ZwQueryKey(key, KeyFullInformation, nullptr, 0, &size);
    PagedBuffer buffer(size);
    const auto info = buffer.As<KEY_FULL_INFORMATION>();
    if (!info || !NT_SUCCESS(ZwQueryKey(key, KeyFullInformation, info, size, &size)))
        return 0;
    return info->SubKeys;
}

}  // namespace

// The first sub-key of "\Registry\User" that is a user's hive (its name
// contains "S-" and not "Classes"), copied into name. 0, or -1 when there is
// none.
int GetSID(WCHAR (&name)[SID_NAME_CHARS])
{
    RegistryKey users;
    if (!users.Open(USERS_ROOT_PATH))
        return -1;
    const ULONG count = SubKeyCount(users.Handle());
    for (ULONG index = 0; index < count; ++index) {
        WCHAR candidate[SID_NAME_CHARS];
        if (!SubKeyName(users.Handle(), index, candidate))
            continue;
        if (IsUserHiveName(reinterpret_cast<const uint16_t*>(candidate))) {
            RtlCopyMemory(name, candidate, sizeof(candidate));
            return 0;
        }
    }
    return -1;
}

namespace {

// "\Registry\User\" + the user's hive + "\SOFTWARE\Tolvi\Vexon"; false
// when GetSID finds no user.
bool UserKeyPath(WCHAR (&path)[KEY_PATH_CHARS])
{
    WCHAR sid[SID_NAME_CHARS];
    if (GetSID(sid) != 0)
        return false;
    path[0] = 0;
    return AppendText(path, KEY_PATH_CHARS, USERS_ROOT_PATH) &&
           AppendText(path, KEY_PATH_CHARS, sid) && AppendText(path, KEY_PATH_CHARS, USER_KEY_TAIL);
}

}  // namespace

// "ClickThreshold" from the machine default key, then from the user's key:
// the last value found wins, 0 or none giving the default. The input path
// reads the threshold at any time, so it is stored once, complete.
void RegGetThreshold()
{
    RegistryKey machine;
    RegistryKey user;
    WCHAR userPath[KEY_PATH_CHARS];
    const bool haveMachine = machine.Open(MACHINE_KEY_PATH);
    const bool haveUser = UserKeyPath(userPath) && user.Open(userPath);
    const CONFIG_KEY_READER machineReader = ReaderOf(machine);
    const CONFIG_KEY_READER userReader = ReaderOf(user);
    G_click_threshold = ReadClickThreshold(haveMachine ? &machineReader : nullptr,
                                           haveUser ? &userReader : nullptr);
}

// Reads one settings key into block; a key that cannot be opened has no
// effect at all. Each key read re-reads the click threshold.
void GetConfigFromRegistry(PCWSTR path, CONFIG_BLOCK* block)
{
    RegistryKey key;
    if (!key.Open(path))
        return;
    RegGetThreshold();
    ReadConfigValues(ReaderOf(key), block);
}

void LoadConfiguration()
{
    CONFIG_BLOCK working;
    ClearConfig(&working);
    InvalidateConfig(&working);
    GetConfigFromRegistry(MACHINE_KEY_PATH, &working);
    WCHAR userPath[KEY_PATH_CHARS];
    if (UserKeyPath(userPath))
        GetConfigFromRegistry(userPath, &working);
    // Neither key readable: the threshold is the default all the same.
    if (G_click_threshold == 0)
        G_click_threshold = DEFAULT_CLICK_THRESHOLD_MS;
    InstallLoadedConfig(&working);
}
