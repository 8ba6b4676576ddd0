// Run as "system_version_test VERSION" under Wine's version setting VERSION.
#include <gtest/gtest.h>

#include <string.h>

#include "system_version.h"

namespace {

const char* g_version = "";

struct Expected {
    const char* version;
    bool windows9x;
    DWORD major;
    DWORD minor;
};

const Expected EXPECTED[] = {
    {"win95", true, 4, 0},
    {"win98", true, 4, 10},
    {"nt40", false, 4, 0},
    {"win2k", false, 5, 0},
};

TEST(SystemVersion, MatchesWinesVersionSetting)
{
    const Expected* expected = nullptr;
    for (const Expected& e : EXPECTED)
        if (strcmp(e.version, g_version) == 0)
            expected = &e;
    ASSERT_NE(expected, nullptr) << "unknown version " << g_version;

    const SYSTEM_VERSION& v = GetSystemVersion();
    EXPECT_EQ(v.Windows9x, expected->windows9x);
    EXPECT_EQ(v.WindowsNT, !expected->windows9x);
    EXPECT_EQ(v.Major, expected->major);
    EXPECT_EQ(v.Minor, expected->minor);
    EXPECT_EQ(&GetSystemVersion(), &v);  // computed once
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        g_version = argv[1];
    return RUN_ALL_TESTS();
}
