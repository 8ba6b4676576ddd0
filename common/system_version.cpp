#include "system_version.h"

namespace {

SYSTEM_VERSION QuerySystemVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    SYSTEM_VERSION version = {};
    if (!GetVersionExA(&info))
        return version;
    version.Windows9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    version.WindowsNT = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    version.Major = info.dwMajorVersion;
    version.Minor = info.dwMinorVersion;
    return version;
}

}  // namespace

const SYSTEM_VERSION& GetSystemVersion()
{
    static const SYSTEM_VERSION version = QuerySystemVersion();
    return version;
}
