#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "config_values.h"

namespace {

using Bytes = std::vector<uint8_t>;

CONFIG_BLOCK ValidDefaults()
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    InvalidateConfig(&block);
    VerifyConfigAndSetDefaults(&block, &block);
    return block;
}

Bytes Encode(const CONFIG_BLOCK& block, int button, const uint8_t* stored = nullptr)
{
    uint8_t out[BUTTON_VALUE_MAX];
    const uint32_t length = EncodeButtonValue(&block, button, stored, out);
    return Bytes(out, out + length);
}

TEST(ButtonValue, EncodesTheDocumentedExamples)
{
    CONFIG_BLOCK block = ValidDefaults();
    EXPECT_EQ(Encode(block, BUTTON_4), (Bytes{0x00, 0x00, 0x00, 0x02, 0x02}));

    block.ButtonAssigned[0] = ASSIGN_MACRO;
    block.MacroLength[0] = 2;
    block.Macro[0][0] = {0x41, 0};
    block.Macro[0][1] = {0x41, 1};
    EXPECT_EQ(Encode(block, BUTTON_LEFT),
              (Bytes{0x01, 0x00, 0x00, 0x00, 0x08, 0x41, 0x00, 0x41, 0x01}));

    // Only the low byte of each event word is kept; a combined macro word
    // is not a plain macro, so byte 0 stays 0.
    block.ButtonAssigned[3] = 0x12345208;
    block.MacroLength[3] = 1;
    block.Macro[3][0] = {0x1A2, 0x301};
    EXPECT_EQ(Encode(block, BUTTON_4), (Bytes{0x00, 0x12, 0x34, 0x52, 0x08, 0xA2, 0x01}));
}

TEST(ButtonValue, SixteenEventsRoundTripInThirtySevenBytes)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.ButtonAssigned[2] = ASSIGN_KEY_HOLD;
    block.MacroLength[2] = MACRO_MAX_EVENTS;
    for (int k = 0; k < MACRO_MAX_EVENTS; ++k)
        block.Macro[2][k] = {uint32_t(0x30 + k), uint32_t(k & 1)};
    const Bytes record = Encode(block, BUTTON_MIDDLE);
    ASSERT_EQ(record.size(), 37u);

    CONFIG_BLOCK read = ValidDefaults();
    ASSERT_TRUE(DecodeButtonValue(&read, BUTTON_MIDDLE, record.data(), record.size()));
    EXPECT_EQ(read.ButtonAssigned[2], uint32_t(ASSIGN_KEY_HOLD));
    ASSERT_EQ(read.MacroLength[2], 16u);
    EXPECT_EQ(memcmp(read.Macro[2], block.Macro[2], sizeof(block.Macro[2])), 0);
}

TEST(ButtonValue, DecodeReplacesAssignmentAndEvents)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.MacroLength[1] = 3;
    const Bytes record{0x00, 0x00, 0x00, 0x00, 0x10};
    ASSERT_TRUE(DecodeButtonValue(&block, BUTTON_RIGHT, record.data(), record.size()));
    EXPECT_EQ(block.ButtonAssigned[1], uint32_t(ASSIGN_RIGHT_CLICK));
    EXPECT_EQ(block.MacroLength[1], 0u);
}

TEST(ButtonValue, ShortRecordIsIgnored)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.MacroLength[0] = 2;
    const Bytes record{0x00, 0x00, 0x00, 0x10};
    EXPECT_FALSE(DecodeButtonValue(&block, BUTTON_LEFT, record.data(), record.size()));
    EXPECT_EQ(block.ButtonAssigned[0], uint32_t(ASSIGN_LEFT_CLICK));
    EXPECT_EQ(block.MacroLength[0], 2u);
}

TEST(ButtonValue, OversizedOrOddRecordsStayWithinSixteenEvents)
{
    struct Case {
        uint32_t length;
        uint32_t events;
    } cases[] = {
        {6, 0},     // a lone byte after the header is no event
        {8, 1},     // one pair and a lone byte
        {39, 16},   // one pair too many
        {200, 16},  // far too long
    };
    for (const Case& c : cases) {
        Bytes record(c.length, 0x55);
        record[0] = 0;
        record[1] = record[2] = record[3] = 0;
        record[4] = ASSIGN_MACRO;
        CONFIG_BLOCK block = ValidDefaults();
        block.Macro[1][0] = {0x77, 0x77};  // the next button's first event
        ASSERT_TRUE(DecodeButtonValue(&block, BUTTON_LEFT, record.data(), c.length));
        EXPECT_EQ(block.MacroLength[0], c.events) << "length " << c.length;
        EXPECT_EQ(block.Macro[1][0].Code, 0x77u) << "length " << c.length;
        EXPECT_EQ(block.Macro[1][0].Flag, 0x77u) << "length " << c.length;
    }
}

TEST(ButtonValue, MacroSaveKeepsTheStoredHeader)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.MacroLength[0] = 1;
    block.Macro[0][0] = {0x42, 0};
    const uint8_t stored[] = {0x01, 0x00, 0x00, 0x00, 0x08, 0x99, 0x99};
    EXPECT_EQ(Encode(block, BUTTON_LEFT, stored), (Bytes{0x01, 0x00, 0x00, 0x00, 0x08, 0x42, 0x00}));
}

