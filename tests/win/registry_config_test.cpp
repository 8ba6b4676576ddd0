// The registry procedures against Wine's real registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config_values.h"
#include "registry_config.h"

namespace {

using Bytes = std::vector<BYTE>;

class RegistryConfig : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tolvi");
        RegDeleteTreeA(HKEY_USERS, ".DEFAULT\\Software\\Tolvi");
    }
    void TearDown() override { SetUp(); }

    static HKEY Open(HKEY root, const char* subKey)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static HKEY User() { return Open(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY); }
    static HKEY Machine() { return Open(HKEY_USERS, CONFIG_MACHINE_SUBKEY); }

    static void SetDword(HKEY key, const char* name, DWORD value)
    {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    }
    static void SetBinary(HKEY key, const char* name, const Bytes& data)
    {
        RegSetValueExA(key, name, 0, REG_BINARY, data.data(), data.size());
    }
    static void SetString(HKEY key, const char* name, const std::string& text)
    {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       text.size() + 1);
    }
    static bool Query(HKEY key, const char* name, DWORD* type, Bytes* data)
    {
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data->resize(size);
        return RegQueryValueExA(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
    }
    static std::vector<std::string> ValueNames(HKEY key)
    {
        std::vector<std::string> names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD length = sizeof(name);
            if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static CONFIG_BLOCK Loaded()
    {
        CONFIG_BLOCK block;
        memset(&block, 0xCD, sizeof(block));
        LoadConfig(&block);
        return block;
    }
};

TEST_F(RegistryConfig, EmptyRegistryLoadsTheRepairValuesAndCreatesTheKeys)
{
    const CONFIG_BLOCK c = Loaded();
    EXPECT_EQ(c.OFASensitivityEnabled, 1u);
    EXPECT_EQ(c.OFASensitivity, 5u);
    EXPECT_EQ(c.DoubleClickSpeed, 3u);
    EXPECT_EQ(c.PS2Rate, 200u);
    EXPECT_EQ(c.VexonSpeedX, 18u);
    EXPECT_EQ(c.Acceleration, 0u);
    EXPECT_EQ(c.TrayEnabled, 1u);
    const uint32_t buttons[] = {0x001, 0x010, 0x004, 0x202, 0x100};
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        EXPECT_EQ(c.ButtonAssigned[i], buttons[i]);
        EXPECT_EQ(c.MacroLength[i], 0u);
    }
    EXPECT_EQ(c.Result, 0u);  // the working block starts zero-filled
    EXPECT_STREQ(c.ProgramOFA, "");
    EXPECT_STREQ(c.VexonPath, "");

    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryConfig, UserValuesOverTheMachineDefault)
{
    HKEY machine = Machine();
    SetDword(machine, "VexonSpeedX", 7);
    SetDword(machine, "Orientation", 0);
    SetDword(machine, "PS2Rate", 100);
    SetString(machine, "ProgramOFA", "C:\\Vexon\\vexonofa.exe");
    SetBinary(machine, "ButtonAssigned2", {1, 0, 0, 0, 8, 0x41, 0, 0x41, 1});
    RegCloseKey(machine);
    HKEY user = User();
    SetDword(user, "Orientation", 1);
    RegCloseKey(user);

    const CONFIG_BLOCK c = Loaded();
    EXPECT_EQ(c.Orientation, 1u);
    EXPECT_EQ(c.VexonSpeedX, 7u);
    EXPECT_EQ(c.PS2Rate, 100u);
    EXPECT_STREQ(c.ProgramOFA, "C:\\Vexon\\vexonofa.exe");
    EXPECT_EQ(c.ButtonAssigned[1], uint32_t(ASSIGN_MACRO));
    ASSERT_EQ(c.MacroLength[1], 2u);
    EXPECT_EQ(c.Macro[1][1].Code, 0x41u);
    EXPECT_EQ(c.Macro[1][1].Flag, 1u);
}

