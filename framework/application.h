// The application object: start-up, the command line, the message loop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CWindow;

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    static CApplication* Instance();

    // Runs InitInstance, then the message loop until the quit message, then
    // ExitInstance; returns the exit code.
    int Run();

    // The window whose destruction ends the message loop.
    CWindow* m_pMainWnd = nullptr;

    // Every argument that starts with "/" or "-", without that prefix, in
    // order; the program name and other arguments are left out.
    static std::vector<std::string> CommandLineSwitches(int argc, char** argv);

    // Modeless dialogs get their keyboard navigation from the loop.
    static void AddModelessDialog(HWND dialog);
    static void RemoveModelessDialog(HWND dialog);

protected:
    // False ends the program at once (exit code 0).
    virtual bool InitInstance() = 0;
    virtual int ExitInstance(int exitCode) { return exitCode; }

private:
    bool IsModelessDialogMessage(MSG* msg);
    std::vector<HWND> modelessDialogs_;
};

// A string resource of this program, empty when missing.
std::string LoadResourceString(UINT id);
