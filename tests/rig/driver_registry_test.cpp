// The driver's registry load: the machine default key under the user's key
// (found through the users' root, as the driver finds it), read when the
// mouse is added and again when the tray registers, and the click threshold.
// The program writes the keys and installs the driver itself, so that the
// load at AddDevice sees them. What the driver loaded shows in the change
// events of a following tray block, which is merged without validation.
#include <gtest/gtest.h>

#include "config_values.h"
#include "device_setup.h"
#include "driver_client.h"
#include "rig_client.h"

namespace {

constexpr uint32_t CUSTOMIZER_WINDOW = 0x8002;

using Bytes = std::vector<uint8_t>;

class SettingsKey {
public:
    SettingsKey(HKEY root, const char* path)
    {
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    ~SettingsKey() { RegCloseKey(key_); }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    void Dword(const char* name, DWORD value)
    {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        Set(name, REG_DWORD, Bytes(bytes, bytes + sizeof(value)));
    }
    void Binary(const char* name, const Bytes& data) { Set(name, REG_BINARY, data); }
    void Delete(const char* name) { RegDeleteValueA(key_, name); }

private:
    void Set(const char* name, DWORD type, const Bytes& data)
    {
        EXPECT_EQ(RegSetValueExA(key_, name, 0, type, data.data(), DWORD(data.size())), ERROR_SUCCESS);
    }
    HKEY key_ = nullptr;
};

SettingsKey& MachineKey()
{
    static SettingsKey key(HKEY_USERS, CONFIG_MACHINE_SUBKEY);
    return key;
}

SettingsKey& UserKey()
{
    static SettingsKey key(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY);
    return key;
}

// The keys as the mouse is added, then the driver installed.
class DriverWithSettings : public ::testing::Environment {
public:
    void SetUp() override
    {
        MachineKey().Dword("OFASensitivityEnabled", 0);
        MachineKey().Dword("UniversalScrollEnabled", 0);
        MachineKey().Binary("ButtonAssigned2", {0, 0, 0, 0, 0x04});
        MachineKey().Binary("ButtonAssigned3", {0, 0, 0, 0, 0x10, 0x41, 0, 0x41, 1});
        UserKey().Dword("UniversalScrollEnabled", 1);
        // A value too short for a word is not read; a longer one of another
        // type gives its first four bytes.
        UserKey().Binary("OFASensitivityEnabled", {1});
        UserKey().Binary("OFASensitivityViewable", {0, 0, 0, 0, 7});
        // A record without events resets the button's macro.
        UserKey().Binary("ButtonAssigned3", {0, 0, 0, 0, 0x10});
        ASSERT_EQ(InstallFilterDevice(), "");
        ASSERT_EQ(InstallKernelService(RIG_SERVICE_NAME, RIG_SERVICE_NAME ".sys"), "");
    }
    void TearDown() override
    {
        EXPECT_EQ(StopService(RIG_SERVICE_NAME), "");
        EXPECT_EQ(RemoveFilterDevice(), "");
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new DriverWithSettings);

class RegistryLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device_.valid());
        ASSERT_TRUE(reader_.valid());
        ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
        DrainEvents(reader_.get());
    }

    // The events of a tray block: what differs from the driver's settings.
    std::string Probe(CONFIG_BLOCK block)
    {
        EXPECT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block), 0u);
        return Describe(DrainEvents(reader_.get()));
    }

    Handle device_{OpenMouseDriver(false)};
    Handle reader_{OpenMouseDriver(true)};
};

DRIVER_EVENT ToCustomizer(uint32_t message, uint32_t wParam = 0)
{
    return {CUSTOMIZER_WINDOW, message, wParam, 0};
}

// The settings of both keys of the environment, the user's over the machine's.
CONFIG_BLOCK LoadedAtAddDevice()
{
    CONFIG_BLOCK block = DefaultBlock();
    block.OFASensitivityEnabled = 0;
    block.OFASensitivityViewable = 0;
    block.UniversalScrollEnabled = 1;
    block.ButtonAssigned[BUTTON_RIGHT] = ASSIGN_MIDDLE_CLICK;
    block.ButtonAssigned[BUTTON_MIDDLE] = ASSIGN_RIGHT_CLICK;
    return block;
}

