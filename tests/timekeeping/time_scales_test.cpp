// The eight conversions, the temporal period and its upkeep, against a scripted component whose
// answers are known exactly.
#include <gtest/gtest.h>

#include <cmath>

#include "ScriptedEphemeris.h"
#include "timekeeping/TimeScales.h"

namespace vireo {
namespace {

using test::ScriptedEphemeris;

const int B = OleDayFromCivil(2026, 6, 1);

double DawnSecondsOn(int day) { return 4 * 3600 + 10 * 60 + (day - B) * 30.0; }
double DuskSecondsOn(int day) { return 19 * 3600 + 20 * 60 - (day - B) * 20.0; }

class TimeScalesTest : public ::testing::Test {
protected:
    void SetUp() override {
        eph.Terms = {{B - 10 + 0.3, 60}, {B + 5 + 0.6, 75}, {B + 20 + 0.25, 90},
                     {B + 36 + 0.7, 105}, {B + 52 + 0.5, 120}};
        eph.DawnOfDay = [](int d) { return d + DawnSecondsOn(d) / 86400.0; };
        eph.DuskOfDay = [](int d) { return d + DuskSecondsOn(d) / 86400.0; };
    }

    // Starts the clock the way start-up does: component date, then the period.
    void StartAt(int day, double seconds) {
        clock.Set({day, seconds});
        eph.SetCurrentDate(clock.Now().OleDate());
        state.Period = scales.ComputeTemporalPeriod(clock.Now().OleDate());
    }

    double Convert(int mode, double seconds, std::int32_t* v = nullptr) {
        state.ClockMode = mode;
        const std::int32_t r = scales.ComputeScaleTime(seconds);
        if (v) *v = r;
        return seconds;
    }

    ScriptedEphemeris eph;
    SettableClock clock;
    ClockState state;
    TimeScales scales{state, eph, clock};
};

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5001), 3.0);
    EXPECT_EQ(RoundHalfEven(4319999.5), 4320000.0);
}

TEST(HorizonCorrectionTest, DipLessParallax) {
    EXPECT_NEAR(HorizonCorrectionFor(0.0), -0.00244281888888889, 1e-15);
    EXPECT_NEAR(HorizonCorrectionFor(100.0), 0.353333333333333 - 0.00244281888888889, 1e-12);
    EXPECT_NEAR(HorizonCorrectionFor(-50.0), -0.00244281888888889, 1e-15);
    EXPECT_TRUE(std::isfinite(HorizonCorrectionFor(std::nan(""))));
}

TEST_F(TimeScalesTest, CivilScalesAndOutOfRangeModes) {
    StartAt(B + 1, 3 * 3600.0);
    std::int32_t v = -1;
    // UTC at Z = 9 at 03:00 local is 18:00 of the day before.
    EXPECT_DOUBLE_EQ(Convert(1, 3 * 3600.0, &v), 18 * 3600.0);
    EXPECT_EQ(v, 18 * 3600 * 50);
    // Local mean time at 139.7447 deg east runs 1138.728 s ahead of zone time.
    EXPECT_NEAR(Convert(2, 3 * 3600.0, &v) - 3 * 3600.0, 1138.728, 1e-9);
    EXPECT_EQ(v, static_cast<std::int32_t>(RoundHalfEven((3 * 3600.0 + 1138.728) * 50)));
    for (int mode : {0, -1, 8, 100}) {
        EXPECT_DOUBLE_EQ(Convert(mode, 3 * 3600.0 + 0.75, &v), 3 * 3600.0 + 0.75) << mode;
        EXPECT_EQ(v, 540038) << mode;  // 540037.5 rounds to even
    }
    // A zone east of the date line wraps once into the day; an absurd one still stays inside.
    eph.TimeZone = 14.0f;
    EXPECT_DOUBLE_EQ(Convert(1, 3600.0), 86400.0 - 13 * 3600.0);
    eph.Longitude = -179.0;
    const double lmt = Convert(2, 3600.0);
    EXPECT_GE(lmt, 0.0);
    EXPECT_LT(lmt, 86400.0);
    EXPECT_NEAR(lmt, std::fmod(3600.0 + 240.0 * (-179.0 - 210.0) + 2 * 86400.0, 86400.0), 1e-6);
}

