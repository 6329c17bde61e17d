#include <gtest/gtest.h>

#include "mainwindow/WindowGeometry.h"

using namespace vireo;

TEST(WindowGeometry, TwipsPerPixelFollowTheLogicalDpi) {
    TwipScale s = TwipScale::FromDpi(96, 96);
    EXPECT_DOUBLE_EQ(s.X, 15.0);
    EXPECT_DOUBLE_EQ(s.Y, 15.0);
    s = TwipScale::FromDpi(144, 0);  // a nonsensical DPI keeps the default
    EXPECT_DOUBLE_EQ(s.X, 10.0);
    EXPECT_DOUBLE_EQ(s.Y, 15.0);
    EXPECT_EQ(DesignedClientWidthTwips / 15.0, 200.0);
    EXPECT_EQ(DesignedClientHeightTwips / 15.0, 181.0);
}

TEST(WindowGeometry, EmptyStoreCentresTheDesignedSizeInTheWorkAreaAtTheOrigin) {
    const WindowRect r = ResolvePlacement({}, TwipScale{}, 1280, 1000, 200, 181);
    EXPECT_EQ(r, (WindowRect{540, 410, 200, 181}));  // (1280-200)/2, round((1000-181)/2) = 410 (409.5, halves to even)
}

TEST(WindowGeometry, StoredTwipsBecomePixels) {
    StoredPlacement st;
    st.Left = 1500;
    st.Top = 3000.0;
    st.Width = 4500;
    st.Height = 3007.5;  // 200.5 px rounds to 200 (halves to even)
    const WindowRect r = ResolvePlacement(st, TwipScale{}, 1280, 1000, 200, 181);
    EXPECT_EQ(r, (WindowRect{100, 200, 300, 200}));
    // Only the missing keys take their defaults.
    StoredPlacement partial;
    partial.Width = 6000;
    EXPECT_EQ(ResolvePlacement(partial, TwipScale{}, 1280, 1000, 200, 181), (WindowRect{540, 410, 400, 181}));
}

TEST(WindowGeometry, RectanglesAreKeptOnAPresentScreen) {
    const std::vector<WindowRect> screens{{0, 0, 1280, 1000}, {1280, 0, 800, 600}};
    // Fully on a screen, or partly off it with enough left to grab: unchanged.
    EXPECT_EQ(CorrectWindowRect({100, 100, 200, 181}, screens, 136, 159), (WindowRect{100, 100, 200, 181}));
    EXPECT_EQ(CorrectWindowRect({-150, 900, 200, 181}, screens, 136, 159), (WindowRect{-150, 900, 200, 181}));
    // On a screen that is no longer there: moved fully onto the nearest one.
    EXPECT_EQ(CorrectWindowRect({5000, 3000, 200, 181}, screens, 136, 159), (WindowRect{1880, 419, 200, 181}));
    EXPECT_EQ(CorrectWindowRect({-4000, -4000, 200, 181}, screens, 136, 159), (WindowRect{0, 0, 200, 181}));
    // Only a sliver on screen: moved onto the screen it touches most.
    EXPECT_EQ(CorrectWindowRect({1275, 595, 200, 181}, screens, 136, 159), (WindowRect{1280, 419, 200, 181}));
    // Too small: raised to the minimum; larger than every screen: cut to the largest one.
    EXPECT_EQ(CorrectWindowRect({10, 10, 0, -5}, screens, 136, 159), (WindowRect{10, 10, 136, 159}));
    EXPECT_EQ(CorrectWindowRect({0, 0, 100000, 100000}, screens, 136, 159), (WindowRect{0, 0, 1280, 1000}));
    // No screen known at all: only the size rule applies.
    EXPECT_EQ(CorrectWindowRect({-9000, 0, 10, 10}, {}, 136, 159), (WindowRect{-9000, 0, 136, 159}));
}

TEST(WindowGeometry, PixelsBecomeRoundedTwips) {
    const TwipRect t = ToTwips({-3, 7, 200, 181}, TwipScale::FromDpi(96, 120));
    EXPECT_EQ(t.Left, -45);
    EXPECT_EQ(t.Top, 84);
    EXPECT_EQ(t.Width, 3000);
    EXPECT_EQ(t.Height, 2172);
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(1e12), 2147483647);
    EXPECT_EQ(MinimumWindowHeight(136, 23), 159);
}
