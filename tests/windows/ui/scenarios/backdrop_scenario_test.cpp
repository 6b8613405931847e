// The backdrop window of the running setup program: retitled with the
// application's name, painted on the screen as the gradient with the shadowed
// title and the credit line, held in place once shown, and ending the
// program when it receives WM_DESTROY.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "driver/screen_capture.h"
#include "driver/wait.h"
#include "driver/window_finder.h"
#include "setup_run.h"

namespace kqscenario {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

class Backdrop : public SetupRun {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SetupRun::SetUp());
        ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
        backdrop_ = kqgui::FindVisibleWindow(pid(), "Install");
        ASSERT_NE(backdrop_, nullptr);
    }

    HWND backdrop_ = nullptr;
};

// Band k of a client area H pixels high: rows k*h .. k*h+h-1 with h = max(H/220, 1).
int BandHeight(int client_height) {
    return std::max(client_height / 220, 1);
}

COLORREF BandColour(int band) {
    return RGB(0, 0, std::max(255 - band, 0));
}

int CountColour(const kqgui::Screenshot& shot, RECT area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (shot.At(x, y) == colour) ++count;
    return count;
}

TEST_F(Backdrop, IsTitledWithTheApplicationAndPaintsGradientTitleAndCredit) {
    EXPECT_EQ(kqgui::TextOf(backdrop_), kTitle);
    EXPECT_EQ(kqgui::ClassOf(backdrop_), "Install");

    RECT client{};
    GetClientRect(backdrop_, &client);
    POINT origin{0, 0};
    ClientToScreen(backdrop_, &origin);
    const int height = client.bottom;
    const int band_height = BandHeight(height);
    const int bands = (height + band_height - 1) / band_height;
    ASSERT_GT(height, 400) << "the screen is too small for the title";

    // The wizard covers the top left; sample the bands near the right edge.
    const int sample_x = origin.x + client.right - 8;
    const auto band_row = [&](int band) { return origin.y + band * band_height + band_height / 2; };
    kqgui::Screenshot shot;
    const bool painted = kqgui::WaitUntil([&] {
        shot = kqgui::CaptureScreen();
        return shot.At(sample_x, band_row(0)) == BandColour(0) &&
               shot.At(sample_x, band_row(bands - 1)) == BandColour(bands - 1) &&
               CountColour(shot, {origin.x, origin.y + 326, origin.x + client.right, origin.y + 380}, kWhite) > 0;
    });
    kqgui::WritePng(shot, std::string(KQ_UI_ARTEFACT_DIR) + "/backdrop.png");
    ASSERT_TRUE(painted) << "backdrop not painted as expected; see artefacts/backdrop.png";

    for (int band : {0, 1, 2, 50, 128, 200, bands - 2, bands - 1})
        EXPECT_EQ(shot.At(sample_x, band_row(band)), BandColour(band)) << "band " << band << " of " << bands;
    // Band edges: the last row of a band and the first of the next.
    EXPECT_EQ(shot.At(sample_x, origin.y + 10 * band_height - 1), BandColour(9));
    EXPECT_EQ(shot.At(sample_x, origin.y + 10 * band_height), BandColour(10));
    // Only a client area of 256 bands or more reaches black (a 768-pixel client
    // height does; on a 768-pixel screen the caption takes some of it).
    if (bands > 255) {
        EXPECT_EQ(shot.At(sample_x, origin.y + height - 1), RGB(0, 0, 0));
    }

    // The title: white letters with a dark red shadow between rows 326 and 380,
    // nothing of either colour just above them.
    const RECT title = {origin.x + client.right / 4, origin.y + 326, origin.x + client.right * 3 / 4, origin.y + 380};
    EXPECT_GT(CountColour(shot, title, kWhite), 200);
    EXPECT_GT(CountColour(shot, title, kDarkRed), 50);
    const RECT above = {title.left, origin.y + 280, title.right, origin.y + 325};
    EXPECT_EQ(CountColour(shot, above, kWhite) + CountColour(shot, above, kDarkRed), 0);
    // The credit line: white, from x 20 on, in the bottom 30 rows.
    const RECT credit = {origin.x + 20, origin.y + height - 30, origin.x + 400, origin.y + height - 10};
    EXPECT_GT(CountColour(shot, credit, kWhite), 100);
    const RECT left_of_credit = {origin.x, credit.top, origin.x + 19, credit.bottom};
    EXPECT_EQ(CountColour(shot, left_of_credit, kWhite), 0);
}

TEST_F(Backdrop, HoldsItsPlaceOnceShown) {
    RECT before{};
    GetWindowRect(backdrop_, &before);
    const auto unchanged = [&] {
        RECT now{};
        GetWindowRect(backdrop_, &now);
        return EqualRect(&now, &before) != FALSE;
    };
    ShowWindow(backdrop_, SW_MINIMIZE);
    EXPECT_TRUE(unchanged()) << "minimise";
    EXPECT_TRUE(IsWindowVisible(backdrop_));
    MoveWindow(backdrop_, 10, 10, 300, 300, TRUE);
    EXPECT_TRUE(unchanged()) << "move";
    SetWindowPos(backdrop_, HWND_TOP, 50, 60, 200, 100, SWP_SHOWWINDOW);
    EXPECT_TRUE(unchanged()) << "set position";
    ShowWindow(backdrop_, SW_HIDE);
    EXPECT_TRUE(unchanged()) << "hide";
    EXPECT_TRUE(IsWindowVisible(backdrop_)) << "a hide request is dropped with the rest";
}

TEST_F(Backdrop, DestroyMessageEndsTheProgramWithCodeZero) {
    PostMessageA(backdrop_, WM_DESTROY, 0, 0);
    ExpectCleanEnd();
}

}  // namespace
}  // namespace kqscenario
