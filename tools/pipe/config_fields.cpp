#include "config_fields.h"

#include <string.h>

#include "config_values.h"

namespace {

// Parses "[n]" at text, advancing it; false unless 0 <= n < limit.
bool ParseIndex(const char** text, int limit, int* index)
{
    const char* p = *text;
    if (*p++ != '[')
        return false;
    int value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 3) {
        value = value * 10 + (*p++ - '0');
        ++digits;
    }
    if (digits == 0 || *p++ != ']' || value >= limit)
        return false;
    *index = value;
    *text = p;
    return true;
}

uint32_t* FindArrayField(CONFIG_BLOCK* block, const char* name)
{
    const char* p;
    int i = 0;
    int k = 0;
    if (strncmp(name, "ButtonAssigned", 14) == 0) {
        p = name + 14;
        if (ParseIndex(&p, BUTTON_COUNT, &i) && *p == 0)
            return &block->ButtonAssigned[i];
    } else if (strncmp(name, "MacroLength", 11) == 0) {
        p = name + 11;
        if (ParseIndex(&p, BUTTON_COUNT, &i) && *p == 0)
            return &block->MacroLength[i];
    } else if (strncmp(name, "Macro", 5) == 0) {
        p = name + 5;
        if (ParseIndex(&p, BUTTON_COUNT, &i) && ParseIndex(&p, MACRO_MAX_EVENTS, &k)) {
            if (strcmp(p, ".Code") == 0)
                return &block->Macro[i][k].Code;
            if (strcmp(p, ".Flag") == 0)
                return &block->Macro[i][k].Flag;
        }
    }
    return nullptr;
}

}  // namespace

uint32_t* FindConfigField(CONFIG_BLOCK* block, const std::string& name)
{
    if (name == "Result")
        return &block->Result;
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        if (name == CONFIG_DWORD_VALUES[i].Name)
            return ConfigDword(block, CONFIG_DWORD_VALUES[i]);
    return FindArrayField(block, name.c_str());
}