TEST_F(RegistryConfig, FiveByteUserRecordResetsTheMacro)
{
    HKEY machine = Machine();
    SetBinary(machine, "ButtonAssigned1", {1, 0, 0, 0, 8, 0x41, 0, 0x41, 1});
    RegCloseKey(machine);
    HKEY user = User();
    SetBinary(user, "ButtonAssigned1", {0, 0, 0, 0, 0x10});
    RegCloseKey(user);

    const CONFIG_BLOCK c = Loaded();
    EXPECT_EQ(c.ButtonAssigned[0], uint32_t(ASSIGN_RIGHT_CLICK));
    EXPECT_EQ(c.MacroLength[0], 0u);
}

TEST_F(RegistryConfig, UnreadableValuesKeepTheField)
{
    HKEY user = User();
    RegSetValueExA(user, "VexonSpeedX", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x05\x00"),
                   2);
    SetBinary(user, "ButtonAssigned3", {0, 0, 0, 0x40});
    RegCloseKey(user);

    CONFIG_BLOCK block;
    ClearConfig(&block);
    block.VexonSpeedX = 9;
    block.ButtonAssigned[2] = ASSIGN_NATIVE;
    ASSERT_EQ(ReadConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block), 0);
    EXPECT_EQ(block.VexonSpeedX, 9u);
    EXPECT_EQ(block.ButtonAssigned[2], uint32_t(ASSIGN_NATIVE));
}

TEST_F(RegistryConfig, LongStoredStringsAreCutToTheField)
{
    HKEY user = User();
    SetString(user, "VexonPath", std::string(300, 'v'));
    RegCloseKey(user);
    const CONFIG_BLOCK c = Loaded();
    EXPECT_EQ(std::string(c.VexonPath), std::string(79, 'v'));
}

TEST_F(RegistryConfig, LongButtonRecordFillsSixteenEventsOnly)
{
    Bytes record{0, 0, 0, 0, 0x20};
    for (int k = 0; k < 20; ++k) {
        record.push_back(0x30 + k);
        record.push_back(k & 1);
    }
    HKEY user = User();
    SetBinary(user, "ButtonAssigned1", record);
    RegCloseKey(user);
    const CONFIG_BLOCK c = Loaded();
    EXPECT_EQ(c.MacroLength[0], 16u);
    EXPECT_EQ(c.Macro[0][15].Code, 0x3Fu);
    EXPECT_EQ(c.MacroLength[1], 0u);
}

TEST_F(RegistryConfig, SixteenEventsRoundTrip)
{
    CONFIG_BLOCK block = Loaded();
    block.ButtonAssigned[4] = ASSIGN_MACRO;
    block.MacroLength[4] = 16;
    for (int k = 0; k < 16; ++k)
        block.Macro[4][k] = {uint32_t(0x41 + k), uint32_t(k % 2)};
    ASSERT_EQ(WriteConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block), 0);

    HKEY user = User();
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(Query(user, "ButtonAssigned5", &type, &data));
    RegCloseKey(user);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(data.size(), 37u);
    EXPECT_EQ(data[0], 1);

    const CONFIG_BLOCK read = Loaded();
    EXPECT_EQ(read.MacroLength[4], 16u);
    EXPECT_EQ(memcmp(read.Macro[4], block.Macro[4], sizeof(block.Macro[4])), 0);
}

