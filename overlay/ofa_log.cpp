// The diagnostic log: "vexon_ofa_log.txt" with "/log", else the null
// device. Opened as a text file, so every "\n" becomes CR LF.
#include <stdarg.h>
#include <string.h>

#include "ofa_program.h"

namespace {

FILE* logFile = nullptr;

}  // namespace

bool initLog(bool toFile)
{
    logFile = fopen(toFile ? OFA_LOG_FILE : "nul", "w");
    OfaLogLocalTime("\n\n\ninitLog : --- %04d-%02d-%02d %02d:%02d:%02d.%04d --- Log started.");
    OfaLog("\ninitLog : Current resolution: %4d x %4d x %4d", currentDisplayMode.width,
           currentDisplayMode.height, currentDisplayMode.bitsPerPixel);
    OfaLog("\ninitLog : bWindows2000Detected = %s", bWindows2000Detected ? "TRUE" : "FALSE");
    FlushLog();
    return logFile != nullptr;
}

void OfaLog(const char* format, ...)
{
    if (!logFile)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(logFile, format, args);
    va_end(args);
}

void OfaLogLocalTime(const char* format)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    OfaLog(format, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
           now.wMilliseconds);
}

void FlushLog()
{
    if (logFile)
        fflush(logFile);
}

void CloseLog()
{
    if (logFile)
        fclose(logFile);
    logFile = nullptr;
}

void SystemErrorText(DWORD error, char (&text)[101])
{
    text[0] = '\0';
    char* message = nullptr;
    // The system allocates, so a long message cannot overflow; it is cut to
    // fit and its line break dropped (the log line goes on after it).
    if (FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr) == 0)
        return;
    strncpy(text, message, sizeof(text) - 1);
    text[sizeof(text) - 1] = '\0';
    LocalFree(message);
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
        text[--length] = '\0';
}
