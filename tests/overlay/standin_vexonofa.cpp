// Stand-in for the display helper library "vexonofa.dll", which is not part
// of the suite: it reports a display service name and does nothing else.
// The name is "VexonStandInDisplay", or the value of the environment
// variable VEXON_STANDIN_SERVICE when set; like a careless library it
// copies at most the buffer's size without making room for the terminator,
// so a long name tests that the caller does not rely on one.
#include <windows.h>

#include <string.h>

extern "C" int StandInStartDirectDraw(HWND) { return 1; }

extern "C" int StandInGetActiveDisplayServiceName(char* buffer, unsigned long size)
{
    char name[1024] = "VexonStandInDisplay";
    GetEnvironmentVariableA("VEXON_STANDIN_SERVICE", name, sizeof(name));
    strncpy(buffer, name, size);
    return 1;
}

extern "C" int StandInStopDirectDraw() { return 1; }
