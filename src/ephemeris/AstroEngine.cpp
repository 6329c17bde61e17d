#include "ephemeris/AstroEngine.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

#include "ephemeris/Ephemeris.h"
#include "ephemeris/Nutation2000B.h"

namespace vireo {
namespace {

constexpr double kOleEpochMjd = 15018.0;  // 1899-12-30
constexpr double kFirstLeapTableMjd = 36934.0;  // 1960-01-01: eraDat's table starts here

double Wrap2Pi(double a) {
    a = std::fmod(a, ERFA_D2PI);
    return a < 0.0 ? a + ERFA_D2PI : a;
}

// Espenak & Meeus (2004), TT - UT1 in seconds for a decimal year before 1960.
double EspenakMeeus(double y) {
    if (y < -500.0) {
        const double u = (y - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u;
    }
    if (y < 500.0) {
        const double u = y / 100.0;
        return 10583.6 + u * (-1014.41 + u * (33.78311 + u * (-5.952053 + u * (-0.1798452
               + u * (0.022174192 + u * 0.0090316521)))));
    }
    if (y < 1600.0) {
        const double u = (y - 1000.0) / 100.0;
        return 1574.2 + u * (-556.01 + u * (71.23472 + u * (0.319781 + u * (-0.8503463
               + u * (-0.005050998 + u * 0.0083572073)))));
    }
    if (y < 1700.0) {
        const double t = y - 1600.0;
        return 120.0 + t * (-0.9808 + t * (-0.01532 + t / 7129.0));
    }
    if (y < 1800.0) {
        const double t = y - 1700.0;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000.0)));
    }
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 + t * (-0.332447 + t * (0.0068612 + t * (0.0041116 + t * (-0.00037436
               + t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624
               + t / 233174.0))));
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    const double t = y - 1950.0;
    return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
}

}  // namespace

double DeltaTSeconds(double utcMjd) {
    int iy = 0, im = 0, id = 0;
    double fd = 0.0;
    if (eraJd2cal(ERFA_DJM0, utcMjd, &iy, &im, &id, &fd) != 0) {
        throw EphemerisError("date out of range");
    }
    if (utcMjd < kFirstLeapTableMjd) {
        return EspenakMeeus(iy + (im - 0.5) / 12.0);
    }
    // From 1972 on the offset changes only at a day boundary, so one look-up serves a day.
    thread_local double cachedDay = -1e300;
    thread_local double cachedValue = 0.0;
    const double day = std::floor(utcMjd);
    if (day == cachedDay) return cachedValue;
    double dat = 0.0;
    // Status 1 is ERFA's "dubious year" beyond its table: the last known value still holds.
    if (eraDat(iy, im, id, fd, &dat) < 0) throw EphemerisError("leap second table refused the date");
    const double value = 32.184 + dat;
    if (utcMjd >= 41317.0) {  // 1972-01-01: whole leap seconds only
        cachedDay = day;
        cachedValue = value;
    }
    return value;
}

AstroInstant MakeInstant(double utcOle) {
    if (!std::isfinite(utcOle)) throw EphemerisError("date is not a finite number");
    // Years 998 to 3001, so that the calendar of a date in 1000 to 2999 can reach the
    // solstices and new moons of the neighbouring years.
    if (utcOle < -329446.0 || utcOle >= 402499.0) throw EphemerisError("date out of range");
    AstroInstant at;
    at.utcOle = utcOle;
    at.utcMjd = utcOle + kOleEpochMjd;
    at.ttMjd = at.utcMjd + DeltaTSeconds(at.utcMjd) / ERFA_DAYSEC;
    return at;
}

AstroEngine::AstroEngine() : nodes_(std::make_shared<Nodes>()) {}

namespace {

// The node under key, computed outside the lock when missing (another thread may compute the
// same one meanwhile: both get the same exact values). Past the cap the cache starts again.
template <typename Node, typename Compute>
Node CachedNode(std::mutex& mutex, std::unordered_map<std::int64_t, Node>& cache, std::size_t cap,
                std::int64_t key, Compute&& compute) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto it = cache.find(key);
        if (it != cache.end()) return it->second;
    }
    const Node node = compute();
    std::lock_guard<std::mutex> lock(mutex);
    if (cache.size() >= cap) cache.clear();
    cache.emplace(key, node);
    return node;
}

}  // namespace

