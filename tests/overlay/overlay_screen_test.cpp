// The meter on the screen: where it is, what it shows, and how hiding puts
// back what it covered.
//   overlay_screen_test.exe VEXONOFA.EXE STANDIN.DLL [gtest options]
#include <gtest/gtest.h>

#include "overlay_harness.h"

namespace {

constexpr uint32_t SAVED = 0x8040C0;   // what the screen showed before the meter
constexpr uint32_t BEFORE = 0x2060A0;  // a window's colour before the meter
constexpr uint32_t AFTER = 0xC08020;   // its colour when it repaints afterwards

class OverlayScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        pictures_ = LoadOverlayPictures();
        ASSERT_EQ(pictures_.size(), 24u);
        for (const auto& picture : pictures_)
            ASSERT_EQ(picture.size(), 39u * 16u) << "a picture did not load";
        ASSERT_TRUE(StoreRegistryMode(CurrentScreenMode()));
        ASSERT_TRUE(overlay_.Start("/log"));
        ASSERT_TRUE(overlay_.WaitForWindow());
    }

    void TearDown() override { EXPECT_EQ(overlay_.Close(), 0u); }

    // Waits until the screen at (x, y) shows the meter.
    void ExpectMeter(int x, int y, bool twoBars, int sx, int sy)
    {
        const Shot expected = ExpectedMeter(pictures_, twoBars, sx, sy);
        std::string difference;
        WaitFor([&] {
            difference = CompareScreen(x, y, expected);
            return difference.empty();
        });
        EXPECT_EQ(difference, "");
    }

    // A game's mode change: the registry keeps the screen's mode.
    void SimulateGameMode(int width, int height, int x, int y)
    {
        overlay_.Post(WM_DISPLAYCHANGE, CurrentScreenMode().bitsPerPixel, MAKELPARAM(width, height));
        ASSERT_TRUE(WaitFor([&] {
            RECT rect;
            GetWindowRect(overlay_.Window(), &rect);
            return rect.left == x && rect.top == y;
        }));
    }

    std::vector<std::vector<uint32_t>> pictures_;
    OverlayRun overlay_;
};

TEST_F(OverlayScreen, TwoBarsAtTheCornerThenOneBarOnlyAsWideAsItself)
{
    overlay_.Command(OFA_SHOW, MakeOfaParam(5, 3, true));
    ExpectMeter(882, 400, true, 5, 3);

    overlay_.Command(OFA_HIDE, 0);
    ASSERT_TRUE(WaitFor([&] { return CaptureScreen(882, 400, 82, 326).pixels !=
                                     ExpectedMeter(pictures_, true, 5, 3).pixels; }));
    const Shot rightOfOneBar = CaptureScreen(925, 400, 39, 326);
    // X 18 is taken; Y 19 is out of range (and one bar shows no Y).
    overlay_.Command(OFA_SHOW, 0x00001312u);
    ExpectMeter(882, 400, false, 18, 0);
    EXPECT_EQ(CaptureScreen(925, 400, 39, 326).pixels, rightOfOneBar.pixels)
        << "the one-bar meter is wider than 43 pixels";
}

TEST_F(OverlayScreen, FurtherShowsWhileShowingUpdateTheValues)
{
    overlay_.Command(OFA_SHOW, MakeOfaParam(0, 18, true));
    ExpectMeter(882, 400, true, 0, 18);
    overlay_.Command(OFA_SHOW, MakeOfaParam(12, 7, true));
    ExpectMeter(882, 400, true, 12, 7);
    // Out-of-range values keep the ones shown.
    overlay_.Command(OFA_SHOW, MakeOfaParam(19, 255, true));
    overlay_.Command(OFA_SHOW, MakeOfaParam(19, 6, true));
    ExpectMeter(882, 400, true, 12, 6);
}

