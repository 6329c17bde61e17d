// The conversions and the tick on the real ephemeris component at fixed dates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ephemeris/EphemerisComponent.h"
#include "timekeeping/ClockTick.h"

namespace vireo {
namespace {

// Keeps only what the tick hands on.
class LastValues final : public TickSink {
public:
    std::int32_t V = -1;
    std::int32_t AlarmSeconds = -1;
    void ShowReadouts(std::int32_t v) override { V = v; }
    bool IsMinimized() const override { return false; }
    bool SetClockColor() override { return false; }
    void DrawClockScale() override {}
    void DrawHands(std::int32_t v) override { EXPECT_EQ(v, V); }
    void AlarmControl(std::int32_t s) override { AlarmSeconds = s; }
    void TimeSignal(std::int32_t) override {}
    std::string MusicStatus() override { return {}; }
    void PlayMusic(const std::string&, std::int32_t) override {}
};

class RealEphemerisTest : public ::testing::Test {
protected:
    void Observe(double latitude, double longitude, float zone) {
        eph.SetHoldUpdate(true);
        eph.SetObserverLatitude(latitude);
        eph.SetObserverLongitude(longitude);
        eph.SetObserverHeight(0.0);
        eph.SetObserverTimeZone(zone);
        eph.SetHoldUpdate(false);
    }

    // Start-up: the component's date, then the period, then the tick.
    void StartAt(LocalDateTime when) {
        clock.Set(when);
        eph.SetCurrentDate(when.OleDate());
        state.Period = scales.ComputeTemporalPeriod(when.OleDate());
        state.ClockMode = 6;
        state.TimeSignalMode = 0;
    }

    std::int32_t TickAt(LocalDateTime when) {
        clock.Set(when);
        EXPECT_TRUE(tick.Timer1_Timer());
        return sink.V;
    }

    // Dawn and dusk of the first day of the term holding `date`, asked straight from the
    // component, in rounded seconds of day.
    std::pair<int, int> TermFirstDayCrossings(double date) {
        eph.SetCurrentDate(date);
        const double first = date - (eph.SolarTermDay() - 1);
        eph.SetCurrentDate(first);
        const double dawn = eph.Dawn(), dusk = eph.Dusk();
        return {static_cast<int>(RoundHalfEven((dawn - std::floor(dawn)) * 86400)),
                static_cast<int>(RoundHalfEven((dusk - std::floor(dusk)) * 86400))};
    }