AstroEngine::EarthNode AstroEngine::Earth(std::int64_t day) {
    return CachedNode(nodes_->mutex, nodes_->earth, kEarthCacheCap, day, [day] {
        EarthNode node;
        eraEpv00(ERFA_DJM0, static_cast<double>(day) * kEarthStep, node.pvh, node.pvb);
        return node;
    });
}

AstroEngine::NutationNode AstroEngine::Nutation(std::int64_t index) {
    return CachedNode(nodes_->mutex, nodes_->nutation, kNutationCacheCap, index, [index] {
        NutationNode node;
        const double tt = static_cast<double>(index) * kNutationStep;
        double dpsi, deps, bpsi, beps, gamb, phib, psib, epsa, rnpb[3][3], x, y;
        eraNut06a(ERFA_DJM0, tt, &dpsi, &deps);
        Nutation2000B(tt, &bpsi, &beps);
        eraPfw06(ERFA_DJM0, tt, &gamb, &phib, &psib, &epsa);
        eraFw2m(gamb, phib, psib + dpsi, epsa + deps, rnpb);
        eraBpn2xy(rnpb, &x, &y);
        // Equation of the origins; UT1 is UTC and ERA is exact, so GAST = ERA - EO.
        const double eo = eraEors(rnpb, eraS06(ERFA_DJM0, tt, x, y));
        node.dpsiExtra = dpsi - bpsi;
        node.depsExtra = deps - beps;
        node.eoSmooth = eo + dpsi * std::cos(epsa);
        node.index = index;
        return node;
    });
}

namespace {

// The nodes of the Hermite interpolation, each twice (position and velocity), in steps.
constexpr double kEarthNodes[8] = {-1, -1, 0, 0, 1, 1, 2, 2};

}  // namespace

void AstroEngine::EarthAt(double ttMjd, double pvh[2][3], double pvb[2][3]) {
    const double x = ttMjd / kEarthStep;
    const double x0 = std::floor(x);
    const auto index = static_cast<std::int64_t>(x0);
    // The clock asks within one interval for four days on end: no look-up then.
    if (earthSpan_.index != index) {
        EarthNode nodes[4];
        for (int i = 0; i < 4; ++i) nodes[i] = Earth(index - 1 + i);
        for (int body = 0; body < 2; ++body) {
            for (int axis = 0; axis < 3; ++axis) {
                double* d = earthSpan_.coefficients[body][axis];
                for (int j = 0; j < 8; ++j) {
                    const EarthNode& n = nodes[j / 2];
                    d[j] = body == 0 ? n.pvh[0][axis] : n.pvb[0][axis];
                }
                // Divided differences; a repeated node takes the derivative, in steps.
                for (int k = 1; k < 8; ++k) {
                    for (int j = 7; j >= k; --j) {
                        if (k == 1 && j % 2 == 1) {
                            const EarthNode& n = nodes[j / 2];
                            d[j] = (body == 0 ? n.pvh[1][axis] : n.pvb[1][axis]) * kEarthStep;
                        } else {
                            d[j] = (d[j] - d[j - 1]) / (kEarthNodes[j] - kEarthNodes[j - k]);
                        }
                    }
                }
            }
        }
        earthSpan_.index = index;
    }
    const double s = x - x0;
    for (int body = 0; body < 2; ++body) {
        double (*pv)[3] = body == 0 ? pvh : pvb;
        for (int axis = 0; axis < 3; ++axis) {
            const double* c = earthSpan_.coefficients[body][axis];
            double p = c[7], dp = 0.0;
            for (int j = 6; j >= 0; --j) {
                dp = dp * (s - kEarthNodes[j]) + p;
                p = p * (s - kEarthNodes[j]) + c[j];
            }
            pv[0][axis] = p;
            pv[1][axis] = dp / kEarthStep;
        }
    }
}