TEST_F(OverlayScreen, HideRepaintsTheScreenInTheRegistrysMode)
{
    ColourWindow below(850, 380, 150, 370, BEFORE);
    ASSERT_TRUE(WaitFor([] { return ScreenIsAll(882, 400, 82, 326, BEFORE); }));
    overlay_.Command(OFA_SHOW, MakeOfaParam(5, 3, true));
    ExpectMeter(882, 400, true, 5, 3);
    below.SetColour(AFTER);
    overlay_.Command(OFA_HIDE, 0);
    EXPECT_TRUE(WaitFor([] { return ScreenIsAll(882, 400, 82, 326, AFTER); }))
        << "the window below was not repainted";
}

TEST_F(OverlayScreen, HideAfterAGamesModeChangeRestoresTheSavedBackground)
{
    SimulateGameMode(640, 480, 522, 130);
    PaintScreen(522, 130, 82, 326, SAVED);
    ASSERT_TRUE(WaitFor([] { return ScreenIsAll(522, 130, 82, 326, SAVED); }));
    overlay_.Command(OFA_SHOW, MakeOfaParam(5, 3, true));
    ExpectMeter(522, 130, true, 5, 3);
    // Saving again now would save the meter itself.
    overlay_.Command(OFA_SHOW, MakeOfaParam(6, 4, true));
    ExpectMeter(522, 130, true, 6, 4);
    overlay_.Command(OFA_HIDE, 0);
    EXPECT_TRUE(WaitFor([] { return ScreenIsAll(522, 130, 82, 326, SAVED); }))
        << "the background under the meter was not restored";
}

TEST_F(OverlayScreen, TwoBarsAfterOneBarSaveAndRestoreTheirWholeWidth)
{
    SimulateGameMode(640, 480, 522, 130);
    overlay_.Command(OFA_SHOW, MakeOfaParam(5, 3, false));
    ExpectMeter(522, 130, false, 5, 3);
    overlay_.Command(OFA_HIDE, 0);
    // The saved background is made anew at the next mode change, while the
    // meter is one bar wide; the next show has two bars.
    SimulateGameMode(800, 600, 672, 243);
    PaintScreen(672, 243, 82, 326, SAVED);
    ASSERT_TRUE(WaitFor([] { return ScreenIsAll(672, 243, 82, 326, SAVED); }));
    overlay_.Command(OFA_SHOW, MakeOfaParam(5, 3, true));
    ExpectMeter(672, 243, true, 5, 3);
    overlay_.Command(OFA_HIDE, 0);
    EXPECT_TRUE(WaitFor([] { return ScreenIsAll(672, 243, 82, 326, SAVED); }));
}

TEST_F(OverlayScreen, HideWithoutAShowSinceTheModeChangeLeavesTheScreenAlone)
{
    SimulateGameMode(640, 480, 522, 130);
    PaintScreen(522, 130, 82, 326, SAVED);
    ASSERT_TRUE(WaitFor([] { return ScreenIsAll(522, 130, 82, 326, SAVED); }));
    overlay_.Command(OFA_HIDE, 0);
    // The log is flushed once a second, after the hide has been handled.
    ASSERT_TRUE(overlay_.WaitForLog("\nWndProc: OFA_HIDE received."));
    const size_t hide = overlay_.Log().find("OFA_HIDE received.");
    ASSERT_TRUE(WaitFor([&] { return overlay_.Log().find("\n         --- ", hide) != std::string::npos; }));
    EXPECT_TRUE(ScreenIsAll(522, 130, 82, 326, SAVED))
        << "an empty saved background was put on the screen";
}

struct Placement {
    int width, height, x, y;
};

TEST_F(OverlayScreen, TheWindowFollowsEachDisplayMode)
{
    const Placement modes[] = {
        {640, 480, 522, 130}, {800, 600, 672, 243}, {320, 200, 222, 16}, {1024, 768, 882, 400}};
    for (const Placement& mode : modes)
        SimulateGameMode(mode.width, mode.height, mode.x, mode.y);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunOverlayTests(argc, argv);
}
