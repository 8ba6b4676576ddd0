// The overlay as a program: its log, line for line, its single instance,
// its switches and its test keys.
//   overlay_log_test.exe VEXONOFA.EXE STANDIN.DLL [gtest options]
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "overlay_harness.h"

namespace {

const char* const PICTURES[] = {
    "OFA010", "OFA015", "OFA020", "OFA025", "OFA030", "OFA035", "OFA040", "OFA045",
    "OFA050", "OFA055", "OFA060", "OFA065", "OFA070", "OFA075", "OFA080", "OFA085",
    "OFA090", "OFA095", "OFA100", "OFAGREEN", "OFAGREY", "OFALABELX", "OFALABELY", "OFALABEL0"};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream stream(text);
    std::string line;
    while (std::getline(stream, line, '\n'))
        lines.push_back(line);
    return lines;
}

// The log's lines with time stamps and the system's error text masked,
// without the once-a-second time lines, and with each run of identical
// drawing lines kept once.
std::vector<std::string> MaskedLines(const std::string& log)
{
    static const std::regex stamp("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{4}");
    static const std::regex error("\\(Error: [^)]*\\) $");
    std::vector<std::string> lines;
    for (std::string line : Lines(log)) {
        line = std::regex_replace(line, stamp, "<TIME>");
        line = std::regex_replace(line, error, "(Error: <TEXT>) ");
        if (line == "         --- <TIME> ---")
            continue;
        if (line.rfind("PaintOFA", 0) == 0 && !lines.empty() && lines.back() == line)
            continue;
        lines.push_back(line);
    }
    return lines;
}

std::string Format(const char* format, int a, int b, int c)
{
    char line[256];
    snprintf(line, sizeof(line), format, a, b, c);
    return line;
}

void AddModeLookup(std::vector<std::string>* lines, const char* service, bool stored,
                   const ScreenMode& mode)
{
    const std::string key = std::string("System\\CurrentControlSet\\Services\\") + service + "\\DEVICE0";
    lines->insert(lines->end(), {"setupOFAForCurrentDisplayMode: Entering.",
                                 "getCurrentConfigDisplayMode : Entering.",
                                 "getDisplayAdapterKey : Entering.",
                                 "getDisplayAdapterKey : Exiting. (" + key + ")",
                                 "getCurrentConfigDisplayMode : sDisplayAdapterKey = " + key});
    if (!stored) {
        lines->insert(lines->end(),
                      {"ReadRegistryValue : FAIL : Unable to open key " + key,
                       "getCurrentConfigDisplayMode: Could not get value XResolution from Registry."});
    } else {
        for (const char* value : {"DefaultSettings.XResolution", "DefaultSettings.YResolution",
                                  "DefaultSettings.BitsPerPel"})
            lines->insert(lines->end(), {"ReadRegistryValue : SUCCESS : Opened key " + key,
                                         std::string("ReadRegistryValue : SUCCESS : Read value ") + value});
        lines->insert(lines->end(),
                      {Format("getCurrentConfigDisplayMode : Exiting. (%d x %d x %d)", mode.width,
                              mode.height, mode.bitsPerPixel),
                       "WndProc: vidmode passed by WM_DISPLAYCHANGE *is* vidmode in registry.  "
                       "*Will* repaint on hide.",
                       "WndProc: (Guessing that display mode change was done *in Windows*.)",
                       Format("WndProc: vidmode in Registry           : %4d x %4d x %4d",
                              mode.width, mode.height, mode.bitsPerPixel),
                       Format("WndProc: vidmode from WM_DISPLAYCHANGE : %4d x %4d x %4d",
                              mode.width, mode.height, mode.bitsPerPixel)});
    }
    lines->push_back("setupOFAForCurrentDisplayMode: Exiting. (OFA OK to show in this mode.)");
}

std::vector<std::string> ExpectedStartLines(const ScreenMode& mode)
{
    std::vector<std::string> lines = {
        "", "", "", "initLog : --- <TIME> --- Log started.",
        Format("initLog : Current resolution: %4d x %4d x %4d", mode.width, mode.height,
               mode.bitsPerPixel),
        "initLog : bWindows2000Detected = TRUE", "initGfx : Entering."};
    for (const char* picture : PICTURES)
        lines.push_back(std::string("initGfx : Loaded ") + picture + ".");
    lines.push_back("initGfx : Exiting. (TRUE) Bitmaps loaded successfully.");
    // Before the display library has named the service.
    AddModeLookup(&lines, "UNKNOWN", false, mode);
    lines.insert(lines.end(), {"WinMain: initWin... ", "initWin: Value of bHideFromTaskbar is TRUEOK.",
                               "doDXStuff : Entering.",
                               "doDXStuff : sActiveDisplayServiceName = " STANDIN_SERVICE,
                               "doDXStuff : Exiting."});
    AddModeLookup(&lines, STANDIN_SERVICE, true, mode);
    lines.insert(lines.end(), {"initVXD: Trying CreateFile(vexon.vxd).", "initVXD: CreateFile failed.",
                               "initVXD: VXD not loaded. (Error: <TEXT>) ",
                               "WinMain: Starting main message loop..."});
    return lines;
}

