// The rules of the driver's registry load, over an in-memory key: which
// values land where, the click threshold's precedence, and which sub-key
// of the users' root is the user's hive.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "bogus_click.h"
#include "config_values.h"
#include "registry_load.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A key as the kernel shell presents it: named values of raw data, read
// with the shell's rules (a DWORD from the first four bytes of any value).
class FakeKey {
public:
    FakeKey& Dword(const std::string& name, uint32_t value)
    {
        values_[name] = Bytes{uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                              uint8_t(value >> 24)};
        return *this;
    }
    FakeKey& Data(const std::string& name, const Bytes& data)
    {
        values_[name] = data;
        return *this;
    }
    CONFIG_KEY_READER Reader() { return {this, ReadDword, ReadBinary}; }

private:
    static int ReadDword(void* context, const char* name, uint32_t* out)
    {
        const Bytes* data = static_cast<FakeKey*>(context)->Find(name);
        return data && ValueDataDword(data->data(), uint32_t(data->size()), out) ? 0 : -1;
    }
    static int ReadBinary(void* context, const char* name, uint8_t* buffer, uint32_t size,
                          uint32_t* length)
    {
        const Bytes* data = static_cast<FakeKey*>(context)->Find(name);
        if (!data || data->size() > size)
            return -1;
        std::copy(data->begin(), data->end(), buffer);
        *length = uint32_t(data->size());
        return 0;
    }
    const Bytes* Find(const char* name) const
    {
        const auto found = values_.find(name);
        return found == values_.end() ? nullptr : &found->second;
    }

    std::map<std::string, Bytes> values_;
};

CONFIG_BLOCK WorkingBlock()
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    InvalidateConfig(&block);
    return block;
}

TEST(RegistryLoad, EveryDwordSettingIsReadIntoItsField)
{
    FakeKey key;
    uint32_t value = 100;
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        key.Dword(CONFIG_DWORD_VALUES[i].Name, value++);
    CONFIG_BLOCK block = WorkingBlock();
    ReadConfigValues(key.Reader(), &block);
    value = 100;
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        EXPECT_EQ(*ConfigDword(&block, CONFIG_DWORD_VALUES[i]), value++)
            << CONFIG_DWORD_VALUES[i].Name;
    EXPECT_EQ(block.ProgramOFA[0], 0) << "the driver does not read the paths";
}

TEST(RegistryLoad, MissingAndShortValuesLeaveTheFieldAsItWas)
{
    CONFIG_BLOCK block = WorkingBlock();
    block.Orientation = 1;
    block.VexonSpeedX = 7;
    block.OFASensitivityViewable = 0;
    FakeKey key;
    key.Data("VexonSpeedX", {3, 0})
        .Data("OFASensitivityViewable", {1, 0, 0, 0, 9})  // another type: its first four bytes
        .Data("Acceleration", {});
    ReadConfigValues(key.Reader(), &block);
    EXPECT_EQ(block.Orientation, 1u);
    EXPECT_EQ(block.VexonSpeedX, 7u);
    EXPECT_EQ(block.OFASensitivityViewable, 1u);
    EXPECT_EQ(block.Acceleration, CONFIG_NOT_READ);
}

TEST(RegistryLoad, ButtonRecordsReplaceAssignmentAndMacro)
{
    CONFIG_BLOCK block = WorkingBlock();
    FakeKey machine;
    machine.Data("ButtonAssigned1", {1, 0, 0, 0, 0x08, 0x41, 0, 0x41, 1})
        .Data("ButtonAssigned2", {0, 0, 0, 0, 0x10, 0x42, 0});
    FakeKey user;
    user.Data("ButtonAssigned2", {0, 0, 0, 0, 0x04})  // no events: the macro goes
        .Data("ButtonAssigned3", {0, 0, 0, 0});       // too short: ignored
    ReadConfigValues(machine.Reader(), &block);
    ReadConfigValues(user.Reader(), &block);
    EXPECT_EQ(block.ButtonAssigned[0], ASSIGN_MACRO);
    ASSERT_EQ(block.MacroLength[0], 2u);
    EXPECT_EQ(block.Macro[0][1].Code, 0x41u);
    EXPECT_EQ(block.Macro[0][1].Flag, 1u);
    EXPECT_EQ(block.ButtonAssigned[1], ASSIGN_MIDDLE_CLICK);
    EXPECT_EQ(block.MacroLength[1], 0u);
    EXPECT_EQ(block.ButtonAssigned[2], CONFIG_NOT_READ);
}