TEST_F(TimeScalesTest, SolarAndSiderealScalesUseTheRightComponentAnswers) {
    StartAt(B + 1, 10 * 3600.0);
    eph.Sidereal = [](int kind, double) { return kind == 3 ? 100.0 : kind == 1 ? 37.5 : 999.0; };
    eph.SunRightAscension = [](double) { return 90.0; };
    EXPECT_DOUBLE_EQ(Convert(3, 36000.0), 240.0 * 190.0);
    EXPECT_DOUBLE_EQ(Convert(7, 36000.0), 240.0 * 190.0);
    EXPECT_DOUBLE_EQ(Convert(4, 36000.0), 24000.0);
    EXPECT_DOUBLE_EQ(Convert(5, 36000.0), 9000.0);
    // Apparent solar time past a full day and below zero comes back by one wrap.
    eph.Sidereal = [](int, double) { return 350.0; };
    eph.SunRightAscension = [](double) { return 10.0; };
    EXPECT_DOUBLE_EQ(Convert(3, 36000.0), 240.0 * 520.0 - 86400.0);
    eph.Sidereal = [](int, double) { return 10.0; };
    eph.SunRightAscension = [](double) { return 350.0; };
    EXPECT_DOUBLE_EQ(Convert(3, 36000.0), 86400.0 - 240.0 * 160.0);
    // An answer that is not a number does not stop the clock: it shows local time.
    eph.Sidereal = [](int, double) { return std::nan(""); };
    std::int32_t v = -1;
    EXPECT_DOUBLE_EQ(Convert(4, 36000.0, &v), 36000.0);
    EXPECT_EQ(v, 1800000);
}

TEST_F(TimeScalesTest, TimeThatRoundsToAWholeDayIsMidnight) {
    StartAt(B + 1, 86399.995);
    std::int32_t v = -1;
    EXPECT_DOUBLE_EQ(Convert(0, 86399.995, &v), 86399.995);
    EXPECT_EQ(v, 0);
    EXPECT_DOUBLE_EQ(Convert(0, 86399.985, &v), 86399.985);
    EXPECT_EQ(v, 4319999);
    EXPECT_DOUBLE_EQ(Convert(0, 0.25, &v), 0.25);
    EXPECT_EQ(v, 12);  // 12.5 to even
}

TEST_F(TimeScalesTest, ComponentDateIsSetOncePerSecond) {
    StartAt(B + 2, 1000.2);
    eph.DatesSet.clear();
    Convert(4, 1000.2);
    ASSERT_EQ(eph.DatesSet.size(), 1u);
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), clock.Now().OleDate());
    clock.Set({B + 2, 1000.9});
    Convert(5, 1000.9);  // same second: the date of that second is reused
    Convert(3, 1000.9);
    EXPECT_EQ(eph.DatesSet.size(), 1u);
    clock.Set({B + 2, 1001.0});
    Convert(4, 1001.0);
    ASSERT_EQ(eph.DatesSet.size(), 2u);
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), B + 2 + 1001.0 / 86400);
    // The same second of the next day is a new second.
    clock.Set({B + 3, 1001.0});
    Convert(4, 1001.0);
    ASSERT_EQ(eph.DatesSet.size(), 3u);
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), B + 3 + 1001.0 / 86400);
}

TEST_F(TimeScalesTest, TemporalPeriodUsesTheTermsFirstDay) {
    // 2026-06-14, 15:00: the term that began on B + 5 (day 10 of it).
    const double d = B + 13 + 15.0 / 24;
    eph.SetCurrentDate(d);
    eph.DatesSet.clear();
    const TemporalPeriod p = scales.ComputeTemporalPeriod(d);
    EXPECT_EQ(p.TermIndex, (90 + 30) / 15);
    EXPECT_EQ(p.DawnSeconds, static_cast<int>(DawnSecondsOn(B + 5)));
    EXPECT_EQ(p.DuskSeconds, static_cast<int>(DuskSecondsOn(B + 5)));
    EXPECT_EQ(p.DayLength, p.DuskSeconds - p.DawnSeconds);
    EXPECT_EQ(p.NightLength, 86400 - p.DayLength);
    EXPECT_DOUBLE_EQ(p.NextChange, B + 20 + DawnSecondsOn(B + 20) / 86400);
    EXPECT_FALSE(p.NightAdjusted);
    EXPECT_DOUBLE_EQ(p.Start, B + 5 + DawnSecondsOn(B + 5) / 86400);
    ASSERT_FALSE(eph.DatesSet.empty());
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), d);  // restored to its argument
}

