#include "application.h"

#include <algorithm>

namespace {

CApplication* g_application = nullptr;

}  // namespace

CApplication::CApplication()
{
    g_application = this;
}

CApplication::~CApplication()
{
    if (g_application == this)
        g_application = nullptr;
}

CApplication* CApplication::Instance()
{
    return g_application;
}

std::vector<std::string> CApplication::CommandLineSwitches(int argc, char** argv)
{
    std::vector<std::string> switches;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '/' || argv[i][0] == '-')
            switches.push_back(argv[i] + 1);
    return switches;
}

void CApplication::AddModelessDialog(HWND dialog)
{
    if (g_application)
        g_application->modelessDialogs_.push_back(dialog);
}

void CApplication::RemoveModelessDialog(HWND dialog)
{
    if (!g_application)
        return;
    std::vector<HWND>& dialogs = g_application->modelessDialogs_;
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

bool CApplication::IsModelessDialogMessage(MSG* msg)
{
    for (HWND dialog : modelessDialogs_)
        if (IsDialogMessageA(dialog, msg))
            return true;
    return false;
}

int CApplication::Run()
{
    if (!InitInstance())
        return ExitInstance(0);
    MSG msg;
    int exitCode = 0;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = int(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (IsModelessDialogMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance(exitCode);
}

std::string LoadResourceString(UINT id)
{
    char text[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return std::string(text, length > 0 ? size_t(length) : 0);
}