TEST(ButtonValue, ValueNames)
{
    char name[16];
    FormatButtonValueName(0, name);
    EXPECT_STREQ(name, "ButtonAssigned1");
    FormatButtonValueName(4, name);
    EXPECT_STREQ(name, "ButtonAssigned5");
}

TEST(ConfigStrings, StoredStringsAreCutToTheField)
{
    char field[CONFIG_PATH_SIZE];
    const std::string longPath(100, 'p');
    StoreConfigString(field, longPath.data(), longPath.size());
    EXPECT_EQ(strlen(field), 79u);

    // Written without a NUL, or with one inside: both read up to the text.
    StoreConfigString(field, "C:\\Vexon", 8);
    EXPECT_STREQ(field, "C:\\Vexon");
    StoreConfigString(field, "ab\0cd", 5);
    EXPECT_STREQ(field, "ab");

    memset(field, 'q', sizeof(field));  // a field from the wire with no NUL
    EXPECT_EQ(ConfigStringLength(field), 79u);
}

struct SavedValue {
    std::string name;
    uint32_t type;
    Bytes data;
};

void Record(void* context, const CONFIG_VALUE& value)
{
    static_cast<std::vector<SavedValue>*>(context)->push_back(
        {value.Name, value.Type, Bytes(value.Data, value.Data + value.Length)});
}

std::vector<SavedValue> Save(const CONFIG_BLOCK& block, uint32_t save)
{
    std::vector<SavedValue> values;
    ForEachSavedValue(&block, save, Record, &values);
    return values;
}

std::vector<std::string> Names(const std::vector<SavedValue>& values)
{
    std::vector<std::string> names;
    for (const SavedValue& v : values)
        names.push_back(v.name);
    return names;
}

TEST(ConfigSave, FullSaveOrder)
{
    const std::vector<std::string> expected = {
        "OFASensitivityEnabled", "OFASensitivityViewable", "DoubleClickSpeed", "VexonSpeedX",
        "VexonSpeedY", "Acceleration", "ScrollWheelSpeed", "UniversalScrollEnabled",
        "UniversalScrollSpeed", "Orientation", "PS2RateEnabled", "PS2Rate", "OFAScaleEnabled",
        "TrayEnabled", "AccelerationEnabled", "XYSensitivityEnabled", "ProgramOFA", "VexonPath",
        "ProgramTray", "ButtonAssigned1", "ButtonAssigned2", "ButtonAssigned3",
        "ButtonAssigned4", "ButtonAssigned5"};
    EXPECT_EQ(Names(Save(ValidDefaults(), SAVE_FULL)), expected);
}

TEST(ConfigSave, TraySaveOrder)
{
    const std::vector<std::string> expected = {
        "OFASensitivityEnabled", "OFASensitivityViewable", "UniversalScrollEnabled",
        "TrayEnabled", "ButtonAssigned1", "ButtonAssigned2", "ButtonAssigned3",
        "ButtonAssigned4", "ButtonAssigned5"};
    EXPECT_EQ(Names(Save(ValidDefaults(), SAVE_TRAY)), expected);
}

TEST(ConfigSave, ValueForms)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.VexonSpeedX = 0x0A0B0C0D;
    strcpy(block.ProgramOFA, "C:\\Vexon\\vexonofa.exe");
    const std::vector<SavedValue> values = Save(block, SAVE_FULL);
    for (const SavedValue& v : values) {
        if (v.name == "VexonSpeedX") {
            EXPECT_EQ(v.type, uint32_t(CONFIG_VALUE_DWORD));
            EXPECT_EQ(v.data, (Bytes{0x0D, 0x0C, 0x0B, 0x0A}));
        } else if (v.name == "ProgramOFA") {
            EXPECT_EQ(v.type, uint32_t(CONFIG_VALUE_SZ));
            // Written without the terminating NUL in the length.
            EXPECT_EQ(std::string(v.data.begin(), v.data.end()), "C:\\Vexon\\vexonofa.exe");
        } else if (v.name == "VexonPath") {
            EXPECT_TRUE(v.data.empty());
        } else if (v.name == "ButtonAssigned4") {
            EXPECT_EQ(v.type, uint32_t(CONFIG_VALUE_BINARY));
            EXPECT_EQ(v.data, (Bytes{0x00, 0x00, 0x00, 0x02, 0x02}));
        }
    }
}

TEST(ConfigSchema, EveryDwordFieldIsNamedOnce)
{
    // Every word between the known non-DWORD areas has exactly one entry,
    // and its name is the field's registry name.
    EXPECT_EQ(CONFIG_DWORD_VALUE_COUNT, 17);
    EXPECT_STREQ(FindDwordValue(offsetof(CONFIG_BLOCK, VexonSpeedY))->Name, "VexonSpeedY");
    EXPECT_STREQ(FindDwordValue(offsetof(CONFIG_BLOCK, OFASensitivity))->Name, "OFASensitivity");
    EXPECT_EQ(FindDwordValue(offsetof(CONFIG_BLOCK, Result)), nullptr);
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        for (int j = i + 1; j < CONFIG_DWORD_VALUE_COUNT; ++j)
            EXPECT_NE(CONFIG_DWORD_VALUES[i].Offset, CONFIG_DWORD_VALUES[j].Offset);
}

}  // namespace
