#include "timekeeping/TimeScales.h"

#include <algorithm>
#include <cmath>

namespace vireo {

namespace {

constexpr double kDay = 86400.0;

double Fraction(double oleDate) { return oleDate - std::floor(oleDate); }

std::int32_t RoundToInt32(double x) { return static_cast<std::int32_t>(RoundHalfEven(x)); }

// Share of a section already run; a section of zero length is an instant and contributes
// nothing, which keeps scale 6 finite when dawn and dusk coincide.
double Share(double elapsed, double length) { return length > 0.0 ? elapsed / length : 0.0; }

// Into [0, 86400). One step suffices for every value the component can give; the loop-free
// fmod covers a time zone or longitude far out of range without ever leaving the day.
double WrapIntoDay(double r) {
    if (r < 0.0) r += kDay;
    if (r >= kDay) r -= kDay;
    if (r < 0.0 || r >= kDay) {
        r = std::fmod(r, kDay);
        if (r < 0.0) r += kDay;
        if (r >= kDay) r = 0.0;
    }
    return r;
}

}  // namespace

double RoundHalfEven(double x) {
    const double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

double HorizonCorrectionFor(double heightMetres) {
    const double h = (std::isfinite(heightMetres) && heightMetres > 0.0) ? heightMetres : 0.0;
    return 0.0353333333333333 * std::sqrt(h) - 0.00244281888888889;
}

double TemporalHourSeconds(const TemporalPeriod& p, double t) {
    const double a = p.DawnSeconds;
    const double b = p.DuskSeconds;
    const double D = p.DayLength;
    const double N = p.NightLength;
    if (a <= b) {
        if (0.0 <= t && t <= a) return 21600.0 + 43200.0 * Share(t - a, N);
        if (a <= t && t <= b) return 21600.0 + 43200.0 * Share(t - a, D);
        if (b <= t && t <= kDay) return 64800.0 + 43200.0 * Share(t - b, N);
        return t;
    }
    // Dusk before dawn on the local clock: the day spans midnight.
    if (a <= t && t <= kDay) return 21600.0 + 43200.0 * Share(t - a, D);
    if (0.0 <= t && t <= b) return 21600.0 + 43200.0 * Share(t + kDay - a, D);
    if (b <= t && t <= a) return 64800.0 + 43200.0 * Share(t - b, N);
    return t;
}

TimeScales::TimeScales(ClockState& state, Ephemeris& ephemeris, const Clock& clock)
    : state_(state), ephemeris_(ephemeris), clock_(clock) {}

std::int32_t TimeScales::ComputeScaleTime(double& seconds) {
    if (!std::isfinite(seconds)) seconds = 0.0;
    const LocalDateTime now = clock_.Now();
    const auto whole = static_cast<std::int32_t>(std::floor(seconds));
    if (whole != state_.LastScaleSecond || now.Day != state_.LastScaleDay) {
        UpdateOncePerSecond(now);
        state_.LastScaleSecond = whole;
        state_.LastScaleDay = now.Day;
    }
    seconds = ConvertSeconds(seconds);
    std::int32_t v = RoundToInt32(seconds * 50.0);
    if (v >= kScaleTimeUnitsPerDay) v = 0;
    return v;
}

void TimeScales::UpdateOncePerSecond(const LocalDateTime& now) {
    const double present = now.OleDate();
    TemporalPeriod& p = state_.Period;
    // The period is redone when the present has left it either way: reached NextChange, or the
    // clock was set back before its start or before the noon adjustment already made.
    const double noonBeforeChange = std::floor(p.NextChange) - 0.5;
    if (present >= p.NextChange || present < p.Start ||
        (p.NightAdjusted && present < noonBeforeChange)) {
        p = ComputeTemporalPeriod(present);
    }
    // From noon of the day before the change the coming night ends at the new dawn.
    if (!p.NightAdjusted && std::floor(p.NextChange) - 0.5 <= present) {
        p.DawnSeconds = RoundToInt32(Fraction(p.NextChange) * kDay);
        double night = kDay - p.DuskSeconds + p.DawnSeconds;
        if (night > kDay) night -= kDay;  // dusk before dawn on the local clock
        p.NightLength = RoundToInt32(night);
        p.NightAdjusted = true;
    }
    ephemeris_.SetCurrentDate(present);
}

double TimeScales::ConvertSeconds(double t) {
    double r = t;
    switch (state_.ClockMode) {
    case 1:
        r = t - 3600.0 * static_cast<double>(ephemeris_.ObserverTimeZone());
        break;
    case 2:
        r = t + 240.0 * (ephemeris_.ObserverLongitude() -
                         15.0 * static_cast<double>(ephemeris_.ObserverTimeZone()));
        break;
    case 3:
    case 7:
        r = 240.0 * (ephemeris_.SiderealTime(3) - ephemeris_.Sun().RightAscension() + 180.0);
        break;
    case 4:
        r = 240.0 * ephemeris_.SiderealTime(3);
        break;
    case 5:
        r = 240.0 * ephemeris_.SiderealTime(1);
        break;
    case 6:
        r = TemporalHourSeconds(state_.Period, t);
        break;
    default:
        break;
    }
    // A component answer that is not a number must not stop the clock: show local time.
    if (!std::isfinite(r)) r = t;
    return WrapIntoDay(r);
}

TemporalPeriod TimeScales::ComputeTemporalPeriod(double d) {
    TemporalPeriod p;
    // Ask about d itself: after a jump of the system clock the component's last date may lie
    // in another term.
    ephemeris_.SetCurrentDate(d);
    const int n = std::max(1, ephemeris_.SolarTermDay());
    const double d1 = d - (n - 1);
    ephemeris_.SetCurrentDate(d1);
    p.TermIndex = static_cast<std::int16_t>(ephemeris_.SolarTermIndex());

    SunObject& sun = ephemeris_.Sun();
    const double dawn = sun.Dawn();
    const double dusk = sun.Dusk();
    if (std::isfinite(dawn) && std::isfinite(dusk)) {
        p.DawnSeconds = RoundToInt32(Fraction(dawn) * kDay);
        p.DuskSeconds = RoundToInt32(Fraction(dusk) * kDay);
        p.Start = std::min(dawn, d);
    } else {
        // No crossing given at all: a day of no length at noon (see TemporalHourSeconds).
        p.DawnSeconds = p.DuskSeconds = 43200;
        p.Start = d;
    }

    const int k = ephemeris_.SolarTermIndex();
    const double r = sun.TimeAtSolarLongitude(15.0 * k - 30.0, d);
    ephemeris_.SetCurrentDate(r);
    double next = sun.Dawn();
    if (!std::isfinite(next)) next = r;
    if (!std::isfinite(next)) next = d + 1.0;
    // A high-latitude stand-in dawn can fall on the evening before the term's day; a change
    // already behind d would redo this period every second, so change at the day's start.
    if (next <= d) next = std::floor(r) > d ? std::floor(r) : r;
    p.NextChange = next;
    ephemeris_.SetCurrentDate(d);

    double L = static_cast<double>(p.DuskSeconds) - p.DawnSeconds;
    if (L < 0.0) L += kDay;
    p.DayLength = RoundToInt32(L);
    p.NightLength = RoundToInt32(kDay - L);
    p.NightAdjusted = false;
    return p;
}

std::array<double, kScaleCount> ScaleSecondsAt(Ephemeris& ephemeris, double oleDate) {
    const SettableClock clock(LocalDateTime::FromOleDate(oleDate));
    ClockState state;
    TimeScales scales(state, ephemeris, clock);
    ephemeris.SetCurrentDate(oleDate);
    state.Period = scales.ComputeTemporalPeriod(oleDate);
    std::array<double, kScaleCount> out{};
    for (int mode = 0; mode < kScaleCount; ++mode) {
        state.ClockMode = mode;
        double t = clock.Now().SecondsOfDay;
        scales.ComputeScaleTime(t);
        out[static_cast<std::size_t>(mode)] = t;
    }
    return out;
}

}  // namespace vireo