    EphemerisComponent eph;
    SettableClock clock;
    ClockState state;
    TimeScales scales{state, eph, clock};
    LastValues sink;
    ClockTick tick{state, scales, clock, sink};
};

// A whole day at Tokyo, every second through the tick: the scale runs forward in steps near a
// second and passes 6:00 and 18:00 exactly at the dawn and dusk of the term's first day.
TEST_F(RealEphemerisTest, TokyoDaysInJuneAndDecember) {
    Observe(35.6544, 139.7447, 9.0f);
    struct Case {
        int y, m, d;
        int dawnFrom, dawnTo;  // plausible 明六つ, seconds of day
        int duskFrom, duskTo;
    };
    for (const Case c : {Case{2026, 6, 12, 3 * 3600 + 30 * 60, 4 * 3600 + 15 * 60,
                              19 * 3600 + 15 * 60, 19 * 3600 + 55 * 60},
                         Case{2026, 12, 12, 5 * 3600 + 50 * 60, 6 * 3600 + 30 * 60,
                              16 * 3600 + 50 * 60, 17 * 3600 + 30 * 60}}) {
        SCOPED_TRACE(c.m);
        const int day = OleDayFromCivil(c.y, c.m, c.d);
        StartAt({day, 0.0});
        const TemporalPeriod p = state.Period;
        ASSERT_GT(std::floor(p.NextChange) - 0.5, day + 1.0) << "pick a day clear of a change";
        const auto crossings = TermFirstDayCrossings(day + 0.5);
        EXPECT_EQ(p.DawnSeconds, crossings.first);
        EXPECT_EQ(p.DuskSeconds, crossings.second);
        EXPECT_GE(p.DawnSeconds, c.dawnFrom);
        EXPECT_LE(p.DawnSeconds, c.dawnTo);
        EXPECT_GE(p.DuskSeconds, c.duskFrom);
        EXPECT_LE(p.DuskSeconds, c.duskTo);

        // Each clock second moves the scale by 43200/DayLength by day, 43200/NightLength by night.
        const double dayRate = 43200.0 / p.DayLength, nightRate = 43200.0 / p.NightLength;
        const auto slowest = static_cast<std::int32_t>(std::floor(50 * std::min(dayRate, nightRate)));
        const auto fastest = static_cast<std::int32_t>(std::ceil(50 * std::max(dayRate, nightRate)));
        std::int32_t previous = TickAt({day, 0.0});
        for (int s = 1; s < 86400; ++s) {
            const std::int32_t v = TickAt({day, static_cast<double>(s)});
            std::int32_t step = v - previous;
            if (step < 0) step += kScaleTimeUnitsPerDay;
            ASSERT_GE(step, slowest) << "s=" << s;
            ASSERT_LE(step, fastest + 1) << "s=" << s;
            if (s == p.DawnSeconds) {
                EXPECT_EQ(v, 21600 * 50);
            } else if (s == p.DuskSeconds) {
                EXPECT_EQ(v, 64800 * 50);
            } else if (s == p.DawnSeconds - 1) {
                EXPECT_LT(v, 21600 * 50);
            } else if (s == p.DuskSeconds - 1) {
                EXPECT_LT(v, 64800 * 50);
            }
            previous = v;
        }
        // The component's date followed the clock to the last second.
        EXPECT_DOUBLE_EQ(eph.CurrentDate(), clock.Now().OleDate());
        EXPECT_FALSE(state.Period.NightAdjusted);
    }
}

TEST_F(RealEphemerisTest, TermChangesAtNextChange) {
    Observe(35.6544, 139.7447, 9.0f);
    const int day = OleDayFromCivil(2026, 12, 15);
    StartAt({day, 12 * 3600.0});
    TickAt({day, 12 * 3600.0});
    const TemporalPeriod old = state.Period;
    EXPECT_EQ(old.TermIndex, (270 + 30) / 15);  // between 大雪 and 冬至
    const LocalDateTime change = LocalDateTime::FromOleDate(old.NextChange);
    // The new term (冬至) begins on the day of the change.
    const double solstice = eph.TimeAtSolarLongitude(270.0, day);
    EXPECT_EQ(std::floor(solstice), change.Day);
    EXPECT_EQ(CivilFromOleDay(change.Day).Day, 22);

    // Noon of the day before: the coming night now ends at the new dawn.
    TickAt({change.Day - 1, 43200.0});
    EXPECT_TRUE(state.Period.NightAdjusted);
    const int newDawn = static_cast<int>(RoundHalfEven(change.SecondsOfDay));
    EXPECT_EQ(state.Period.DawnSeconds, newDawn);
    EXPECT_EQ(state.Period.DayLength, old.DayLength);

    // A second before the change: still the old term, just short of 6:00.
    const LocalDateTime before{change.Day, std::floor(change.SecondsOfDay) - 1.0};
    const std::int32_t vBefore = TickAt(before);
    EXPECT_EQ(state.Period.TermIndex, old.TermIndex);
    EXPECT_LT(vBefore, 21600 * 50);
    EXPECT_GT(vBefore, 21600 * 50 - 2 * 50);

    // At the change: the new term's period, not adjusted, dawn the same instant.
    const LocalDateTime at{change.Day, std::ceil(change.SecondsOfDay)};
    const std::int32_t vAt = TickAt(at);
    EXPECT_EQ(((state.Period.TermIndex - old.TermIndex - 1) % 24 + 24) % 24, 0);
    EXPECT_NE(state.Period.TermIndex, old.TermIndex);
    EXPECT_FALSE(state.Period.NightAdjusted);
    EXPECT_EQ(state.Period.DawnSeconds, newDawn);
    EXPECT_NEAR(vAt, 21600 * 50, 2 * 50);
    EXPECT_GT(state.Period.NextChange, old.NextChange + 13.0);
    EXPECT_LT(state.Period.NextChange, old.NextChange + 17.0);
}

// Every day of a year, at several hours, a new period holds the moment it was computed for
// and changes again within a solar term, so the tick never recomputes it second after second.
TEST_F(RealEphemerisTest, PeriodsHoldTheirMomentAllYear) {
    for (double latitude : {35.6544, 70.0}) {
        Observe(latitude, 139.7447, 9.0f);
        const int first = OleDayFromCivil(2026, 1, 1);
        int changes = 0;
        double lastNext = 0.0;
        for (int day = first; day < first + 365; ++day) {
            for (double hour : {0.5, 5.0, 12.0, 20.0}) {
                const double d = day + hour / 24;
                eph.SetCurrentDate(d);
                const TemporalPeriod p = scales.ComputeTemporalPeriod(d);
                ASSERT_LE(p.Start, d) << latitude << " " << d;
                ASSERT_GT(p.NextChange, d) << latitude << " " << d;
                ASSERT_LT(p.NextChange, d + 17.0) << latitude << " " << d;
                // The next term's longitude, 15k - 30, is reached on the day of the change (at
                // high latitudes the component's stand-in dawn may fall on the evening before).
                const double next = eph.TimeAtSolarLongitude(15.0 * p.TermIndex - 30.0, d);
                if (latitude < 60.0) {
                    ASSERT_EQ(std::floor(next), std::floor(p.NextChange)) << d;
                } else {
                    ASSERT_NEAR(p.NextChange, std::floor(next) + 0.5, 1.0) << d;
                }
                if (p.NextChange != lastNext) ++changes;
                lastNext = p.NextChange;
            }
        }
        EXPECT_GE(changes, 24) << latitude;  // one period per solar term
        EXPECT_LE(changes, 26) << latitude;
    }
}

// A year at 70 degrees north and south and 80 north, minute by minute: always a finite scale time inside the day;
// on every day the period holds unchanged, exactly one forward turn.
TEST_F(RealEphemerisTest, PolarYearMinuteByMinute) {
    for (double latitude : {70.0, -70.0, 80.0}) {
        Observe(latitude, 139.7447, 9.0f);
        const int first = OleDayFromCivil(2026, 1, 1);
        StartAt({first, 0.0});
        int checkedDays = 0;
        for (int day = first; day < first + 365; ++day) {
            const double nextChangeAtStart = state.Period.NextChange;
            double previous = -1.0, firstValue = -1.0, turned = 0.0;
            for (int s = 0; s < 86400; s += 60) {
                const std::int32_t v = TickAt({day, s + 0.5});
                ASSERT_GE(v, 0) << latitude << " " << day << " " << s;
                ASSERT_LT(v, kScaleTimeUnitsPerDay) << latitude << " " << day << " " << s;
                const double x = v / 50.0;
                if (previous >= 0.0) {
                    double d = x - previous;
                    if (d < 0.0) d += 86400.0;
                    turned += d;
                } else {
                    firstValue = x;
                }
                previous = x;
            }
            if (state.Period.NextChange == nextChangeAtStart && !state.Period.NightAdjusted) {
                double closing = firstValue - previous;
                if (closing < 0.0) closing += 86400.0;
                EXPECT_NEAR(turned + closing, 86400.0, 1.0) << latitude << " " << day;
                ++checkedDays;
            }
        }
        EXPECT_GT(checkedDays, 250) << latitude;
    }
}

TEST_F(RealEphemerisTest, MidnightSunAt70NorthIsAlmostAllDay) {
    Observe(70.0, 139.7447, 9.0f);
    const int day = OleDayFromCivil(2026, 6, 12);
    StartAt({day, 12 * 3600.0});
    // No crossing: the day runs from just after one culmination-opposite to the next.
    EXPECT_GT(state.Period.DayLength, 86000);
    EXPECT_LT(state.Period.NightLength, 400);
    // Local noon on the clock is near 12:00 on the scale.
    const std::int32_t v = TickAt({day, 11 * 3600.0 + 40 * 60});
    EXPECT_NEAR(v / 50.0, 43200.0, 1800.0);
}

TEST_F(RealEphemerisTest, ClockJumpsFollowThePresent) {
    Observe(35.6544, 139.7447, 9.0f);
    const int day = OleDayFromCivil(2026, 12, 12);
    StartAt({day, 10 * 3600.0});
    TickAt({day, 10 * 3600.0});
    for (const LocalDateTime when :
         {LocalDateTime{day - 200, 10 * 3600.0}, LocalDateTime{day - 200, 9 * 3600.0},
          LocalDateTime{day + 40, 23 * 3600.0}, LocalDateTime{day, 10 * 3600.0 + 1}}) {
        TickAt(when);
        EphemerisComponent fresh;
        fresh.SetCurrentDate(when.OleDate());
        SettableClock c2(when);
        ClockState s2;
        TimeScales ts2(s2, fresh, c2);
        const TemporalPeriod expected = ts2.ComputeTemporalPeriod(when.OleDate());
        EXPECT_EQ(state.Period.TermIndex, expected.TermIndex) << when.Day;
        EXPECT_EQ(state.Period.DawnSeconds, expected.DawnSeconds) << when.Day;
        EXPECT_EQ(state.Period.DuskSeconds, expected.DuskSeconds) << when.Day;
        EXPECT_DOUBLE_EQ(state.Period.NextChange, expected.NextChange) << when.Day;
        EXPECT_DOUBLE_EQ(eph.CurrentDate(), when.OleDate());
    }
}

TEST_F(RealEphemerisTest, OtherScalesAgreeWithKnownValues) {
    Observe(35.6544, 139.7447, 9.0f);
    // 2000-01-01 12:00 UT (21:00 in Tokyo): Greenwich mean sidereal time 18.697374558 h; the
    // apparent one is 0.853 s less (equation of the equinoxes). Half a second allows for UT1-UTC.
    const auto j2000 = ScaleSecondsAt(eph, OleDayFromCivil(2000, 1, 1) + 21.0 / 24);
    EXPECT_NEAR(j2000[5], 18.697374558 * 3600 - 0.853, 0.5);
    EXPECT_NEAR(j2000[1], 12 * 3600.0, 1e-6);
    // Local sidereal time leads Greenwich's by the longitude.
    EXPECT_NEAR(std::fmod(j2000[4] - j2000[5] + 86400.0, 86400.0), 240.0 * 139.7447, 0.01);
    // The equation of time at noon in Tokyo (NOAA's series, good to a few seconds): 2026-11-03
    // +989.5 s, 2026-02-11 -853.6 s.
    const auto nov = ScaleSecondsAt(eph, OleDayFromCivil(2026, 11, 3) + 0.5);
    EXPECT_NEAR(nov[3] - nov[2], 989.5, 10.0);
    EXPECT_DOUBLE_EQ(nov[7], nov[3]);
    const auto feb = ScaleSecondsAt(eph, OleDayFromCivil(2026, 2, 11) + 0.5);
    EXPECT_NEAR(feb[3] - feb[2], -853.6, 10.0);
    EXPECT_NEAR(feb[0], 43200.0, 1e-6);
    EXPECT_NEAR(feb[2] - feb[0], 1138.728, 1e-6);
}

}  // namespace
}  // namespace vireo