// IAU 2000B (77 terms) at the moment itself, plus the rest of IAU 2006/2000A interpolated
// linearly between nodes sixteen days apart: within 3 milliarcseconds of the full series
// (what is left is the short-period part of the small terms 2000B leaves out).
void AstroEngine::NutationAt(double ttMjd, double* dpsi, double* deps, double* eo) {
    if (ttMjd != lastNutationTt_) {
        const double x = ttMjd / kNutationStep;
        const double i0 = std::floor(x);
        const auto index = static_cast<std::int64_t>(i0);
        if (lastNutation_[0].index != index) {
            lastNutation_[0] = Nutation(index);
            lastNutation_[1] = Nutation(index + 1);
        }
        const NutationNode& a = lastNutation_[0];
        const NutationNode& b = lastNutation_[1];
        const double f = x - i0;
        double bpsi, beps;
        Nutation2000B(ttMjd, &bpsi, &beps);
        lastDpsi_ = bpsi + a.dpsiExtra + f * (b.dpsiExtra - a.dpsiExtra);
        lastDeps_ = beps + a.depsExtra + f * (b.depsExtra - a.depsExtra);
        lastEo_ = a.eoSmooth + f * (b.eoSmooth - a.eoSmooth) -
                  lastDpsi_ * std::cos(eraObl06(ERFA_DJM0, ttMjd));
        lastNutationTt_ = ttMjd;
    }
    *dpsi = lastDpsi_;
    *deps = lastDeps_;
    *eo = lastEo_;
}

void AstroEngine::NpbMatrix(double ttMjd, double rnpb[3][3], double* trueObliquity) {
    double gamb, phib, psib, epsa, dpsi, deps, eo;
    eraPfw06(ERFA_DJM0, ttMjd, &gamb, &phib, &psib, &epsa);
    NutationAt(ttMjd, &dpsi, &deps, &eo);
    eraFw2m(gamb, phib, psib + dpsi, epsa + deps, rnpb);
    *trueObliquity = epsa + deps;
}

SunPlace AstroEngine::Sun(const AstroInstant& at) {
    double pvh[2][3], pvb[2][3];
    EarthAt(at.ttMjd, pvh, pvb);
    // Geocentric Sun at the time its light left it: the Sun's own barycentric motion over
    // the light time (a few metres a second for ~500 s) is all that changes.
    double p[3];
    double dist = std::sqrt(pvh[0][0] * pvh[0][0] + pvh[0][1] * pvh[0][1] + pvh[0][2] * pvh[0][2]);
    const double tau = dist / ERFA_DC;  // days
    for (int i = 0; i < 3; ++i) p[i] = -pvh[0][i] - tau * (pvb[1][i] - pvh[1][i]);
    dist = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    double pnat[3] = {p[0] / dist, p[1] / dist, p[2] / dist};
    // Annual aberration from the Earth's barycentric velocity (as a fraction of c).
    double v[3];
    double v2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        v[i] = pvb[1][i] / ERFA_DC;
        v2 += v[i] * v[i];
    }
    double ppr[3];
    eraAb(pnat, v, dist, std::sqrt(1.0 - v2), ppr);
    double rnpb[3][3], eps;
    NpbMatrix(at.ttMjd, rnpb, &eps);
    double q[3];
    eraRxp(rnpb, ppr, q);
    SunPlace place;
    place.rightAscension = Wrap2Pi(std::atan2(q[1], q[0]));
    place.declination = std::atan2(q[2], std::sqrt(q[0] * q[0] + q[1] * q[1]));
    place.eclipticLongitude =
        Wrap2Pi(std::atan2(q[1] * std::cos(eps) + q[2] * std::sin(eps), q[0]));
    place.distance = dist;
    return place;
}

double AstroEngine::SunLongitude(const AstroInstant& at) { return Sun(at).eclipticLongitude; }

double AstroEngine::MoonLongitude(const AstroInstant& at) {
    double pv[2][3];
    eraMoon98(ERFA_DJM0, at.ttMjd, pv);
    // Seen from the geocentre, the Moon's apparent place is its geometric place one light
    // time earlier; the annual aberration cancels the Earth's share of the light-time shift.
    const double dist = std::sqrt(pv[0][0] * pv[0][0] + pv[0][1] * pv[0][1] + pv[0][2] * pv[0][2]);
    const double tau = dist / ERFA_DC;
    double p[3];
    for (int i = 0; i < 3; ++i) p[i] = pv[0][i] - tau * pv[1][i];
    double rnpb[3][3], eps;
    NpbMatrix(at.ttMjd, rnpb, &eps);
    double q[3];
    eraRxp(rnpb, p, q);
    return Wrap2Pi(std::atan2(q[1] * std::cos(eps) + q[2] * std::sin(eps), q[0]));
}

