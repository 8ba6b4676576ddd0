#include "scenario_text.h"

#include <stdio.h>

#include <sstream>

namespace {

const struct {
    const char* name;
    uint16_t flag;
} FLAG_NAMES[] = {
    {"MOUSE_LEFT_BUTTON_DOWN", MOUSE_LEFT_BUTTON_DOWN},
    {"MOUSE_LEFT_BUTTON_UP", MOUSE_LEFT_BUTTON_UP},
    {"MOUSE_RIGHT_BUTTON_DOWN", MOUSE_RIGHT_BUTTON_DOWN},
    {"MOUSE_RIGHT_BUTTON_UP", MOUSE_RIGHT_BUTTON_UP},
    {"MOUSE_MIDDLE_BUTTON_DOWN", MOUSE_MIDDLE_BUTTON_DOWN},
    {"MOUSE_MIDDLE_BUTTON_UP", MOUSE_MIDDLE_BUTTON_UP},
    {"MOUSE_BUTTON_4_DOWN", MOUSE_BUTTON_4_DOWN},
    {"MOUSE_BUTTON_4_UP", MOUSE_BUTTON_4_UP},
    {"MOUSE_BUTTON_5_DOWN", MOUSE_BUTTON_5_DOWN},
    {"MOUSE_BUTTON_5_UP", MOUSE_BUTTON_5_UP},
    {"MOUSE_WHEEL", MOUSE_WHEEL},
};

const char* const SLOT_NAMES[SLOT_COUNT] = {"SLOT_CONFIG", "SLOT_TRAY", "SLOT_OFA",
                                            "SLOT_MOUSEWHEEL"};

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%x", value);
    return text;
}

std::string FlagNames(uint16_t flags)
{
    std::string names;
    for (const auto& entry : FLAG_NAMES) {
        if (!(flags & entry.flag))
            continue;
        names += names.empty() ? "" : "|";
        names += entry.name;
        flags &= uint16_t(~entry.flag);
    }
    if (flags)
        names += (names.empty() ? "" : "|") + Hex(flags);
    return names.empty() ? "0" : names;
}

int DigitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::vector<std::string> ScenarioWords(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

bool ParseScenarioNumber(const std::string& text, int64_t* value)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    int base = 10;
    if (text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size() || text.size() - i > 16)
        return false;
    int64_t result = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            return false;
        result = result * base + digit;
    }
    *value = negative ? -result : result;
    return true;
}

bool ParseScenarioFlags(const std::string& text, uint16_t* flags, std::string* badName)
{
    int64_t value = 0;
    if (ParseScenarioNumber(text, &value)) {
        *flags = uint16_t(value);
        return value >= 0 && value <= 0xFFFF;
    }
    uint16_t result = 0;
    std::istringstream names(text);
    std::string name;
    while (std::getline(names, name, '|')) {
        bool known = false;
        for (const auto& entry : FLAG_NAMES)
            if (name == entry.name) {
                result |= entry.flag;
                known = true;
            }
        if (!known) {
            if (badName)
                *badName = name;
            return false;
        }
    }
    *flags = result;
    return true;
}

bool ParseScenarioSlot(const std::string& text, int64_t* slot)
{
    for (uint32_t i = 0; i < SLOT_COUNT; ++i)
        if (text == SLOT_NAMES[i]) {
            *slot = i;
            return true;
        }
    return ParseScenarioNumber(text, slot);
}

std::string PacketLine(const MOUSE_INPUT_DATA& p)
{
    std::ostringstream line;
    line << "packet unit=" << p.UnitId << " flags=" << FlagNames(p.ButtonFlags)
         << " data=" << int16_t(p.ButtonData) << " x=" << p.LastX << " y=" << p.LastY;
    return line.str();
}

std::string EventLine(const DRIVER_EVENT& e)
{
    return "event hwnd=" + Hex(e.hWnd) + " msg=" + Hex(e.Message) + " wparam=" + Hex(e.wParam) +
           " lparam=" + Hex(e.lParam);
}

std::string ReportLine(const uint8_t* bytes, uint32_t length)
{
    std::string line = "report";
    for (uint32_t i = 0; i < length; ++i) {
        char byte[8];
        snprintf(byte, sizeof(byte), " 0x%02x", bytes[i]);
        line += byte;
    }
    return line;
}
