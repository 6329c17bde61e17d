#include "ephemeris/EphemerisComponent.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "ephemeris/SexagesimalFormat.h"

namespace vireo {
namespace {

constexpr double kSunRadiusArcsec = 959.63;       // apparent semi-diameter at 1 au
constexpr double kHorizontalRefraction = 2108.0;  // 35′08″
constexpr double kMeanSolarRate = 360.0 / 365.2422;  // degrees a day

double WrapDegrees(double d) {
    d = std::fmod(d, 360.0);
    if (d < 0.0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

double WrapPi(double a) {
    a = std::fmod(a, ERFA_D2PI);
    if (a <= -ERFA_DPI) a += ERFA_D2PI;
    if (a > ERFA_DPI) a -= ERFA_D2PI;
    return a;
}

std::int64_t DayNumber(double oleDate) { return static_cast<std::int64_t>(std::floor(oleDate)); }

// A root of f in [a, b] where f(a) and f(b) differ in sign (Illinois variant of regula falsi).
template <typename F>
double Bracketed(F&& f, double a, double fa, double b, double fb) {
    int side = 0;
    for (int i = 0; i < 60 && b - a > 1e-8; ++i) {
        const double c = (a * fb - b * fa) / (fb - fa);
        const double fc = f(c);
        if (fc == 0.0) return c;
        if ((fc < 0.0) == (fa < 0.0)) {
            a = c;
            fa = fc;
            if (side == -1) fb /= 2;
            side = -1;
        } else {
            b = c;
            fb = fc;
            if (side == 1) fa /= 2;
            side = 1;
        }
    }
    return (a * fb - b * fa) / (fb - fa);
}

}  // namespace

EphemerisComponent::EphemerisComponent() : calendar_(engine_) {}

EphemerisComponent::EphemerisComponent(ObserverEditor editor)
    : calendar_(engine_), editor_(std::move(editor)) {}

bool EphemerisComponent::EditObserver(QWidget* parent) {
    // A component built without its dialog cannot keep the contract: say so instead of
    // pretending the user changed nothing.
    if (!editor_) throw EphemerisError("no observer dialog was given to the ephemeris component");
    const ObserverValues current{latitude_, longitude_, height_, timeZone_};
    const std::optional<ObserverValues> edited = editor_(parent, current);
    if (!edited) return false;
    const ObserverValues& v = *edited;
    const bool changed = v.latitude != current.latitude || v.longitude != current.longitude ||
                         v.height != current.height || v.timeZone != current.timeZone;
    if (!changed) return false;
    SetHoldUpdate(true);
    SetObserverLatitude(v.latitude);
    SetObserverLongitude(v.longitude);
    SetObserverHeight(v.height);
    SetObserverTimeZone(v.timeZone);
    SetHoldUpdate(false);
    return true;
}

void EphemerisComponent::SetHoldUpdate(bool hold) {
    const bool release = hold_ && !hold;
    hold_ = hold;
    if (release) ObserverChanged();
}

void EphemerisComponent::ObserverChanged() {
    haveMoment_ = haveSun_ = haveGast_ = false;
    if (!hold_) Moment();
}

void EphemerisComponent::SetObserverLatitude(double degrees) {
    if (!ObserverRanges::Latitude(degrees)) throw EphemerisError("latitude out of range");
    latitude_ = degrees;
    ObserverChanged();
}

void EphemerisComponent::SetObserverLongitude(double degrees) {
    if (!ObserverRanges::Longitude(degrees)) throw EphemerisError("longitude out of range");
    longitude_ = degrees;
    ObserverChanged();
}

void EphemerisComponent::SetObserverHeight(double metres) {
    if (!ObserverRanges::Height(metres)) throw EphemerisError("height out of range");
    height_ = metres;
    ObserverChanged();
}

void EphemerisComponent::SetObserverTimeZone(float hoursEast) {
    if (!ObserverRanges::TimeZone(hoursEast)) throw EphemerisError("time zone out of range");
    timeZone_ = hoursEast;
    ObserverChanged();
}

void EphemerisComponent::SetCurrentDate(double oleDate) {
    if (!std::isfinite(oleDate)) throw EphemerisError("date is not a finite number");
    // About years 998 to 3001 (the models have no meaning for a clock outside); the margin
    // around 1000 to 2999 lets the clock step to a neighbouring solar term from any date
    // in those years.
    if (oleDate < -329445.0 || oleDate >= 402498.0) throw EphemerisError("date out of range");
    currentDate_ = oleDate;
    haveMoment_ = haveSun_ = haveGast_ = false;
    if (!hold_) Moment();
}

const AstroInstant& EphemerisComponent::Moment() {
    if (!haveMoment_) {
        moment_ = MakeInstant(currentDate_ - ZoneDays());
        haveMoment_ = true;
    }
    return moment_;
}

const SunPlace& EphemerisComponent::SunNow() {
    if (!haveSun_) {
        sun_ = engine_.Sun(Moment());
        haveSun_ = true;
    }
    return sun_;
}

double EphemerisComponent::LocalApparentSiderealRad() {
    if (!haveGast_) {
        gast_ = engine_.GreenwichApparentSiderealTime(Moment());
        haveGast_ = true;
    }
    return gast_ + longitude_ * ERFA_DD2R;
}

double EphemerisComponent::SiderealTime(int kind) {
    switch (kind) {
        case 0: return WrapDegrees(engine_.GreenwichMeanSiderealTime(Moment()) * ERFA_DR2D);
        case 1: return WrapDegrees((LocalApparentSiderealRad() - longitude_ * ERFA_DD2R) * ERFA_DR2D);
        case 2:
            return WrapDegrees(engine_.GreenwichMeanSiderealTime(Moment()) * ERFA_DR2D + longitude_);
        case 3: return WrapDegrees(LocalApparentSiderealRad() * ERFA_DR2D);
        default: throw EphemerisError("unknown sidereal time kind " + std::to_string(kind));
    }
}

double EphemerisComponent::RightAscension() { return WrapDegrees(SunNow().rightAscension * ERFA_DR2D); }

double EphemerisComponent::Declination() { return SunNow().declination * ERFA_DR2D; }

double EphemerisComponent::Altitude() {
    const SunPlace& s = SunNow();
    const double phi = latitude_ * ERFA_DD2R;
    const double h = LocalApparentSiderealRad() - s.rightAscension;
    const double sinAlt = std::sin(phi) * std::sin(s.declination) +
                          std::cos(phi) * std::cos(s.declination) * std::cos(h);
    return std::asin(std::fmax(-1.0, std::fmin(1.0, sinAlt))) * ERFA_DR2D;
}

double EphemerisComponent::AltitudeAt(double utcOle) {
    const AstroInstant at = MakeInstant(utcOle);
    const SunPlace s = engine_.Sun(at);
    const double phi = latitude_ * ERFA_DD2R;
    const double h = engine_.GreenwichApparentSiderealTime(at) + longitude_ * ERFA_DD2R - s.rightAscension;
    const double sinAlt = std::sin(phi) * std::sin(s.declination) +
                          std::cos(phi) * std::cos(s.declination) * std::cos(h);
    return std::asin(std::fmax(-1.0, std::fmin(1.0, sinAlt)));
}

double EphemerisComponent::RiseSetDepression() {
    return (kSunRadiusArcsec / SunNow().distance + kHorizontalRefraction) / 3600.0;
}

const EphemerisComponent::DayEvents& EphemerisComponent::Events() {
    const std::int64_t day = DayNumber(currentDate_);
    if (events_.day == day && events_.latitude == latitude_ && events_.longitude == longitude_ &&
        events_.zone == timeZone_) {
        return events_;
    }
    const double threshold = -kTwilightDepression * ERFA_DD2R;
    auto f = [&](double t) { return AltitudeAt(t) - threshold; };
    // Hourly samples from noon of the day before to noon of the day after (UTC moments).
    const double start = static_cast<double>(day) - 0.5 - ZoneDays();
    constexpr int kSamples = 48;
    constexpr double kStep = 2.0 / kSamples;
    std::array<double, kSamples + 1> ts{}, fs{};
    for (int i = 0; i <= kSamples; ++i) {
        ts[i] = start + i * kStep;
        fs[i] = f(ts[i]);
    }
    struct Crossing {
        double t;
        bool rising;
    };
    std::vector<Crossing> crossings;
    auto add = [&](double a, double fa, double b, double fb) {
        crossings.push_back({Bracketed(f, a, fa, b, fb), fb > fa});
    };
    for (int i = 0; i < kSamples; ++i) {
        if ((fs[i] < 0.0) != (fs[i + 1] < 0.0)) add(ts[i], fs[i], ts[i + 1], fs[i + 1]);
        if (i == 0) continue;
        // An extreme between samples can dip across the line and back within two hours.
        const bool max = fs[i] > fs[i - 1] && fs[i] >= fs[i + 1] && fs[i] < 0.0 && fs[i] > -1.5 * ERFA_DD2R;
        const bool min = fs[i] < fs[i - 1] && fs[i] <= fs[i + 1] && fs[i] >= 0.0 && fs[i] < 1.5 * ERFA_DD2R;
        if (!max && !min) continue;
        const double sign = max ? 1.0 : -1.0;
        double a = ts[i - 1], b = ts[i + 1];
        const double g = 0.3819660112501051;
        double c = a + g * (b - a), d = b - g * (b - a);
        double fc = sign * f(c), fd = sign * f(d);
        for (int k = 0; k < 30; ++k) {
            if (fc > fd) {
                b = d;
                d = c;
                fd = fc;
                c = a + g * (b - a);
                fc = sign * f(c);
            } else {
                a = c;
                c = d;
                fc = fd;
                d = b - g * (b - a);
                fd = sign * f(d);
            }
        }
        const double te = (a + b) / 2, fe = f(te);
        if ((fe < 0.0) != (fs[i] < 0.0)) {
            add(ts[i - 1], fs[i - 1], te, fe);
            add(te, fe, ts[i + 1], fs[i + 1]);
        }
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& x, const Crossing& y) { return x.t < y.t; });

    DayEvents ev;
    ev.day = day;
    ev.latitude = latitude_;
    ev.longitude = longitude_;
    ev.zone = timeZone_;
    const double dayStart = static_cast<double>(day) - ZoneDays(), dayEnd = dayStart + 1.0;
    for (const Crossing& c : crossings) {
        if (c.rising && c.t >= dayStart && c.t < dayEnd) {
            ev.dawn = c.t;
            ev.dawnOnDate = true;
            break;
        }
    }
    const Crossing* lastSetting = nullptr;
    for (const Crossing& c : crossings) {
        if (c.rising || c.t < dayStart || c.t >= dayEnd) continue;
        if (!ev.dawnOnDate || c.t >= ev.dawn) {
            ev.dusk = c.t;
            ev.duskOnDate = true;
            break;
        }
        lastSetting = &c;
    }
    if (!ev.duskOnDate && lastSetting) {
        ev.dusk = lastSetting->t;
        ev.duskOnDate = true;
    }
    if (!ev.dawnOnDate || !ev.duskOnDate) {
        // Upper culmination nearest local noon: the Sun's hour angle is zero.
        double t = dayStart + 0.5;
        for (int i = 0; i < 4; ++i) {
            const AstroInstant at = MakeInstant(t);
            const double ha = engine_.GreenwichApparentSiderealTime(at) + longitude_ * ERFA_DD2R -
                              engine_.Sun(at).rightAscension;
            t -= WrapPi(ha) / ERFA_D2PI;
        }
        const bool above = f(t) >= 0.0;
        if (!ev.dawnOnDate) {
            ev.dawn = t - (above ? 43140.0 : 60.0) / 86400.0;
            for (const Crossing& c : crossings) {
                if (c.rising && c.t >= t - 0.5 && c.t <= t) ev.dawn = c.t;
            }
        }
        if (!ev.duskOnDate) {
            ev.dusk = t + (above ? 43140.0 : 60.0) / 86400.0;
            for (auto it = crossings.rbegin(); it != crossings.rend(); ++it) {
                if (!it->rising && it->t >= t && it->t <= t + 0.5) ev.dusk = it->t;
            }
        }
    }
    // Back to local time.
    ev.dawn += ZoneDays();
    ev.dusk += ZoneDays();
    events_ = ev;
    return events_;
}

double EphemerisComponent::Dawn() { return Events().dawn; }
double EphemerisComponent::Dusk() { return Events().dusk; }

std::optional<double> EphemerisComponent::DawnOnDate() {
    const DayEvents& ev = Events();
    return ev.dawnOnDate ? std::optional<double>(ev.dawn) : std::nullopt;
}

std::optional<double> EphemerisComponent::DuskOnDate() {
    const DayEvents& ev = Events();
    return ev.duskOnDate ? std::optional<double>(ev.dusk) : std::nullopt;
}

double EphemerisComponent::TimeAtSolarLongitude(double angle, double start) {
    if (!std::isfinite(angle) || !std::isfinite(start)) throw EphemerisError("angle or date is not finite");
    const double target = WrapDegrees(angle) * ERFA_DD2R;
    const double startUtc = start - ZoneDays();
    const double now = engine_.SunLongitude(MakeInstant(startUtc)) * ERFA_DR2D;
    const double ahead = WrapDegrees(angle - now);
    // A start at the moment itself (as found by an earlier search) may sit a rounding hair
    // past it: within 2e-7° (about 17 ms of the Sun's motion) the start is the moment.
    if (ahead == 0.0 || ahead > 360.0 - 2e-7) return start;
    double t = SunLongitudeNear(engine_, target, startUtc + ahead / kMeanSolarRate);
    if (t < startUtc) {
        // Only a rounding hair before the start when the start is the moment itself.
        t = startUtc - t < 1e-6 ? startUtc : SunLongitudeNear(engine_, target, t + 365.2422);
    }
    return t + ZoneDays();
}

const EphemerisComponent::TermInfo& EphemerisComponent::Term() {
    const std::int64_t day = DayNumber(currentDate_);
    if (term_.day == day && term_.zone == timeZone_) return term_;
    // The last term whose moment falls before the end of this local date.
    const double dayEnd = static_cast<double>(day) + 1.0 - ZoneDays();
    const double lon = engine_.SunLongitude(MakeInstant(dayEnd)) * ERFA_DR2D;
    double termLon = 15.0 * std::floor(lon / 15.0);
    if (termLon == lon) termLon -= 15.0;
    const double moment = SunLongitudeNear(engine_, WrapDegrees(termLon) * ERFA_DD2R,
                                           dayEnd - (lon - termLon) / kMeanSolarRate);
    TermInfo info;
    info.day = day;
    info.zone = timeZone_;
    info.dayOfTerm = static_cast<int>(day - DayNumber(moment + ZoneDays())) + 1;
    // Next term at termLon + 15 = 15k - 30.
    const int next = static_cast<int>(std::lround(WrapDegrees(termLon + 15.0) / 15.0));  // 0..23
    info.index = (next + 1) % 24 + 1;
    term_ = info;
    return term_;
}

int EphemerisComponent::SolarTermIndex() { return Term().index; }
int EphemerisComponent::SolarTermDay() { return Term().dayOfTerm; }

LunisolarDate EphemerisComponent::Lunisolar() { return calendar_.DateOfDay(DayNumber(currentDate_)); }

int EphemerisComponent::LunisolarMonth() { return Lunisolar().month; }
int EphemerisComponent::LunisolarDay() { return Lunisolar().day; }
bool EphemerisComponent::LeapMonth() { return Lunisolar().leap; }

std::string EphemerisComponent::DayLabel() {
    static const char* const kLabels[6] = {"大安", "赤口", "先勝", "友引", "先負", "仏滅"};
    const LunisolarDate d = Lunisolar();
    return kLabels[(d.month + d.day) % 6];
}

std::string EphemerisComponent::FormatSexagesimal(double dayFraction, const std::string& hoursPattern,
                                                  const std::string& minutesPattern,
                                                  const std::string& secondsPattern) const {
    return FormatDayFraction(dayFraction, hoursPattern, minutesPattern, secondsPattern);
}

}  // namespace vireo