double AstroEngine::GreenwichMeanSiderealTime(const AstroInstant& at) const {
    return eraGmst06(ERFA_DJM0, at.utcMjd, ERFA_DJM0, at.ttMjd);
}

double AstroEngine::EquationOfOrigins(double ttMjd) {
    double dpsi, deps, eo;
    NutationAt(ttMjd, &dpsi, &deps, &eo);
    return eo;
}

double AstroEngine::GreenwichApparentSiderealTime(const AstroInstant& at) {
    double dpsi, deps, eo;
    NutationAt(at.ttMjd, &dpsi, &deps, &eo);
    return Wrap2Pi(eraEra00(ERFA_DJM0, at.utcMjd) - eo);
}

}  // namespace vireo

namespace vireo {
namespace {

double WrapPi(double a) {
    a = std::fmod(a, ERFA_D2PI);
    if (a <= -ERFA_DPI) a += ERFA_D2PI;
    if (a > ERFA_DPI) a -= ERFA_D2PI;
    return a;
}

// Secant iteration on a wrapped angle g(t) -> 0, starting from guess with a known mean rate
// (radians a day). Converges to about a millisecond.
template <typename Angle>
double SolveAngle(Angle&& g, double guess, double rate) {
    double t0 = guess;
    double g0 = WrapPi(g(t0));
    if (g0 == 0.0) return t0;
    double t1 = t0 - g0 / rate;
    for (int i = 0; i < 30; ++i) {
        const double g1 = WrapPi(g(t1));
        if (g1 == 0.0) return t1;
        double slope = (g1 - g0) / (t1 - t0);
        // A secant far from the mean rate means a wrap or a poor pair: fall back to the rate.
        if (!(slope > 0.3 * rate && slope < 3.0 * rate)) slope = rate;
        const double t2 = t1 - g1 / slope;
        t0 = t1;
        g0 = g1;
        t1 = t2;
        if (std::fabs(t1 - t0) < 1e-9) return t1;
    }
    throw EphemerisError("root search did not converge");
}

}  // namespace

double SunLongitudeNear(AstroEngine& engine, double target, double guessUtcOle) {
    return SolveAngle(
        [&](double t) { return engine.SunLongitude(MakeInstant(t)) - target; }, guessUtcOle,
        ERFA_D2PI / 365.2422);
}

double NewMoonNear(AstroEngine& engine, double guessUtcOle) {
    return SolveAngle(
        [&](double t) {
            const AstroInstant at = MakeInstant(t);
            return engine.MoonLongitude(at) - engine.SunLongitude(at);
        },
        guessUtcOle, ERFA_D2PI / 29.530589);
}

}  // namespace vireo

