#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/EphemerisComponent.h"
#include "mainwindow/ColorScheme.h"
#include "timekeeping/Clock.h"

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

namespace {

DayNightBand directBand(EphemerisComponent& eph, double hc) {
    SunObject& sun = eph.Sun();
    return FindDayNightBand(sun.Altitude() + hc, sun.RiseSetDepression());
}

}  // namespace

TEST(SunBandWatch, FollowsTheRealSunToTheSecondWhileAskingRarely) {
    // Tokyo on the longest and the shortest day, and a place where the Sun barely sets.
    struct Case { double lat, lon; float zone; int y, m, d; };
    for (const Case c : {Case{35.6544, 139.7447, 9.0f, 2026, 6, 21}, Case{35.6544, 139.7447, 9.0f, 2026, 12, 22},
                         Case{64.0, -22.0, 0.0f, 2026, 6, 10}}) {
        EphemerisComponent eph;
        eph.SetObserverLatitude(c.lat);
        eph.SetObserverLongitude(c.lon);
        eph.SetObserverTimeZone(c.zone);
        const double hc = -0.00244281888888889;
        const int day = OleDayFromCivil(c.y, c.m, c.d);
        SunBandWatch watch;
        int asked = 0, changes = 0;
        DayNightBand last = DayNightBand::Day;
        for (int s = 0; s < 86400; ++s) {
            const double now = day + s / 86400.0;
            eph.SetCurrentDate(now);
            const DayNightBand band = watch.Band(now, [&] {
                ++asked;
                SunObject& sun = eph.Sun();
                return SunBandWatch::Sun{sun.Altitude() + hc, sun.RiseSetDepression()};
            });
            ASSERT_EQ(band, directBand(eph, hc)) << c.lat << " " << s;
            if (s > 0 && band != last) ++changes;
            last = band;
        }
        EXPECT_GE(changes, 2);
        EXPECT_LT(asked, 86400 / 20) << "the watch should spare most questions";
    }
}

TEST(SunBandWatch, AsksAgainAfterTheClockGoesBackOrTheObserverChanges) {
    SunBandWatch watch;
    int asked = 0;
    const auto ask = [&] { ++asked; return SunBandWatch::Sun{30.0, 0.85}; };  // far inside the day
    const double t = 46000.5;
    watch.Band(t, ask);
    watch.Band(t + 10.0 / 86400, ask);
    EXPECT_EQ(asked, 1);
    watch.Band(t - 1.0 / 86400, ask);  // set back
    EXPECT_EQ(asked, 2);
    watch.Invalidate();
    watch.Band(t, ask);
    EXPECT_EQ(asked, 3);
    // Never longer than the cap, however far the Sun stands from an edge.
    watch.Band(t + (SunBandWatch::MaxWaitSeconds + 1.0) / 86400, ask);
    EXPECT_EQ(asked, 4);
    // An answer that is not a number is never kept.
    const auto bad = [&] { ++asked; return SunBandWatch::Sun{std::nan(""), 0.85}; };
    watch.Invalidate();
    watch.Band(t, bad);
    watch.Band(t, bad);
    EXPECT_EQ(asked, 6);
}
