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

namespace {

// The Sun's apparent right ascension and declination and the equation of the origins over a
// stretch of TT, as Chebyshev series through exact places. A day's altitude searches ask for
// hundreds of moments; over a day or two these quantities are smooth enough (the fastest
// parts, the Moon's pull on the Earth and the nutation, have periods of weeks) that four
// exact places over a day carry them within 30 microarcseconds (27 in right ascension at
// worst over 1901-2099, which moves a dawn by 2 microseconds), far inside the chain's own
// accuracy.
class SunTrack {
public:
    void Fit(AstroEngine& engine, double ttBegin, double ttEnd, int nodes) {
        n_ = nodes;
        mid_ = (ttBegin + ttEnd) / 2;
        half_ = (ttEnd - ttBegin) / 2;
        double values[3][kMaxNodes];
        for (int j = 0; j < n_; ++j) {
            AstroInstant at;  // the Sun and the nutation depend on TT alone
            at.ttMjd = mid_ + half_ * std::cos(ERFA_DPI * (j + 0.5) / n_);
            const SunPlace sun = engine.Sun(at);
            double ra = sun.rightAscension;
            if (j > 0) ra = values[0][j - 1] + WrapPi(ra - values[0][j - 1]);  // unwrapped
            values[0][j] = ra;
            values[1][j] = sun.declination;
            values[2][j] = engine.EquationOfOrigins(at.ttMjd);
        }
        for (int q = 0; q < 3; ++q) {
            for (int k = 0; k < n_; ++k) {
                double sum = 0.0;
                for (int j = 0; j < n_; ++j) sum += values[q][j] * std::cos(ERFA_DPI * k * (j + 0.5) / n_);
                coefficients_[q][k] = 2.0 * sum / n_;
            }
        }
    }
    bool Covers(double ttMjd) const { return n_ > 0 && std::fabs(ttMjd - mid_) <= half_ * 1.0001; }
    // Right ascension (not wrapped), declination, equation of the origins; radians.
    void At(double ttMjd, double out[3]) const {
        const double x = (ttMjd - mid_) / half_;
        for (int q = 0; q < 3; ++q) {
            double b1 = 0.0, b2 = 0.0;
            for (int k = n_ - 1; k >= 1; --k) {
                const double b = 2.0 * x * b1 - b2 + coefficients_[q][k];
                b2 = b1;
                b1 = b;
            }
            out[q] = x * b1 - b2 + coefficients_[q][0] / 2.0;
        }
    }

private:
    static constexpr int kMaxNodes = 12;
    int n_ = 0;
    double mid_ = 0.0, half_ = 1.0;
    double coefficients_[3][kMaxNodes] = {};
};

struct Crossing {
    double t;
    bool rising;
};

// The crossings of f through zero found from hourly samples ts/fs: a change of sign within
// an interval [i, i+1] for i in [firstInterval, lastInterval], and an extreme at a sample i in
// [firstExtreme, lastExtreme] that dips across the line and back between its neighbours.
template <typename F>
void ScanCrossings(F&& f, const double* ts, const double* fs, int firstInterval, int lastInterval,
                   int firstExtreme, int lastExtreme, std::vector<Crossing>* crossings) {
    auto add = [&](double a, double fa, double b, double fb) {
        crossings->push_back({Bracketed(f, a, fa, b, fb), fb > fa});
    };
    for (int i = std::min(firstInterval, firstExtreme); i <= std::max(lastInterval, lastExtreme); ++i) {
        if (i >= firstInterval && i <= lastInterval && (fs[i] < 0.0) != (fs[i + 1] < 0.0)) {
            add(ts[i], fs[i], ts[i + 1], fs[i + 1]);
        }
        if (i < firstExtreme || i > lastExtreme) continue;
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
}

}  // namespace

const EphemerisComponent::DayEvents& EphemerisComponent::Events() {
    const std::int64_t day = DayNumber(currentDate_);
    if (dayEvents_.size() >= kDayEventsCap && dayEvents_.find(day) == dayEvents_.end()) dayEvents_.clear();
    DayEvents& cached = dayEvents_[day];
    if (cached.day == day && cached.latitude == latitude_ && cached.longitude == longitude_ &&
        cached.zone == timeZone_) {
        return cached;
    }
    const double threshold = -kTwilightDepression * ERFA_DD2R;
    const double phi = latitude_ * ERFA_DD2R, sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double lambda = longitude_ * ERFA_DD2R;
    SunTrack track;
    // The altitude from the track; a moment outside it (none, as the searches stay inside
    // the window fitted) falls back to the exact chain.
    auto f = [&](double t) {
        const AstroInstant at = MakeInstant(t);
        if (!track.Covers(at.ttMjd)) return AltitudeAt(t) - threshold;
        double v[3];
        track.At(at.ttMjd, v);
        const double h = eraEra00(ERFA_DJM0, at.utcMjd) - v[2] + lambda - v[0];
        const double sinAlt = sinPhi * std::sin(v[1]) + cosPhi * std::cos(v[1]) * std::cos(h);
        return std::asin(std::fmax(-1.0, std::fmin(1.0, sinAlt))) - threshold;
    };
    // Hourly samples from noon of the day before to noon of the day after (UTC moments);
    // the local date itself runs from sample 12 to sample 36.
    const double start = static_cast<double>(day) - 0.5 - ZoneDays();
    constexpr int kSamples = 48;
    constexpr double kStep = 2.0 / kSamples;
    constexpr double kMargin = 60.0 / 86400.0;
    std::array<double, kSamples + 1> ts{}, fs{};
    for (int i = 0; i <= kSamples; ++i) ts[i] = start + i * kStep;
    std::vector<Crossing> crossings;
    const double dayStart = static_cast<double>(day) - ZoneDays(), dayEnd = dayStart + 1.0;

    DayEvents ev;
    ev.day = day;
    ev.latitude = latitude_;
    ev.longitude = longitude_;
    ev.zone = timeZone_;
    // Dawn: the first rising crossing on the date; dusk: the first setting one at or after
    // dawn, else the last one before it.
    auto choose = [&] {
        ev.dawnOnDate = ev.duskOnDate = false;
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& x, const Crossing& y) { return x.t < y.t; });
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
    };
    // Mostly both crossings lie on the date: the samples around it find every crossing the
    // date holds (intervals 12 to 35, extremes at 12 to 36), as a scan of the whole window would.
    if (!referenceSearches_) {
        track.Fit(engine_, MakeInstant(ts[11] - kMargin).ttMjd, MakeInstant(ts[37] + kMargin).ttMjd, 4);
        for (int i = 11; i <= 37; ++i) fs[i] = f(ts[i]);
        ScanCrossings(f, ts.data(), fs.data(), 12, 35, 12, 36, &crossings);
        choose();
    }
    if (!ev.dawnOnDate || !ev.duskOnDate) {
        // The stand-ins need the crossings of the whole window.
        track = SunTrack();
        if (!referenceSearches_) {
            track.Fit(engine_, MakeInstant(ts[0] - kMargin).ttMjd, MakeInstant(ts[kSamples] + kMargin).ttMjd, 10);
        }
        for (int i = 0; i <= kSamples; ++i) fs[i] = f(ts[i]);
        crossings.clear();
        ScanCrossings(f, ts.data(), fs.data(), 0, kSamples - 1, 1, kSamples - 1, &crossings);
        choose();
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
    cached = ev;
    return cached;
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
    double guess = startUtc + ahead / kMeanSolarRate;
    // Start the exact search from the quick estimate (within minutes) unless the moment is
    // so near the start that the estimate might find the one a year away. The moment found
    // is kept under its estimate: every date of a term asks for the same next term.
    const double quickAhead = WrapDegrees(angle - QuickSunLongitude(MakeInstant(startUtc).ttMjd) * ERFA_DR2D);
    double t = 0.0;
    if (!referenceSearches_ && quickAhead > 2 * kQuickSunLongitudeBound &&
        quickAhead < 360.0 - 2 * kQuickSunLongitudeBound) {
        guess = QuickSunLongitudeNear(target, guess);
        const auto key = std::make_pair(target, std::llround(guess * 1440.0));
        if (termMoments_.size() >= kTermMomentsCap) termMoments_.clear();
        auto [it, fresh] = termMoments_.try_emplace(key, 0.0);
        if (fresh) it->second = SunLongitudeNear(engine_, target, guess);
        t = it->second;
    } else {
        t = SunLongitudeNear(engine_, target, guess);
    }
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
    TermInfo info;
    info.day = day;
    info.zone = timeZone_;
    if (!referenceSearches_) {
        // Mostly the quick longitude tells which term it is and on which date it began.
        const double quickLon = QuickSunLongitude(MakeInstant(dayEnd).ttMjd) * ERFA_DR2D;
        const double sinceTerm = std::fmod(quickLon, 15.0);
        if (sinceTerm > kQuickSunLongitudeBound && sinceTerm < 15.0 - kQuickSunLongitudeBound) {
            const double termLon = quickLon - sinceTerm;
            const double target = WrapDegrees(termLon) * ERFA_DD2R;
            const double quick = QuickSunLongitudeNear(target, dayEnd - sinceTerm / kMeanSolarRate);
            std::int64_t termDay = DayNumber(quick - kQuickTermBound + ZoneDays());
            if (termDay != DayNumber(quick + kQuickTermBound + ZoneDays())) {
                termDay = DayNumber(SunLongitudeNear(engine_, target, quick) + ZoneDays());
            }
            info.dayOfTerm = static_cast<int>(day - termDay) + 1;
            const int next = static_cast<int>(std::lround(WrapDegrees(termLon + 15.0) / 15.0)) % 24;
            info.index = (next + 1) % 24 + 1;
            term_ = info;
            return term_;
        }
    }
    const double lon = engine_.SunLongitude(MakeInstant(dayEnd)) * ERFA_DR2D;
    double termLon = 15.0 * std::floor(lon / 15.0);
    if (termLon == lon) termLon -= 15.0;
    const double moment = SunLongitudeNear(engine_, WrapDegrees(termLon) * ERFA_DD2R,
                                           dayEnd - (lon - termLon) / kMeanSolarRate);
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