TEST(RegistryLoad, ButtonRecordLongerThanTheBufferIsIgnored)
{
    CONFIG_BLOCK block = WorkingBlock();
    FakeKey key;
    Bytes record = {0, 0, 0, 0, 0x10};
    record.resize(REGISTRY_VALUE_BUFFER + 1, 0x41);
    key.Data("ButtonAssigned1", record);
    ReadConfigValues(key.Reader(), &block);
    EXPECT_EQ(block.ButtonAssigned[0], CONFIG_NOT_READ);
}

struct ThresholdCase {
    const char* name;
    bool machineKey;
    const uint32_t* machineValue;
    bool userKey;
    const uint32_t* userValue;
    uint32_t expected;
};

TEST(ClickThreshold, TheLastKeyWithAValueWinsAndZeroMeansTheDefault)
{
    static const uint32_t forty = 40, zero = 0, ninety = 90;
    const ThresholdCase cases[] = {
        {"no keys", false, nullptr, false, nullptr, DEFAULT_CLICK_THRESHOLD_MS},
        {"keys without the value", true, nullptr, true, nullptr, DEFAULT_CLICK_THRESHOLD_MS},
        {"machine 40, user without", true, &forty, true, nullptr, 40},
        {"machine 40, no user key", true, &forty, false, nullptr, 40},
        {"machine 40, user 0", true, &forty, true, &zero, DEFAULT_CLICK_THRESHOLD_MS},
        {"machine 0, user 90", true, &zero, true, &ninety, 90},
        {"machine 40, user 90", true, &forty, true, &ninety, 90},
    };
    for (const ThresholdCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKey machine, user;
        if (c.machineValue)
            machine.Dword(CLICK_THRESHOLD_VALUE_NAME, *c.machineValue);
        if (c.userValue)
            user.Dword(CLICK_THRESHOLD_VALUE_NAME, *c.userValue);
        const CONFIG_KEY_READER machineReader = machine.Reader();
        const CONFIG_KEY_READER userReader = user.Reader();
        EXPECT_EQ(ReadClickThreshold(c.machineKey ? &machineReader : nullptr,
                                     c.userKey ? &userReader : nullptr),
                  c.expected);
    }
}

std::u16string Utf16(const char* text)
{
    std::u16string wide;
    for (; *text; ++text)
        wide += char16_t(*text);
    return wide;
}

bool IsUserHive(const char* name)
{
    const std::u16string wide = Utf16(name);
    return IsUserHiveName(reinterpret_cast<const uint16_t*>(wide.c_str()));
}

TEST(UserHive, NamedBySecurityIdentifierAndNotTheClassesHive)
{
    EXPECT_FALSE(IsUserHive(".DEFAULT"));
    EXPECT_FALSE(IsUserHive(".Default"));
    EXPECT_FALSE(IsUserHive("S-1-5-21-1-2-3-500_Classes"));
    EXPECT_TRUE(IsUserHive("S-1-5-21-1-2-3-500"));
    EXPECT_TRUE(IsUserHive("S-1-5-21-0-0-0-1000"));
    EXPECT_FALSE(IsUserHive("s-1-5-18")) << "the test is case-sensitive, as the search was";
    EXPECT_FALSE(IsUserHive(""));
}

}  // namespace