std::vector<std::string> ExpectedCloseLines()
{
    std::vector<std::string> lines = {"WndProc: OFA_CLOSE received.", "WndProc: WM_CLOSE received.",
                                      "endGame : Unloading bitmaps."};
    for (const char* picture : PICTURES)
        lines.push_back(std::string("OFA_BITMAP::~OFA_BITMAP : Destructor called for ") + picture + ".");
    lines.insert(lines.end(), {"endGame: Closing logfile.", "endGame: Program ended.",
                               "endGame: --- <TIME> --- Log ended."});
    return lines;
}

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    for (size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const std::string a = i < actual.size() ? actual[i] : "<missing>";
        const std::string e = i < expected.size() ? expected[i] : "<none>";
        ASSERT_EQ(a, e) << "line " << i + 1;
    }
}

class OverlayLog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StoreRegistryMode(CurrentScreenMode())); }
    OverlayRun overlay_;
};

TEST_F(OverlayLog, StartShowHideAndCloseWriteTheirLinesWithCrLf)
{
    ASSERT_TRUE(overlay_.Start("/log /enabled"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    overlay_.Command(OFA_SHOW, 0x80000305u);
    ASSERT_TRUE(overlay_.WaitForLog("\nPaintOFA : SX = 5, SY = 3, MM = OFA_MMDOUBLEBAR"));
    overlay_.Command(OFA_HIDE, 0);
    ASSERT_TRUE(overlay_.WaitForLog("\nWndProc: OFA_HIDE received."));
    ASSERT_EQ(overlay_.Close(), 0u);

    const std::string raw = overlay_.RawLog();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "a line ends without CR at byte " << i;
        }
    }
    EXPECT_NE(raw.back(), '\n');
    EXPECT_NE(raw.find("\r\n         --- "), std::string::npos) << "no time line";

    std::vector<std::string> expected = ExpectedStartLines(CurrentScreenMode());
    expected.insert(expected.end(),
                    {"WndProc: OFA_SHOW received. (lParam = 80000305)", "WndProc: OK to show OFA.",
                     "WndProc : OFA_SHOW : bErrorSavingRectUnderOFA = FALSE (OK)",
                     "WndProc : OFA_SHOW : ofa.MeterMode = OFA_MMDOUBLEBAR",
                     "WndProc : OFA_SHOW : lParam = 80000305, sx = 5, sy = 3",
                     "PaintOFA : SX = 5, SY = 3, MM = OFA_MMDOUBLEBAR",
                     "WndProc: OFA_HIDE received."});
    const auto close = ExpectedCloseLines();
    expected.insert(expected.end(), close.begin(), close.end());
    ExpectLines(MaskedLines(overlay_.Log()), expected);
}

