#include <gtest/gtest.h>

#include <erfam.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "EphemerisTestUtil.h"
#include "ephemeris/EphemerisComponent.h"

namespace vireo {
namespace {

using test::kSecond;
using test::Ole;
using test::Text;

std::int64_t Day(int y, int m, int d) { return static_cast<std::int64_t>(Ole(y, m, d)); }

// New moons of the national almanac, given in UTC to the minute.
TEST(LunisolarCalendar, NewMoonsAgainstPublishedTimes) {
    AstroEngine engine;
    struct Case { int y, m, d, hh, mm; };
    const Case cases[] = {
        {2023, 1, 21, 20, 53}, {2023, 2, 20, 7, 6},   {2023, 3, 21, 17, 23}, {2023, 4, 20, 4, 12},
        {2023, 5, 19, 15, 53}, {2023, 6, 18, 4, 37},  {2023, 7, 17, 18, 32}, {2023, 8, 16, 9, 38},
        {2023, 9, 15, 1, 40},  {2023, 10, 14, 17, 55}, {2023, 11, 13, 9, 27}, {2023, 12, 12, 23, 32},
        {2024, 1, 11, 11, 57}, {2024, 2, 9, 22, 59},  {2024, 3, 10, 9, 0},   {2024, 4, 8, 18, 21},
        {2024, 5, 8, 3, 22},   {2024, 6, 6, 12, 38},  {2024, 7, 5, 22, 57},  {2024, 8, 4, 11, 13},
        {2024, 9, 3, 1, 55},   {2024, 10, 2, 18, 49}, {2024, 11, 1, 12, 47}, {2024, 12, 1, 6, 21},
        {2024, 12, 30, 22, 27},
    };
    double worst = 0.0;
    for (const Case& c : cases) {
        const double expected = Ole(c.y, c.m, c.d, c.hh, c.mm);
        const double t = NewMoonNear(engine, expected + 2.0);
        worst = std::fmax(worst, std::fabs(t - expected) * 86400.0);
        std::printf("new moon %s UTC computed %s\n", Text(expected).c_str(), Text(t).c_str());
        EXPECT_NEAR(t, expected, 45 * kSecond) << Text(t);
    }
    std::printf("worst new moon vs published minute: %.1f s\n", worst);
}

struct Leap { int year; int month; };

// Leap months of the Japanese calendar, including the recommended 閏11月 of 2033.
TEST(LunisolarCalendar, KnownLeapMonths) {
    AstroEngine engine;
    LunisolarCalendar cal(engine);
    const Leap leaps[] = {{1984, 10}, {1987, 6}, {1990, 5}, {1993, 3}, {1995, 8}, {1998, 5},
                          {2001, 4},  {2004, 2}, {2006, 7}, {2009, 5}, {2012, 3}, {2014, 9},
                          {2017, 5},  {2020, 4}, {2023, 2}, {2025, 6}, {2028, 5}, {2031, 3}};
    for (const Leap& l : leaps) {
        // The leap month lies in the months up to the year's own month 11.
        const auto& months = cal.SolsticeYear(l.year).months;
        int found = 0;
        for (const auto& m : months) {
            if (m.leap) found = m.number;
        }
        EXPECT_EQ(found, l.month) << l.year;
    }
    // 閏11月 of 2033 runs from 2033-12-22 to 2034-01-19.
    EXPECT_EQ(cal.DateOfDay(Day(2033, 12, 21)).leap, false);
    const LunisolarDate first = cal.DateOfDay(Day(2033, 12, 22));
    EXPECT_EQ(first.month, 11);
    EXPECT_EQ(first.day, 1);
    EXPECT_TRUE(first.leap);
    const LunisolarDate last = cal.DateOfDay(Day(2034, 1, 19));
    EXPECT_EQ(last.month, 11);
    EXPECT_TRUE(last.leap);
    const LunisolarDate after = cal.DateOfDay(Day(2034, 1, 20));
    EXPECT_EQ(after.month, 12);
    EXPECT_EQ(after.day, 1);
    EXPECT_FALSE(after.leap);
    // 閏7月 2006 and 閏2月 2023 from their first days.
    EXPECT_TRUE(cal.DateOfDay(Day(2006, 8, 24)).leap);
    EXPECT_EQ(cal.DateOfDay(Day(2006, 8, 24)).month, 7);
    EXPECT_TRUE(cal.DateOfDay(Day(2023, 3, 22)).leap);
    EXPECT_EQ(cal.DateOfDay(Day(2023, 3, 22)).month, 2);
    EXPECT_FALSE(cal.DateOfDay(Day(2023, 3, 21)).leap);
}

TEST(LunisolarCalendar, NewYearsDaysAndDayLabels) {
    EphemerisComponent e;  // Tokyo, JST
    for (auto [y, m, d] : {std::tuple{2023, 1, 22}, {2024, 2, 10}, {2025, 1, 29}, {2026, 2, 17}}) {
        e.SetCurrentDate(Ole(y, m, d, 12));
        EXPECT_EQ(e.LunisolarMonth(), 1) << y;
        EXPECT_EQ(e.LunisolarDay(), 1) << y;
        EXPECT_FALSE(e.LeapMonth());
        EXPECT_EQ(e.DayLabel(), "先勝");  // 1/1 is always 先勝
        e.SetCurrentDate(Ole(y, m, d) - 0.5);
        EXPECT_EQ(e.LunisolarMonth(), 12) << y;
        EXPECT_GE(e.LunisolarDay(), 29);
    }
    // The labels run in their cycle from the month's first day: (month + day) mod 6.
    const char* const cycle[6] = {"大安", "赤口", "先勝", "友引", "先負", "仏滅"};
    for (int i = 0; i < 29; ++i) {
        e.SetCurrentDate(Ole(2024, 2, 10 + i, 8));
        ASSERT_EQ(e.LunisolarDay(), i + 1);
        EXPECT_EQ(e.DayLabel(), cycle[(1 + i + 1) % 6]);
    }
    // 旧暦 5/5 of 2024 fell on 2024-06-10 (new moon 06-06 21:38 JST): (5 + 5) mod 6 is 先負.
    e.SetCurrentDate(Ole(2024, 6, 10, 12));
    EXPECT_EQ(e.LunisolarMonth(), 5);
    EXPECT_EQ(e.LunisolarDay(), 5);
    EXPECT_EQ(e.DayLabel(), "先負");
}

// The date follows JST whatever the observer's zone: the civil date is looked up as it is.
TEST(LunisolarCalendar, CivilDateOnJstWhateverTheZone) {
    EphemerisComponent e;
    e.SetObserverTimeZone(-8.0f);
    e.SetCurrentDate(Ole(2024, 2, 10, 23, 59));
    EXPECT_EQ(e.LunisolarMonth(), 1);
    EXPECT_EQ(e.LunisolarDay(), 1);
    e.SetCurrentDate(Ole(2024, 2, 9, 0, 1));
    EXPECT_EQ(e.LunisolarMonth(), 12);
    EXPECT_EQ(e.LunisolarDay(), 30);
}

// Every year 1901-2099: 12 or 13 months, months of 29 or 30 days, a leap month exactly
// when there are 13, and month numbers running on without gaps.
TEST(LunisolarCalendar, InvariantsAcrossTheCentury) {
    AstroEngine engine;
    LunisolarCalendar cal(engine);
    int leapYears = 0;
    for (int year = 1901; year <= 2099; ++year) {
        const auto& months = cal.SolsticeYear(year).months;
        const int count = static_cast<int>(months.size()) - 2;  // the later month 11 and the sentinel
        ASSERT_TRUE(count == 12 || count == 13) << year;
        EXPECT_EQ(months.front().number, 11);
        EXPECT_EQ(months[months.size() - 2].number, 11);
        int leaps = 0;
        for (std::size_t i = 0; i + 1 < months.size(); ++i) {
            const auto length = months[i + 1].firstDay - months[i].firstDay;
            EXPECT_TRUE(length == 29 || length == 30) << year << " month " << i;
            if (months[i].leap) ++leaps;
            if (i > 0 && i + 1 < months.size() - 1) {
                const int expected = months[i].leap ? months[i - 1].number : months[i - 1].number % 12 + 1;
                EXPECT_EQ(months[i].number, expected) << year;
            }
        }
        EXPECT_EQ(leaps, count == 13 ? 1 : 0) << year;
        leapYears += leaps;
        // Consecutive years join: this year's month 11 is the next one's first month.
        if (year < 2099) {
            EXPECT_EQ(months[months.size() - 2].firstDay, cal.SolsticeYear(year + 1).months.front().firstDay);
        }
    }
    // Seven leap months in nineteen years: 199 years hold 73 +- 1.
    EXPECT_NEAR(leapYears, 73, 1);
}

}  // namespace
}  // namespace vireo