TEST_F(TimeScalesTest, TemporalHoursAnchorDawnDuskAndMidnight) {
    StartAt(B + 6, 0.0);
    const TemporalPeriod& p = state.Period;
    ASSERT_FALSE(p.NightAdjusted);
    ASSERT_LT(p.DawnSeconds, p.DuskSeconds);
    std::int32_t v = -1;
    clock.Set({B + 6, static_cast<double>(p.DawnSeconds)});
    EXPECT_DOUBLE_EQ(Convert(6, p.DawnSeconds, &v), 21600.0);
    EXPECT_EQ(v, 21600 * 50);
    clock.Set({B + 6, static_cast<double>(p.DuskSeconds)});
    EXPECT_DOUBLE_EQ(Convert(6, p.DuskSeconds, &v), 64800.0);
    EXPECT_EQ(v, 64800 * 50);
    const double midNight = p.DuskSeconds + p.NightLength / 2.0;  // before midnight here
    ASSERT_LT(midNight, 86400.0);
    clock.Set({B + 6, midNight});
    EXPECT_DOUBLE_EQ(Convert(6, midNight, &v), 0.0);
    EXPECT_EQ(v, 0);
    // Noon half-way between dawn and dusk is 12:00.
    const double midDay = (p.DawnSeconds + p.DuskSeconds) / 2.0;
    clock.Set({B + 6, midDay});
    EXPECT_DOUBLE_EQ(Convert(6, midDay), 43200.0);
}

TEST_F(TimeScalesTest, NoonAdjustmentThenNewPeriodAtNextChange) {
    // The term beginning on B + 20 changes the period at its dawn.
    StartAt(B + 19, 11 * 3600.0);
    const TemporalPeriod before = state.Period;
    ASSERT_EQ(before.TermIndex, 8);
    const double newDawn = DawnSecondsOn(B + 20);

    clock.Set({B + 19, 43199.5});
    Convert(6, 43199.5);
    EXPECT_FALSE(state.Period.NightAdjusted);

    clock.Set({B + 19, 43200.0});  // noon of the day before the change
    Convert(6, 43200.0);
    const TemporalPeriod& p = state.Period;
    EXPECT_TRUE(p.NightAdjusted);
    EXPECT_EQ(p.DawnSeconds, static_cast<int>(newDawn));
    EXPECT_EQ(p.NightLength, 86400 - before.DuskSeconds + static_cast<int>(newDawn));
    EXPECT_EQ(p.DayLength, before.DayLength);
    EXPECT_EQ(p.DuskSeconds, before.DuskSeconds);
    EXPECT_EQ(p.TermIndex, before.TermIndex);

    // All three lines use the new dawn: the day line as well, with the old day length.
    const double t = 15 * 3600.0;
    clock.Set({B + 19, t});
    EXPECT_DOUBLE_EQ(Convert(6, t), 21600.0 + 43200.0 * (t - newDawn) / before.DayLength);

    // The night ends at 6:00 exactly at the new dawn.
    const double justBefore = newDawn - 1.0;
    clock.Set({B + 20, justBefore});
    EXPECT_NEAR(Convert(6, justBefore), 21600.0 - 43200.0 / p.NightLength, 1e-9);
    EXPECT_TRUE(state.Period.NightAdjusted);
    EXPECT_EQ(state.Period.TermIndex, before.TermIndex);

    // At NextChange a new period starts, not yet adjusted, for the new term.
    clock.Set({B + 20, newDawn});
    EXPECT_DOUBLE_EQ(Convert(6, newDawn), 21600.0);
    EXPECT_FALSE(state.Period.NightAdjusted);
    EXPECT_EQ(state.Period.TermIndex, 9);
    EXPECT_EQ(state.Period.DawnSeconds, static_cast<int>(newDawn));
    EXPECT_EQ(state.Period.DuskSeconds, static_cast<int>(DuskSecondsOn(B + 20)));
    EXPECT_DOUBLE_EQ(state.Period.NextChange, B + 36 + DawnSecondsOn(B + 36) / 86400);
}