// Declared first: no tray has registered yet, so this is the load of AddDevice.
TEST_F(RegistryLoad, MouseAdditionLoadsTheMachineDefaultUnderTheUsersKey)
{
    EXPECT_EQ(Probe(LoadedAtAddDevice()), Describe(std::vector<DRIVER_EVENT>{}));
    // The same block back to the defaults: each loaded difference shows.
    const DRIVER_EVENT buttons = ToCustomizer(MSG_BUTTONS_CHANGED);
    EXPECT_EQ(Probe(DefaultBlock()),
              Describe({ToCustomizer(MSG_OFA_ENABLED_CHANGED, 1),
                        ToCustomizer(MSG_OFA_VISIBLE_CHANGED, 1), buttons, buttons}));
}

TEST_F(RegistryLoad, TrayRegistrationLoadsTheKeysAgain)
{
    UserKey().Dword("UniversalScrollEnabled", 0);
    UserKey().Delete("ButtonAssigned3");
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, 0x8001), 0u);
    CONFIG_BLOCK loaded = LoadedAtAddDevice();
    loaded.UniversalScrollEnabled = 0;
    loaded.MacroLength[BUTTON_MIDDLE] = 2;
    loaded.Macro[BUTTON_MIDDLE][0] = {0x41, 0};
    loaded.Macro[BUTTON_MIDDLE][1] = {0x41, 1};
    EXPECT_EQ(Probe(loaded), Describe(std::vector<DRIVER_EVENT>{}));
    const DRIVER_EVENT buttons = ToCustomizer(MSG_BUTTONS_CHANGED);
    EXPECT_EQ(Probe(DefaultBlock()),
              Describe({ToCustomizer(MSG_OFA_ENABLED_CHANGED, 1),
                        ToCustomizer(MSG_OFA_VISIBLE_CHANGED, 1),
                        ToCustomizer(MSG_UNIVERSAL_SCROLL_CHANGED, 1), buttons, buttons, buttons}));
}

// A threshold far longer than any test runs, against the 25 ms default.
constexpr DWORD LONG_THRESHOLD_MS = 1000000;
constexpr DWORD ABSENT = 0xFFFFFFFF;

struct ThresholdCase {
    const char* name;
    DWORD machine;  // ABSENT: no value
    DWORD user;
    bool longThreshold;
};

void SetOrDelete(SettingsKey& key, DWORD value)
{
    if (value == ABSENT)
        key.Delete(CLICK_THRESHOLD_VALUE_NAME);
    else
        key.Dword(CLICK_THRESHOLD_VALUE_NAME, value);
}

TEST_F(RegistryLoad, ClickThresholdComesFromTheLastKeyThatHasOne)
{
    RigClassDriver rig;
    ASSERT_TRUE(rig.EnsureConnected());
    const ThresholdCase cases[] = {
        {"in neither key: the default", ABSENT, ABSENT, false},
        {"machine default only", LONG_THRESHOLD_MS, ABSENT, true},
        {"user's 0 means the default", LONG_THRESHOLD_MS, 0, false},
        {"user's key only", ABSENT, LONG_THRESHOLD_MS, true},
        {"user's over the machine's", 0, LONG_THRESHOLD_MS, true},
    };
    const auto press = [&](uint16_t flags) {
        rig.Inject({Packet(flags)});
        const std::vector<MOUSE_INPUT_DATA> out = rig.TakePackets();
        return out.size() == 1 ? out[0].ButtonFlags : 0xFFFF;
    };
    for (const ThresholdCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetOrDelete(MachineKey(), c.machine);
        SetOrDelete(UserKey(), c.user);
        ASSERT_EQ(Register(device_.get(), SLOT_TRAY, 0x8001), 0u);
        // A press, a release, and a second press more than 25 ms later: a
        // bounce only under the long threshold. The sleeps make the gaps at
        // least that long.
        Sleep(60);
        press(MOUSE_LEFT_BUTTON_DOWN);
        press(MOUSE_LEFT_BUTTON_UP);
        Sleep(60);
        EXPECT_EQ(press(MOUSE_LEFT_BUTTON_DOWN), c.longThreshold ? 0 : MOUSE_LEFT_BUTTON_DOWN);
        press(MOUSE_LEFT_BUTTON_UP);
    }
}

}  // namespace
