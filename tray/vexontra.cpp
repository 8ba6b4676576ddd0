// vexontra: the tray program of the Vexon mouse suite.
#include <windows.h>
#include <stdlib.h>

#include "tray_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CTrayApp application(__argc, __argv);
    return application.Run();
}
