// vexon-settings: prints the settings as every program of the suite loads
// them (machine default, then the user's key, validated), one Name=Value a
// line. With /save it then writes them back to the user's key with the full
// save, as the tray and the customizer do when they start.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "config_values.h"
#include "registry_config.h"

namespace {

void PrintButton(const CONFIG_BLOCK& block, int button)
{
    char name[16];
    FormatButtonValueName(button, name);
    printf("%s=0x%03X", name, block.ButtonAssigned[button]);
    const uint32_t events = block.MacroLength[button];
    if (events)
        printf(" macro:");
    for (uint32_t k = 0; k < events && k < MACRO_MAX_EVENTS; ++k) {
        const MACRO_EVENT& e = block.Macro[button][k];
        printf(" %02X%s", e.Code & 0xFF, e.Flag ? "^" : "v");
    }
    printf("\n");
}

void PrintSettings(const CONFIG_BLOCK& block)
{
    for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
        printf("%s=%u\n", CONFIG_DWORD_VALUES[i].Name, *ConfigDword(&block, CONFIG_DWORD_VALUES[i]));
    for (int i = 0; i < CONFIG_STRING_VALUE_COUNT; ++i)
        printf("%s=%s\n", CONFIG_STRING_VALUES[i].Name, ConfigString(&block, CONFIG_STRING_VALUES[i]));
    for (int b = 0; b < BUTTON_COUNT; ++b)
        PrintButton(block, b);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool save = argc > 1 && (strcmp(argv[1], "/save") == 0 || strcmp(argv[1], "-save") == 0);
    if (argc > 1 && !save) {
        fprintf(stderr, "usage: vexon-settings [/save]\n");
        return 2;
    }
    CONFIG_BLOCK block;
    const int repaired = LoadConfig(&block);
    PrintSettings(block);
    if (save && WriteConfigKey(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, &block) != 0) {
        fprintf(stderr, "vexon-settings: cannot write HKEY_CURRENT_USER\\%s\n", CONFIG_USER_SUBKEY);
        return 1;
    }
    if (repaired)
        fprintf(stderr, "vexon-settings: some stored values were missing or illegal and were repaired\n");
    return 0;
}