namespace vireo {
namespace {

// The quick estimates stay well inside their bounds against the exact searches, at events
// spread over every century the component answers for.
TEST(LunisolarCalendar, QuickEstimatesWithinTheirBounds) {
    AstroEngine engine;
    double worstMoon = 0.0, worstTerm = 0.0, worstLongitude = 0.0;
    for (std::int64_t k = -12390; k < 12370; k += 37) {
        const double quick = QuickNewMoon(k);
        worstMoon = std::fmax(worstMoon, std::fabs(NewMoonNear(engine, quick) - quick));
        // The solar term nearest that new moon.
        const AstroInstant at = MakeInstant(quick);
        const double target = std::fmod(std::round(QuickSunLongitude(at.ttMjd) / (15.0 * ERFA_DD2R)), 24.0) * 15.0 * ERFA_DD2R;
        const double term = QuickSunLongitudeNear(target, quick);
        worstTerm = std::fmax(worstTerm, std::fabs(SunLongitudeNear(engine, target, term) - term));
        double d = std::fabs(QuickSunLongitude(at.ttMjd) - engine.SunLongitude(at)) * ERFA_DR2D;
        worstLongitude = std::fmax(worstLongitude, std::fmin(d, 360.0 - d));
    }
    std::printf("quick estimates: new moons %.1f s, terms %.1f s, longitude %.1f\"\n", worstMoon * 86400,
                worstTerm * 86400, worstLongitude * 3600);
    // What was measured over every event, with the bounds' room to spare.
    EXPECT_LT(worstMoon, kQuickNewMoonBound / 1.9);
    EXPECT_LT(worstTerm, kQuickTermBound / 1.45);
    EXPECT_LT(worstLongitude, kQuickSunLongitudeBound / 3);
    EXPECT_GT(worstMoon * 86400, 1.0);  // they are estimates, not the exact searches
}

// The calendar from the quick estimates is the one from the exact searches: every month,
// leap month and 中気 date of 1901 to 2099, and years from the whole span.
TEST(LunisolarCalendar, QuickCalendarIsTheReference) {
    AstroEngine engine;
    LunisolarCalendar quick(engine), reference(engine);
    reference.SetReferenceSearches(true);
    std::vector<int> years;
    for (int y = 1901; y <= 2099; ++y) years.push_back(y);
    for (int y = 1000; y <= 2999; y += 97) years.push_back(y);
    years.push_back(2999);
    for (const int y : years) {
        const auto& a = quick.SolsticeYear(y);
        const auto& b = reference.SolsticeYear(y);
        ASSERT_EQ(a.months.size(), b.months.size()) << y;
        for (std::size_t i = 0; i < a.months.size(); ++i) {
            EXPECT_EQ(a.months[i].firstDay, b.months[i].firstDay) << y << " " << i;
            EXPECT_EQ(a.months[i].number, b.months[i].number) << y << " " << i;
            EXPECT_EQ(a.months[i].leap, b.months[i].leap) << y << " " << i;
        }
        EXPECT_EQ(a.principalTermDays, b.principalTermDays) << y;
    }
}

// Term day and index from the quick estimates are those of the exact searches, in any zone.
TEST(EphemerisSolarTermsQuick, TermDayAndIndexAreTheReference) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> date(-328000.0, 401000.0);
    std::uniform_int_distribution<int> zone(-12, 14);
    EphemerisComponent quick, reference;
    reference.SetReferenceSearches(true);
    for (int i = 0; i < 3000; ++i) {
        const float z = static_cast<float>(zone(rng));
        // Half the dates on or next to the date a term begins, where the answer turns.
        double d = date(rng);
        if (i % 2 == 0) {
            d = quick.TimeAtSolarLongitude(15.0 * (i % 24), d) + (i % 3 - 1) + 0.3 * (i % 5) / 4;
        }
        for (EphemerisComponent* e : {&quick, &reference}) {
            e->SetObserverTimeZone(z);
            e->SetCurrentDate(d);
        }
        ASSERT_EQ(quick.SolarTermIndex(), reference.SolarTermIndex()) << Text(d) << " zone " << z;
        ASSERT_EQ(quick.SolarTermDay(), reference.SolarTermDay()) << Text(d) << " zone " << z;
    }
}

}  // namespace
}  // namespace vireo