TEST_F(OverlayLog, ValuesAboveEighteenLeaveThePreviousOnes)
{
    ASSERT_TRUE(overlay_.Start("/log"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    overlay_.Command(OFA_SHOW, 0x00001312u);
    ASSERT_TRUE(overlay_.WaitForLog("\nPaintOFA : SX = 18, SY = 3, MM = OFA_MMSINGLEBAR"));
    overlay_.Command(OFA_SHOW, 0x00000019u);
    ASSERT_TRUE(overlay_.WaitForLog("lParam = 00000019, sx = 25, sy = 0\nPaintOFA : SX = 18, SY = 0, MM = OFA_MMSINGLEBAR"));
    EXPECT_EQ(overlay_.Log().find("SX = 25"), std::string::npos);
    EXPECT_EQ(overlay_.Close(), 0u);
}

TEST_F(OverlayLog, ASecondCopyEndsWithCodeOneAndWritesNoLog)
{
    ASSERT_TRUE(overlay_.Start("/log"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    OverlayRun second;
    ASSERT_TRUE(second.Start("/log"));
    EXPECT_EQ(second.WaitForExit(), 1u);
    EXPECT_FALSE(second.LogExists());
    EXPECT_EQ(overlay_.Close(), 0u);
}

TEST_F(OverlayLog, RefreshOfFiftyDrawsAtMostTwentyTimesASecond)
{
    ASSERT_TRUE(overlay_.Start("/refresh 50 /log"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    overlay_.Command(OFA_SHOW, 0x00000005u);
    // Three time lines: the drawing between the second and the third fills
    // a whole second.
    ASSERT_TRUE(WaitFor([this] {
        const std::string log = overlay_.Log();
        const size_t show = log.find("OFA_SHOW received");
        size_t stamps = 0;
        for (size_t at = log.find("\n         --- ", show); at != std::string::npos;
             at = log.find("\n         --- ", at + 1))
            ++stamps;
        return show != std::string::npos && stamps >= 3;
    }));
    const std::vector<std::string> lines = Lines(overlay_.Log());
    int stamps = 0, paints = 0;
    bool counting = false;
    for (const std::string& line : lines) {
        if (line.find("OFA_SHOW received") != std::string::npos)
            counting = true;
        if (!counting)
            continue;
        if (line.rfind("         --- ", 0) == 0) {
            ++stamps;
            if (stamps == 3)
                break;
        } else if (stamps == 2 && line.rfind("PaintOFA", 0) == 0) {
            ++paints;
        }
    }
    EXPECT_GT(paints, 0);
    EXPECT_LE(paints, 21);  // a timer never runs faster than its interval
    EXPECT_EQ(overlay_.Close(), 0u);
}

TEST_F(OverlayLog, RefreshWithoutANumberStillStartsAndDraws)
{
    for (const char* args : {"/refresh 0 /log", "/refresh x /log", "/log /refresh"}) {
        OverlayRun run;
        ASSERT_TRUE(run.Start(args));
        ASSERT_TRUE(run.WaitForWindow()) << args;
        run.Command(OFA_SHOW, 0x00000009u);
        EXPECT_TRUE(run.WaitForLog("\nPaintOFA : SX = 9, SY = 0")) << args;
        EXPECT_EQ(run.Close(), 0u) << args;
    }
}

TEST_F(OverlayLog, TestKeysCountBetweenZeroAndEighteenOnlyWithTheTestSwitch)
{
    ASSERT_TRUE(overlay_.Start("/log /test"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    for (int i = 0; i < 15; ++i)
        overlay_.Post(WM_KEYDOWN, VK_UP, 0);
    for (int i = 0; i < 20; ++i)
        overlay_.Post(WM_KEYDOWN, VK_DOWN, 0);
    overlay_.Post(WM_KEYDOWN, VK_F2, 0);
    ASSERT_TRUE(overlay_.WaitForLog("\nWndProc: OFA_HIDE received."));
    std::string keys;
    for (const std::string& line : Lines(overlay_.Log()))
        if (line.rfind("WndProc: Pressed ", 0) == 0)
            keys += line.substr(17, line.find(',') - 17) + line.substr(line.find("= ") + 1) + ";";
    std::string expected;
    for (int v = 6; v <= 18; ++v)
        expected += "UP " + std::to_string(v) + ";";
    for (int v = 17; v >= 0; --v)
        expected += "DOWN " + std::to_string(v) + ";";
    EXPECT_EQ(keys, expected);
    EXPECT_NE(overlay_.Log().find("OFA_SHOW received. (lParam = 00000012)"), std::string::npos);
    EXPECT_NE(overlay_.Log().find("OFA_SHOW received. (lParam = 00000000)"), std::string::npos);
    overlay_.Post(WM_KEYDOWN, VK_F12, 0);
    EXPECT_EQ(overlay_.WaitForExit(), 0u);
}

TEST_F(OverlayLog, WithoutTheTestSwitchOnlyTheOtherKeysWork)
{
    ASSERT_TRUE(overlay_.Start("/log"));
    ASSERT_TRUE(overlay_.WaitForWindow());
    overlay_.Command(OFA_SHOW, 0x00000007u);
    overlay_.Post(WM_KEYDOWN, VK_UP, 0);
    overlay_.Post(WM_KEYDOWN, VK_F2, 0);
    overlay_.Post(WM_KEYDOWN, VK_F1, 0);  // shows the last X value again
    ASSERT_TRUE(overlay_.WaitForLog("\nWndProc: OFA_HIDE received.\nWndProc: OFA_SHOW received. (lParam = 00000007)"));
    EXPECT_EQ(overlay_.Log().find("Pressed UP"), std::string::npos);
    overlay_.Post(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(overlay_.WaitForExit(), 0u);
    EXPECT_NE(overlay_.Log().find("\nWndProc: WM_CLOSE received.\nendGame : Unloading bitmaps."),
              std::string::npos);
}

TEST_F(OverlayLog, AnUnterminatedLongServiceNameIsCutAndLeavesTheModeUnread)
{
    SetEnvironmentVariableA("VEXON_STANDIN_SERVICE", std::string(300, 'A').c_str());
    ASSERT_TRUE(overlay_.Start("/log"));
    SetEnvironmentVariableA("VEXON_STANDIN_SERVICE", nullptr);
    ASSERT_TRUE(overlay_.WaitForWindow());
    ASSERT_TRUE(overlay_.WaitForLog("\nWinMain: Starting main message loop..."));
    const std::string log = overlay_.Log();
    EXPECT_NE(log.find("\ndoDXStuff : sActiveDisplayServiceName = " + std::string(255, 'A') +
                       "\ndoDXStuff : Exiting.\nsetupOFAForCurrentDisplayMode: Entering."
                       "\ngetCurrentConfigDisplayMode : Entering.\ngetDisplayAdapterKey : Entering."
                       "\nsetupOFAForCurrentDisplayMode: Exiting."),
              std::string::npos)
        << log;
    EXPECT_EQ(overlay_.Close(), 0u);
}

// Run under Wine's Windows 98 setting: no display library, the mode from
// the string values of "Display\Settings", the Windows 98 driver's path.
class OverlayWindows98 : public ::testing::Test {
protected:
    static void SetSettings(const char* resolution, const char* bits)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_CONFIG, "Display\\Settings", 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegDeleteValueA(key, "Resolution");
        if (resolution)
            RegSetValueExA(key, "Resolution", 0, REG_SZ, reinterpret_cast<const BYTE*>(resolution),
                           static_cast<DWORD>(strlen(resolution) + 1));
        RegSetValueExA(key, "BitsPerPixel", 0, REG_SZ, reinterpret_cast<const BYTE*>(bits),
                       static_cast<DWORD>(strlen(bits) + 1));
        RegCloseKey(key);
    }

    std::string RunUntilLoop()
    {
        OverlayRun run;
        EXPECT_TRUE(run.Start("/log"));
        EXPECT_TRUE(run.WaitForWindow());
        EXPECT_TRUE(run.WaitForLog("\nWinMain: Starting main message loop..."));
        EXPECT_EQ(run.Close(), 0u);
        return run.Log();
    }
};

TEST_F(OverlayWindows98, ReadsTheModeFromTheDisplaySettingsStrings)
{
    const ScreenMode mode = CurrentScreenMode();
    const std::string resolution = std::to_string(mode.width) + "," + std::to_string(mode.height);
    SetSettings(resolution.c_str(), std::to_string(mode.bitsPerPixel).c_str());
    const std::string log = RunUntilLoop();
    EXPECT_NE(log.find("\ninitLog : bWindows2000Detected = FALSE"), std::string::npos);
    EXPECT_EQ(log.find("doDXStuff"), std::string::npos);
    const std::string lookup =
        "\ngetCurrentConfigDisplayMode : Entering."
        "\ngetCurrentConfigDisplayMode : Got \\Display\\Settings\\Resolution from Registry."
        "\ngetCurrentConfigDisplayMode : Got \\Display\\Settings\\BitsPerPixel from Registry." +
        Format("\ngetCurrentConfigDisplayMode : Exiting. (%d x %d x %d)", mode.width, mode.height,
               mode.bitsPerPixel) +
        "\nWndProc: vidmode passed by WM_DISPLAYCHANGE *is* vidmode in registry.";
    EXPECT_NE(log.find(lookup), std::string::npos) << log;
    EXPECT_NE(log.find("\ninitVXD: Trying CreateFile(vexon.vxd).\ninitVXD: CreateFile failed."),
              std::string::npos);
}

TEST_F(OverlayWindows98, AMissingResolutionIsLoggedAndRepaintKept)
{
    SetSettings(nullptr, "32");
    const std::string log = RunUntilLoop();
    EXPECT_NE(log.find("\ngetCurrentConfigDisplayMode : Entering."
                       "\nReadStringValue: Unable to open value Resolution"
                       "\ngetCurrentConfigDisplayMode: Could not get value from Registry."
                       "\nsetupOFAForCurrentDisplayMode: Exiting."),
              std::string::npos)
        << log;
}

TEST_F(OverlayWindows98, AResolutionThatIsNoNumberPairIsNotUsed)
{
    SetSettings("wide", "32");
    const std::string log = RunUntilLoop();
    EXPECT_NE(log.find("\ngetCurrentConfigDisplayMode : Got \\Display\\Settings\\Resolution from Registry."
                       "\nsetupOFAForCurrentDisplayMode: Exiting."),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("vidmode"), std::string::npos);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunOverlayTests(argc, argv);
}
