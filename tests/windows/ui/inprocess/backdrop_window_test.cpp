// The backdrop window from the stub's code, in-process: how it is created and
// what it posts (the running program retitles it within its first message),
// and its picture painted into probe windows of chosen client heights, where
// every row of the gradient can be checked against the band formula.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "driver/screen_capture.h"
#include "startup/bounded_text.h"
#include "startup/text_buffers.h"
#include "ui/backdrop_paint.h"
#include "ui/backdrop_window.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

class BuffersForTheSuite : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(kq::AllocateTextBuffers()); }
    static void TearDownTestSuite() { kq::FreeTextBuffers(); }

    static void SetTexts(const char* name, const char* credit) {
        ASSERT_TRUE(kq::CopyText(kq::g_text.name, kq::kTextBufferSize, name));
        ASSERT_TRUE(kq::CopyText(kq::g_text.message, kq::kTextBufferSize, credit));
    }
};

using BackdropWindow = BuffersForTheSuite;

// Removes and returns the next posted message of this thread in [first, last].
bool TakePosted(MSG& message, UINT first, UINT last) {
    return PeekMessageA(&message, nullptr, first, last, PM_REMOVE) != FALSE;
}

// The only test that creates the real window: its position lock is process-wide.
TEST_F(BackdropWindow, IsCreatedFullScreenAsInstallAndPostsCommand100) {
    ASSERT_NO_FATAL_FAILURE(SetTexts("Widget Works", "Made by the tests"));
    ASSERT_EQ(kq::CreateBackdropWindow(GetModuleHandleA(nullptr), SW_HIDE), 1);
    const HWND window = FindWindowA("Install", "Install");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window)) << "visible whatever the show command";
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "an overlapped window";
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), reinterpret_cast<ULONG_PTR>(GetStockObject(LTGRAY_BRUSH)));
    EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u) << "icon 300 not loaded";

    MSG message;
    ASSERT_TRUE(TakePosted(message, WM_COMMAND, WM_COMMAND)) << "no command posted on creation";
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 100u);
    EXPECT_EQ(message.lParam, 0);

    // WM_DESTROY turns into the quit request with code 0.
    PostMessageA(window, WM_DESTROY, 0, 0);
    ASSERT_TRUE(TakePosted(message, WM_DESTROY, WM_DESTROY));
    DispatchMessageA(&message);
    ASSERT_TRUE(TakePosted(message, WM_QUIT, WM_QUIT));
    EXPECT_EQ(message.wParam, 0u);

    DestroyWindow(window);
    while (TakePosted(message, 0, 0)) {
    }
}

// A bare popup window whose client area is exactly the size asked for, painted
// by the backdrop's paint routine.
class ProbeWindow {
public:
    ProbeWindow(int width, int height) {
        WNDCLASSA probe_class{};
        probe_class.lpfnWndProc = Procedure;
        probe_class.hInstance = GetModuleHandleA(nullptr);
        probe_class.lpszClassName = "KqBackdropProbe";
        RegisterClassA(&probe_class);
        window_ = CreateWindowExA(0, "KqBackdropProbe", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        UpdateWindow(window_);
    }
    ~ProbeWindow() { DestroyWindow(window_); }
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    kqgui::Screenshot Picture() const { return kqgui::CaptureClient(window_); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message != WM_PAINT) return DefWindowProcA(window, message, wparam, lparam);
        kq::PaintBackdrop(window);
        return 0;
    }
    HWND window_ = nullptr;
};

int CountColour(const kqgui::Screenshot& shot, RECT area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (shot.At(x, y) == colour) ++count;
    return count;
}

struct GradientCase {
    int height;
    COLORREF bottom_row;  // the colour of the last pixel row at this height
};

class BackdropGradient : public BuffersForTheSuite, public testing::WithParamInterface<GradientCase> {};

// Every row down the right edge, away from the texts, has its band's blue.
TEST_P(BackdropGradient, EveryRowHasItsBandsBlue) {
    ASSERT_NO_FATAL_FAILURE(SetTexts("Widget Works", "Made by the tests"));
    const int height = GetParam().height;
    const ProbeWindow probe(640, height);
    const kqgui::Screenshot picture = probe.Picture();
    ASSERT_EQ(picture.height, height);
    const int band_height = std::max(height / 220, 1);
    for (int y = 0; y < height; ++y) {
        const COLORREF expected = RGB(0, 0, std::max(255 - y / band_height, 0));
        ASSERT_EQ(picture.At(635, y), expected) << "row " << y << " of " << height;
    }
    EXPECT_EQ(picture.At(635, height - 1), GetParam().bottom_row);
}

INSTANTIATE_TEST_SUITE_P(ClientHeights, BackdropGradient,
                         testing::Values(GradientCase{768, RGB(0, 0, 0)},   // 256 bands of 3, the last black
                                         GradientCase{600, RGB(0, 0, 0)},   // bands 255 to 299 black
                                         GradientCase{480, RGB(0, 0, 16)},  // 240 bands, the last still blue
                                         GradientCase{200, RGB(0, 0, 56)}),  // bands of 1 pixel
                         [](const testing::TestParamInfo<GradientCase>& param_info) {
                             return "Height" + std::to_string(param_info.param.height);
                         });

using BackdropTexts = BuffersForTheSuite;

TEST_F(BackdropTexts, TitleIsShadowedBetweenRows326And380AndCreditAtTheBottomLeft) {
    ASSERT_NO_FATAL_FAILURE(SetTexts("Widget Works", "Made by the tests"));
    const ProbeWindow probe(640, 600);
    const kqgui::Screenshot picture = probe.Picture();
    const RECT title = {0, 326, 640, 380};
    EXPECT_GT(CountColour(picture, title, kWhite), 200);
    EXPECT_GT(CountColour(picture, title, kDarkRed), 50);
    // The shadow is the dark red copy 4 pixels lower: its lowest row is below the white one's.
    int lowest_white = 0;
    int lowest_red = 0;
    for (int y = 326; y < 380; ++y) {
        if (CountColour(picture, {0, y, 640, y + 1}, kWhite) > 0) lowest_white = y;
        if (CountColour(picture, {0, y, 640, y + 1}, kDarkRed) > 0) lowest_red = y;
    }
    EXPECT_GT(lowest_red, lowest_white);
    const RECT outside_title[] = {{0, 0, 640, 326}, {0, 380, 640, 570}};
    for (const RECT& area : outside_title) {
        EXPECT_EQ(CountColour(picture, area, kWhite), 0);
        EXPECT_EQ(CountColour(picture, area, kDarkRed), 0);
    }
    EXPECT_GT(CountColour(picture, {20, 570, 640, 590}, kWhite), 100);
    EXPECT_EQ(CountColour(picture, {0, 570, 20, 600}, kWhite), 0);
}

TEST_F(BackdropTexts, EmptyNameAndCreditLeaveTheGradientAlone) {
    ASSERT_NO_FATAL_FAILURE(SetTexts("", ""));
    const ProbeWindow probe(640, 480);
    const kqgui::Screenshot picture = probe.Picture();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; x += 7)
            ASSERT_EQ(picture.At(x, y), RGB(0, 0, 255 - y / 2)) << "at " << x << ", " << y;
}

}  // namespace
