// The overlay program's state.
#include "ofa_program.h"

OFA_DATA ofa;
bool bWindows2000Detected = false;
DISPLAY_MODE currentDisplayMode;
bool bHideFromTaskbar = true;
bool bLogging = false;
bool bTestKeys = false;
int fake_ofasensitivityvalue = 5;
bool bErrorSavingRectUnderOFA = false;
char sActiveDisplayServiceName[DISPLAY_SERVICE_NAME_SIZE + 1];
HANDLE hVXD = INVALID_HANDLE_VALUE;
HWND hWndOFA = nullptr;
std::unique_ptr<OFA_BITMAP> ofaBitmaps[OFA_PICTURE_COUNT];
bool bMeterInOwnWindow = false;