TEST_F(RegistryConfig, FullSaveWritesEveryStoredValue)
{
    CONFIG_BLOCK block = Loaded();
    block.Acceleration = 12;
    strcpy(block.ProgramTray, "C:\\Vexon\\vexontra.exe");
    ASSERT_EQ(WriteConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block), 0);

    HKEY user = User();
    std::vector<std::string> expected = {
        "Acceleration", "AccelerationEnabled", "ButtonAssigned1", "ButtonAssigned2",
        "ButtonAssigned3", "ButtonAssigned4", "ButtonAssigned5", "DoubleClickSpeed",
        "OFAScaleEnabled", "OFASensitivityEnabled", "OFASensitivityViewable", "Orientation",
        "PS2Rate", "PS2RateEnabled", "ProgramOFA", "ProgramTray", "ScrollWheelSpeed",
        "TrayEnabled", "UniversalScrollEnabled", "UniversalScrollSpeed", "VexonPath",
        "VexonSpeedX", "VexonSpeedY", "XYSensitivityEnabled"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ValueNames(user), expected);  // "OFASensitivity" is never written

    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(Query(user, "ProgramTray", &type, &data));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()).c_str(), std::string("C:\\Vexon\\vexontra.exe"));
    ASSERT_TRUE(Query(user, "Acceleration", &type, &data));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(data, (Bytes{12, 0, 0, 0}));
    RegCloseKey(user);

    const CONFIG_BLOCK read = Loaded();
    EXPECT_EQ(memcmp(&read, &block, sizeof(block)), 0);
}

TEST_F(RegistryConfig, TraySaveWritesOnlyItsValues)
{
    CONFIG_BLOCK block = Loaded();
    block.UniversalScrollEnabled = 0;
    block.Acceleration = 5;
    ASSERT_EQ(WriteTrayConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block), 0);
    HKEY user = User();
    const std::vector<std::string> expected = {
        "ButtonAssigned1", "ButtonAssigned2", "ButtonAssigned3", "ButtonAssigned4",
        "ButtonAssigned5", "OFASensitivityEnabled", "OFASensitivityViewable", "TrayEnabled",
        "UniversalScrollEnabled"};
    EXPECT_EQ(ValueNames(user), expected);
    RegCloseKey(user);
    EXPECT_EQ(Loaded().UniversalScrollEnabled, 0u);
}

TEST_F(RegistryConfig, MacroSaveKeepsStoredAssignmentBytes)
{
    HKEY user = User();
    SetBinary(user, "ButtonAssigned1", {1, 0, 0, 0, 8, 0x41, 0});
    SetBinary(user, "ButtonAssigned2", {0, 0, 0});  // too short: rebuilt
    RegCloseKey(user);

    CONFIG_BLOCK block = Loaded();
    block.ButtonAssigned[0] = ASSIGN_LEFT_CLICK;  // the block disagrees
    block.MacroLength[0] = 2;
    block.Macro[0][0] = {0x42, 0};
    block.Macro[0][1] = {0x42, 1};
    block.MacroLength[1] = 1;
    block.Macro[1][0] = {0x43, 0};
    ASSERT_EQ(WriteMacroValues(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block), 0);

    user = User();
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(Query(user, "ButtonAssigned1", &type, &data));
    EXPECT_EQ(data, (Bytes{1, 0, 0, 0, 8, 0x42, 0, 0x42, 1}));
    ASSERT_TRUE(Query(user, "ButtonAssigned2", &type, &data));
    EXPECT_EQ(data, (Bytes{0, 0, 0, 0, 0x10, 0x43, 0}));
    ASSERT_TRUE(Query(user, "ButtonAssigned4", &type, &data));  // had no record
    EXPECT_EQ(data, (Bytes{0, 0, 0, 2, 2}));
    RegCloseKey(user);
}

TEST_F(RegistryConfig, UnopenableKeyIsReported)
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x4321));
    EXPECT_EQ(ReadConfigKey(bogus, CONFIG_USER_SUBKEY, &block), -1);
    EXPECT_EQ(WriteConfigKey(bogus, CONFIG_USER_SUBKEY, &block), -1);
    EXPECT_EQ(WriteTrayConfigKey(bogus, CONFIG_USER_SUBKEY, &block), -1);
    EXPECT_EQ(WriteMacroValues(bogus, CONFIG_USER_SUBKEY, &block), -1);
}

}  // namespace