namespace vireo {
namespace {

constexpr double kOleEpochMjdQuick = 15018.0;
constexpr double kMeanLunation = 29.530588861;
constexpr double kLunationZeroTtMjd = 51550.09766 - 0.5;  // JDE 2451550.09766

double DegreesToRadians(double d) { return d * ERFA_DD2R; }

}  // namespace

double QuickSunLongitude(double ttMjd) {
    const double t = (ttMjd - 51544.5) / 36525.0;
    const double l0 = 280.46646 + t * (36000.76983 + t * 0.0003032);
    const double m = DegreesToRadians(357.52911 + t * (35999.05029 - t * 0.0001537));
    const double c = (1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
                     (0.019993 - 0.000101 * t) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
    const double omega = DegreesToRadians(125.04 - 1934.136 * t);
    // The Earth swings about the Earth-Moon barycentre by 6.4″ as seen from the Sun.
    const double d = DegreesToRadians(297.8501921 + 445267.1114034 * t);
    return Wrap2Pi(DegreesToRadians(l0 + c - 0.00569 - 0.00478 * std::sin(omega) + 0.00179 * std::sin(d)));
}

double QuickSunLongitudeNear(double target, double guessUtcOle) {
    constexpr double kRate = ERFA_D2PI / 365.2422;
    double t = guessUtcOle;
    for (int i = 0; i < 8; ++i) {
        const double step = WrapPi(QuickSunLongitude(MakeInstant(t).ttMjd) - target) / kRate;
        t -= step;
        if (std::fabs(step) < 1e-6) break;
    }
    return t;
}

std::int64_t LunationNear(double utcOle) {
    return static_cast<std::int64_t>(
        std::llround((utcOle + kOleEpochMjdQuick - kLunationZeroTtMjd) / kMeanLunation));
}

double QuickNewMoon(std::int64_t lunation) {
    const double k = static_cast<double>(lunation);
    const double t = k / 1236.85, t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    double tt = kLunationZeroTtMjd + kMeanLunation * k + 0.00015437 * t2 - 0.000000150 * t3 +
                0.00000000073 * t4;
    const double e = 1 - 0.002516 * t - 0.0000074 * t2;
    const double m = DegreesToRadians(2.5534 + 29.10535670 * k - 0.0000014 * t2 - 0.00000011 * t3);
    const double mp = DegreesToRadians(201.5643 + 385.81693528 * k + 0.0107582 * t2 + 0.00001238 * t3 -
                                       0.000000058 * t4);
    const double f = DegreesToRadians(160.7108 + 390.67050284 * k - 0.0016118 * t2 - 0.00000227 * t3 +
                                      0.000000011 * t4);
    const double om = DegreesToRadians(124.7746 - 1.56375588 * k + 0.0020672 * t2 + 0.00000215 * t3);
    tt += -0.40720 * std::sin(mp) + 0.17241 * e * std::sin(m) + 0.01608 * std::sin(2 * mp) +
          0.01039 * std::sin(2 * f) + 0.00739 * e * std::sin(mp - m) - 0.00514 * e * std::sin(mp + m) +
          0.00208 * e * e * std::sin(2 * m) - 0.00111 * std::sin(mp - 2 * f) -
          0.00057 * std::sin(mp + 2 * f) + 0.00056 * e * std::sin(2 * mp + m) -
          0.00042 * std::sin(3 * mp) + 0.00042 * e * std::sin(m + 2 * f) +
          0.00038 * e * std::sin(m - 2 * f) - 0.00024 * e * std::sin(2 * mp - m) -
          0.00017 * std::sin(om) - 0.00007 * std::sin(mp + 2 * m) + 0.00004 * std::sin(2 * mp - 2 * f) +
          0.00004 * std::sin(3 * m) + 0.00003 * std::sin(mp + m - 2 * f) +
          0.00003 * std::sin(2 * mp + 2 * f) - 0.00003 * std::sin(mp + m + 2 * f) +
          0.00003 * std::sin(mp - m + 2 * f) - 0.00002 * std::sin(mp - m - 2 * f) -
          0.00002 * std::sin(3 * mp + m) + 0.00002 * std::sin(4 * mp);
    // The planets' share.
    static const double kArguments[14][3] = {
        {299.77, 0.107408, 0.000325}, {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164},
        {349.42, 36.412478, 0.000126}, {84.66, 18.206239, 0.000110},  {141.74, 53.303771, 0.000062},
        {207.14, 2.453732, 0.000060},  {154.84, 7.306860, 0.000056},  {34.52, 27.261239, 0.000047},
        {207.19, 0.121824, 0.000042},  {291.34, 1.844379, 0.000040},  {161.72, 24.198154, 0.000037},
        {239.56, 25.513099, 0.000035}, {331.55, 3.592518, 0.000023}};
    for (int i = 0; i < 14; ++i) {
        const double a = kArguments[i][0] + kArguments[i][1] * k - (i == 0 ? 0.009173 * t2 : 0.0);
        tt += kArguments[i][2] * std::sin(DegreesToRadians(a));
    }
    const double utcMjd = tt - DeltaTSeconds(tt) / ERFA_DAYSEC;
    return utcMjd - kOleEpochMjdQuick;
}

}  // namespace vireo
