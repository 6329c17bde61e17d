#pragma once
// The eight time scales: converting the present local time of day to the scale on show, and
// the temporal-hour period of the Tenpō scale.
//
// Scales (ClockState::ClockMode): 0 local standard time, 1 UTC, 2 local mean time, 3 apparent
// solar time, 4 local sidereal time, 5 Greenwich sidereal time, 6 Tenpō temporal hours,
// 7 Engishiki double-hours (runs on apparent solar time). Any other value converts as 0.

#include <array>
#include <cstdint>

#include "ephemeris/Ephemeris.h"
#include "timekeeping/Clock.h"
#include "timekeeping/ClockState.h"

namespace vireo {

constexpr std::int32_t kScaleTimeUnitsPerDay = 4'320'000;  // fiftieths of a second in a day
constexpr int kScaleCount = 8;

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double x);

// Dip of the horizon less the Sun's horizontal parallax, degrees, for an observer height in
// metres. A negative or non-finite height counts as sea level.
double HorizonCorrectionFor(double heightMetres);

// Scale-6 time for local seconds of day t under a temporal period (before the wrap into the
// day: the result may lie a little below 0 or above 86400).
//
// With dawn a = DawnSeconds not after dusk b = DuskSeconds, the first matching line applies:
//   0 <= t <= a : 21600 + 43200 (t - a) / NightLength   (end of the night; dawn is 6:00)
//   a <= t <= b : 21600 + 43200 (t - a) / DayLength     (the day; dusk is 18:00)
//   b <= t      : 64800 + 43200 (t - b) / NightLength   (start of the night)
// When the local clock puts dusk before dawn (a > b: a time zone far from the observer's
// longitude), the day runs from a over midnight to b and the night from b to a, with the
// same 6:00 and 18:00 anchors.
//
// Degenerate days (polar night or midnight sun, where the ephemeris gives dawn and dusk at the
// same moment, or a period whose day or night length is 0): a section of zero length is an
// instant; the division by its length is taken as 0, so the scale stands at that section's
// 6:00 or 18:00 boundary and steps over the empty section. The result is always finite and,
// over a day, never runs backwards except at the single wrap past midnight (and where the
// noon adjustment deliberately moves dawn).
double TemporalHourSeconds(const TemporalPeriod& period, double t);

class TimeScales {
public:
    TimeScales(ClockState& state, Ephemeris& ephemeris, const Clock& clock);

    // Converts seconds of the local day (as the clock gives them, with their fraction) to the
    // scale state.ClockMode. On return `seconds` holds the converted seconds in [0, 86400);
    // the result is the scale time in fiftieths of a second, 0 .. 4'319'999.
    //
    // Once per new whole second (a second other than the last one converted, including after
    // the system clock jumps) it first asks the clock for the present date-time, recomputes
    // state.Period when the present moment has left it, makes the noon adjustment, and sets the
    // component's CurrentDate to the present. Conversions within the same second reuse it.
    std::int32_t ComputeScaleTime(double& seconds);

    // The temporal-hour period holding at local date-time d (OLE date): dawn and dusk of the
    // first day of the solar term containing d, and the dawn at which the next term's period
    // begins. Leaves the component's CurrentDate at d.
    TemporalPeriod ComputeTemporalPeriod(double d);

    ClockState& State() { return state_; }
    Ephemeris& Component() { return ephemeris_; }
    const Clock& ClockSource() const { return clock_; }

private:
    void UpdateOncePerSecond(const LocalDateTime& now);
    double ConvertSeconds(double t);

    ClockState& state_;
    Ephemeris& ephemeris_;
    const Clock& clock_;
};

// The eight converted seconds of day (scales 0..7, after the wrap) that ComputeScaleTime gives
// at local date-time oleDate on a fresh clock state whose Period was computed for that
// instant. Sets the component's CurrentDate to oleDate.
std::array<double, kScaleCount> ScaleSecondsAt(Ephemeris& ephemeris, double oleDate);

}  // namespace vireo