TEST_F(TimeScalesTest, NoonAdjustmentWhenDuskComesBeforeDawnOnTheClock) {
    // Dawn at 23:00 and dusk at 21:00 local: the night is the two hours between.
    eph.DawnOfDay = [](int d) { return d + (82800.0 + (d - B) * 10.0) / 86400.0; };
    eph.DuskOfDay = [](int d) { return d + 75600.0 / 86400.0; };
    StartAt(B + 19, 13 * 3600.0);
    clock.Set({B + 19, 13 * 3600.0 + 1});
    Convert(6, 13 * 3600.0 + 1);
    ASSERT_TRUE(state.Period.NightAdjusted);
    EXPECT_EQ(state.Period.DawnSeconds, 82800 + 200);
    EXPECT_EQ(state.Period.NightLength, 82800 + 200 - 75600);
    clock.Set({B + 19, 79200.0});  // half-way through that night is midnight on the scale
    EXPECT_NEAR(Convert(6, 79200.0 + 100), 0.0, 1e-9);
}

TEST_F(TimeScalesTest, ClockSetBackOrForwardRecomputesThePeriod) {
    StartAt(B + 25, 12 * 3600.0);
    ASSERT_EQ(state.Period.TermIndex, 9);

    clock.Set({B + 10, 12 * 3600.0});  // set back by 15 days into the term before
    Convert(6, 12 * 3600.0);
    EXPECT_EQ(state.Period.TermIndex, 8);
    EXPECT_EQ(state.Period.DawnSeconds, static_cast<int>(DawnSecondsOn(B + 5)));
    EXPECT_DOUBLE_EQ(eph.Current, clock.Now().OleDate());

    clock.Set({B + 40, 12 * 3600.0});  // forward by a month
    Convert(6, 12 * 3600.0);
    EXPECT_EQ(state.Period.TermIndex, 10);
    EXPECT_EQ(state.Period.DawnSeconds, static_cast<int>(DawnSecondsOn(B + 36)));

    // Set back from after the noon adjustment to the morning before it: undone.
    StartAt(B + 35, 13 * 3600.0);
    clock.Set({B + 35, 13 * 3600.0 + 1});
    Convert(6, 13 * 3600.0 + 1);
    ASSERT_TRUE(state.Period.NightAdjusted);
    clock.Set({B + 35, 9 * 3600.0});
    Convert(6, 9 * 3600.0);
    EXPECT_FALSE(state.Period.NightAdjusted);
    EXPECT_EQ(state.Period.DawnSeconds, static_cast<int>(DawnSecondsOn(B + 20)));
}

TEST_F(TimeScalesTest, ScaleSecondsAtMatchesSingleConversions) {
    eph.Sidereal = [](int kind, double date) { return std::fmod(kind * 40.0 + date * 10.0, 360.0); };
    eph.SunRightAscension = [](double date) { return std::fmod(date, 360.0); };
    const double when = B + 13 + 0.4321;
    const auto all = ScaleSecondsAt(eph, when);
    EXPECT_DOUBLE_EQ(eph.Current, when);
    const LocalDateTime at = LocalDateTime::FromOleDate(when);
    StartAt(at.Day, at.SecondsOfDay);
    for (int mode = 0; mode < kScaleCount; ++mode) {
        EXPECT_DOUBLE_EQ(all[mode], Convert(mode, at.SecondsOfDay)) << mode;
        EXPECT_GE(all[mode], 0.0);
        EXPECT_LT(all[mode], 86400.0);
    }
    EXPECT_NEAR(all[0], 0.4321 * 86400, 1e-6);
}

// Walks one local day in steps and checks that the scale is finite, inside the day and turns
// forward exactly once: the forward steps (modulo a day) add up to one whole day, which they
// could not if the scale ever ran backwards.
void ExpectOneForwardTurn(const TemporalPeriod& p, const char* what) {
    double previous = std::fmod(TemporalHourSeconds(p, 0.0) + 86400.0, 86400.0);
    const double first = previous;
    double turned = 0.0;
    for (double t = 5.0; t <= 86400.0; t += 5.0) {
        // The last step closes the loop at the next midnight.
        const double raw = t < 86400.0 ? TemporalHourSeconds(p, t) : first;
        ASSERT_TRUE(std::isfinite(raw)) << what << " t=" << t;
        const double s = std::fmod(raw + 2 * 86400.0, 86400.0);
        double step = s - previous;
        if (step < 0.0) step += 86400.0;
        ASSERT_LE(step, 43300.0) << what << " t=" << t;
        turned += step;
        previous = s;
    }
    EXPECT_NEAR(turned, 86400.0, 1e-6) << what;
}

