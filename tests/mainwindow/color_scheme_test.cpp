#include <gtest/gtest.h>

#include "mainwindow/ColorScheme.h"

using namespace vireo;

namespace {
// A light desktop theme: white windows, black text, a mid-blue desktop.
OleColor lightTheme(int index) {
    switch (index) {
    case ColorWindow: return RgbColor(255, 255, 255);
    case ColorWindowText: return 0;
    case ColorBackground: return RgbColor(58, 110, 165);
    case ColorInfoText: return 0;
    default: return RgbColor(1, 2, 3);
    }
}
const SysColorFunction sys = lightTheme;
}  // namespace

TEST(ColorFunctions, ContrastColorPicksBlackOnBrightAndWhiteOnDark) {
    EXPECT_EQ(ContrastColor(RgbColor(255, 128, 0), sys), 0);           // 151.30813
    EXPECT_EQ(ContrastColor(RgbColor(0, 0, 255), sys), 0xFFFFFF);      // 29.1924
    EXPECT_EQ(ContrastColor(SystemColorRef(ColorWindow), sys), 0);     // white window
    EXPECT_EQ(ContrastColor(SystemColorRef(ColorBackground), sys), 0xFFFFFF);
    // Grey 128 has brightness 128.0 exactly: not above 128, so white.
    EXPECT_EQ(ContrastColor(RgbColor(128, 128, 128), sys), 0xFFFFFF);
    EXPECT_EQ(ContrastColor(RgbColor(129, 129, 129), sys), 0);
}

TEST(ColorFunctions, InvertColorFlipsTheColourBitsAfterResolving) {
    EXPECT_EQ(InvertColor(RgbColor(0, 0, 128), sys), RgbColor(255, 255, 127));
    EXPECT_EQ(InvertColor(SystemColorRef(ColorWindow), sys), 0);
    EXPECT_EQ(InvertColor(SystemColorRef(ColorBackground), sys), RgbColor(197, 145, 90));
    EXPECT_EQ(InvertColor(0, sys), 0xFFFFFF);
}

TEST(DayNightBands, BoundariesBelongToTheBrighterBand) {
    const double D = 0.8333;
    EXPECT_EQ(FindDayNightBand(30.0, D), DayNightBand::Day);
    EXPECT_EQ(FindDayNightBand(-D, D), DayNightBand::Day);
    EXPECT_EQ(FindDayNightBand(-D - 1e-9, D), DayNightBand::Twilight);
    EXPECT_EQ(FindDayNightBand(-7.36111111111111, D), DayNightBand::Twilight);
    EXPECT_EQ(FindDayNightBand(-7.3612, D), DayNightBand::DuskDawn);
    EXPECT_EQ(FindDayNightBand(-18.0, D), DayNightBand::DuskDawn);
    EXPECT_EQ(FindDayNightBand(-18.0001, D), DayNightBand::Night);
    EXPECT_EQ(FindDayNightBand(-80.0, D), DayNightBand::Night);
}

TEST(DayNightBands, ColoursOfEachBand) {
    FaceColors day = DayNightColors(DayNightBand::Day, sys);
    EXPECT_EQ(day.Back, RgbColor(128, 255, 255));
    EXPECT_EQ(day.Fore, 0);
    FaceColors tw = DayNightColors(DayNightBand::Twilight, sys);
    EXPECT_EQ(tw.Back, RgbColor(128, 192, 255));
    EXPECT_EQ(tw.Fore, 0);
    FaceColors dd = DayNightColors(DayNightBand::DuskDawn, sys);
    EXPECT_EQ(dd.Back, RgbColor(0, 64, 128));
    EXPECT_EQ(dd.Fore, RgbColor(255, 255, 127));
    FaceColors night = DayNightColors(DayNightBand::Night, sys);
    EXPECT_EQ(night.Back, RgbColor(0, 0, 128));
    EXPECT_EQ(night.Fore, RgbColor(255, 255, 127));
}

TEST(SelectClockColor, SwitchingFromSystemColoursToDayNightChangesAtOnceAtMidday) {
    FaceColors shown{};
    SchemeInputs in;
    in.SysColor = sys;
    in.BackgroundMode = 0;
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, SystemColorRef(ColorWindow));
    EXPECT_EQ(shown.Fore, SystemColorRef(ColorWindowText));
    EXPECT_FALSE(SelectClockColor(in, shown));

    int asked = 0;
    in.BackgroundMode = 1;
    in.SunBand = [&] { ++asked; return DayNightBand::Day; };
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(128, 255, 255));
    EXPECT_FALSE(SelectClockColor(in, shown));
    EXPECT_EQ(asked, 2);  // the Sun is asked on every call

    in.SunBand = [] { return DayNightBand::Night; };
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(0, 0, 128));
    EXPECT_EQ(shown.Fore, RgbColor(255, 255, 127));
}

TEST(SelectClockColor, OnlyTheBackgroundDecidesInSchemesZeroToThree) {
    SchemeInputs in;
    in.SysColor = sys;
    in.BackgroundMode = 0;
    FaceColors shown{SystemColorRef(ColorWindow), RgbColor(9, 9, 9)};
    EXPECT_FALSE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Fore, RgbColor(9, 9, 9));

    in.BackgroundMode = 2;
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(58, 110, 165));
    EXPECT_EQ(shown.Fore, 0xFFFFFF);
    EXPECT_FALSE(SelectClockColor(in, shown));
}

TEST(SelectClockColor, TransparentSchemeUsesTheKeyAndTheDesktopContrast) {
    SchemeInputs in;
    in.SysColor = sys;
    in.BackgroundMode = 3;
    FaceColors shown{};
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(208, 208, 208));
    EXPECT_EQ(shown.Fore, 0xFFFFFF);  // contrast of the dark desktop, not of the light key
    EXPECT_FALSE(SelectClockColor(in, shown));
}

TEST(SelectClockColor, UserColoursApplyWhenEitherDiffers) {
    SchemeInputs in;
    in.SysColor = sys;
    in.BackgroundMode = 4;
    in.UserBackColor = RgbColor(10, 20, 30);
    in.UserForeColor = RgbColor(200, 100, 0);
    FaceColors shown{};
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(10, 20, 30));
    EXPECT_EQ(shown.Fore, RgbColor(200, 100, 0));
    EXPECT_FALSE(SelectClockColor(in, shown));
    in.UserForeColor = RgbColor(1, 1, 1);
    ASSERT_TRUE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Fore, RgbColor(1, 1, 1));
}

TEST(SelectClockColor, UnknownSchemeChangesNothing) {
    SchemeInputs in;
    in.SysColor = sys;
    in.BackgroundMode = 7;
    FaceColors shown{RgbColor(1, 2, 3), RgbColor(4, 5, 6)};
    EXPECT_FALSE(SelectClockColor(in, shown));
    EXPECT_EQ(shown.Back, RgbColor(1, 2, 3));
}