TEST(TemporalHoursTest, DegenerateDaysStayFiniteAndMonotonic) {
    auto period = [](int a, int b) {
        TemporalPeriod p;
        p.DawnSeconds = a;
        p.DuskSeconds = b;
        double L = b - a;
        if (L < 0) L += 86400;
        p.DayLength = static_cast<int>(L);
        p.NightLength = 86400 - p.DayLength;
        return p;
    };
    ExpectOneForwardTurn(period(18000, 68400), "ordinary day");
    ExpectOneForwardTurn(period(43200, 43200), "dawn equals dusk (polar night)");
    ExpectOneForwardTurn(period(0, 0), "dawn equals dusk at midnight");
    ExpectOneForwardTurn(period(0, 86400), "day all round (midnight sun)");
    ExpectOneForwardTurn(period(80000, 30000), "dusk before dawn on the local clock");
    ExpectOneForwardTurn(period(86400, 86400), "dawn rounded up to midnight");

    // Dawn equals dusk: 6:00 and 18:00 meet at that instant.
    const TemporalPeriod polar = period(43200, 43200);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(polar, 43200.0), 21600.0);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(polar, 43200.5), 64800.0 + 0.25);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(polar, 0.0), 0.0);

    // Dusk before dawn on the local clock keeps the anchors.
    const TemporalPeriod shifted = period(80000, 30000);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(shifted, 80000.0), 21600.0);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(shifted, 30000.0), 64800.0);
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(shifted, 55000.0), 86400.0);

    // A noon adjustment on a day of no length moves dawn away from dusk: still finite.
    TemporalPeriod adjusted = polar;
    adjusted.DawnSeconds = 40000;
    adjusted.NightLength = 86400 - 43200 + 40000;
    adjusted.NightAdjusted = true;
    for (double t = 0.0; t <= 86400.0; t += 100.0)
        ASSERT_TRUE(std::isfinite(TemporalHourSeconds(adjusted, t))) << t;
    EXPECT_DOUBLE_EQ(TemporalHourSeconds(adjusted, 41000.0), 21600.0);
}

TEST_F(TimeScalesTest, ComponentWithoutCrossingsGivesAFiniteScale) {
    eph.DawnOfDay = [](int) { return std::nan(""); };
    eph.DuskOfDay = [](int) { return std::nan(""); };
    StartAt(B + 6, 3600.0);
    EXPECT_EQ(state.Period.DayLength, 0);
    EXPECT_EQ(state.Period.NightLength, 86400);
    EXPECT_DOUBLE_EQ(state.Period.NextChange, B + 20 + 0.25);  // the term's own instant
    for (double t : {0.0, 3600.0, 43200.0, 43201.0, 86399.0}) {
        clock.Set({B + 6, t});
        const double s = Convert(6, t);
        EXPECT_TRUE(std::isfinite(s));
        EXPECT_GE(s, 0.0);
        EXPECT_LT(s, 86400.0);
    }
}

}  // namespace
}  // namespace vireo

namespace vireo {
namespace {

TEST_F(TimeScalesTest, StandInDawnBeforeTheTermDayDoesNotRedoThePeriodEverySecond) {
    // The term of longitude 75 begins on day B + 5; its stand-in dawn lies at 23:31 the evening before.
    eph.DawnOfDay = [](int d) { return d == B + 5 ? d - 0.02 : d + DawnSecondsOn(d) / 86400.0; };
    StartAt(B + 4, 23 * 3600 + 45 * 60);
    EXPECT_GT(state.Period.NextChange, clock.Now().OleDate());
    const TemporalPeriod first = state.Period;
    Convert(6, 23 * 3600 + 45 * 60);
    clock.Set({B + 4, 23 * 3600 + 45 * 60 + 1});
    Convert(6, 23 * 3600 + 45 * 60 + 1);
    EXPECT_EQ(state.Period.TermIndex, first.TermIndex);
    EXPECT_EQ(state.Period.NextChange, first.NextChange);
    // At the term's day the new term's period takes over.
    clock.Set({B + 5, 10.0});
    Convert(6, 10.0);
    EXPECT_NE(state.Period.TermIndex, first.TermIndex);
}

}  // namespace
}  // namespace vireo
