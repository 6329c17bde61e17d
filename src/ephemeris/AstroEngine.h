#pragma once
// The astronomy under the ephemeris component: time scales, the apparent Sun and Moon, and
// sidereal time, on ERFA. Plain C++, no Qt. Moments are UTC OLE dates (days since 1899-12-30);
// UT1 is taken as UTC.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace vireo {

// One moment on the time scales the models need.
struct AstroInstant {
    double utcOle = 0.0;
    double utcMjd = 0.0;  // UTC = UT1, as a modified Julian date
    double ttMjd = 0.0;   // TT, as a modified Julian date
};

// Apparent geocentric place of the Sun for the true equator and equinox of date.
struct SunPlace {
    double rightAscension = 0.0;  // radians, [0, 2pi)
    double declination = 0.0;     // radians
    double eclipticLongitude = 0.0;  // radians, [0, 2pi), of date
    double distance = 0.0;        // au
};

// TT - UT1 in seconds for a UTC modified Julian date: leap seconds from 1960 on, the
// Espenak & Meeus polynomials before.
double DeltaTSeconds(double utcMjd);

AstroInstant MakeInstant(double utcOle);

// Keeps caches of the expensive series (Earth's orbit every four days, the part of the
// nutation beyond IAU 2000B every sixteen days) and interpolates between them, so that a
// query costs a few microseconds. A node once computed is kept (up to a cap), so queries
// that come back to a stretch of time, as the query tool's do, find it ready. Engines on
// several threads may share their nodes (ShareNodes); everything else is the engine's own.
class AstroEngine {
public:
    AstroEngine();

    // From now on this engine keeps its nodes with other's (and finds other's): one node
    // computed by either thread serves both. The nodes are exact values, so answers do not
    // depend on which engine computed them.
    void ShareNodes(const AstroEngine& other) { nodes_ = other.nodes_; }

    SunPlace Sun(const AstroInstant& at);
    // Apparent ecliptic longitude of date of the Sun and the Moon, radians in [0, 2pi).
    double SunLongitude(const AstroInstant& at);
    double MoonLongitude(const AstroInstant& at);
    // Greenwich sidereal time, radians in [0, 2pi): mean (IAU 2006) and apparent (IAU 2006/2000A).
    double GreenwichMeanSiderealTime(const AstroInstant& at) const;
    double GreenwichApparentSiderealTime(const AstroInstant& at);
    // The equation of the origins at a TT moment (GAST = ERA - EO), radians.
    double EquationOfOrigins(double ttMjd);
    // The Earth's heliocentric and barycentric position and velocity (au, au/day) at a TT
    // moment, as eraEpv00 gives them: interpolated between the cached values, within 0.7 mas
    // in direction (over the years 998 to 3001) and 2e-7 of the velocity.
    void EarthAt(double ttMjd, double pvh[2][3], double pvb[2][3]);

private:
    struct EarthNode {
        double pvh[2][3] = {};  // heliocentric
        double pvb[2][3] = {};  // barycentric
    };
    // What IAU 2000A adds to the short IAU 2000B series, and the equation of the origins
    // without its nutation share: both smooth, so a coarse grid carries them.
    struct NutationNode {
        std::int64_t index = INT64_MIN;
        double dpsiExtra = 0.0, depsExtra = 0.0, eoSmooth = 0.0;
    };
    // About 13 MB and 3 MB at most; past that a cache starts again empty.
    static constexpr std::size_t kEarthCacheCap = 1 << 17;
    static constexpr std::size_t kNutationCacheCap = 1 << 15;
    static constexpr double kNutationStep = 16.0;  // days
    static constexpr double kEarthStep = 4.0;     // days
    // Hermite interpolation through the positions and velocities of four nodes, the two of
    // the interval and one on either side (degree 7): its Newton coefficients over the
    // interval in use, in steps from the interval's start, for the heliocentric and the
    // barycentric position.
    struct EarthSpan {
        std::int64_t index = INT64_MIN;
        double coefficients[2][3][8] = {};
    };

    EarthNode Earth(std::int64_t day);
    NutationNode Nutation(std::int64_t index);
    void NutationAt(double ttMjd, double* dpsi, double* deps, double* eo);
    // Bias-precession-nutation matrix and true obliquity of date.
    void NpbMatrix(double ttMjd, double rnpb[3][3], double* trueObliquity);

    struct Nodes {
        std::mutex mutex;
        std::unordered_map<std::int64_t, EarthNode> earth;
        std::unordered_map<std::int64_t, NutationNode> nutation;
    };
    std::shared_ptr<Nodes> nodes_;
    // The intervals interpolated last.
    EarthSpan earthSpan_;
    NutationNode lastNutation_[2];
    // The last nutation asked: the Sun and sidereal time of one moment share it.
    double lastNutationTt_ = -1e300;
    double lastDpsi_ = 0.0, lastDeps_ = 0.0, lastEo_ = 0.0;
};

}  // namespace vireo

namespace vireo {

// Root searches on the engine. Moments are UTC OLE dates; angles radians.
// The moment nearest guess (within a few days) when the Sun's apparent longitude is target.
double SunLongitudeNear(AstroEngine& engine, double target, double guessUtcOle);
// The new moon (equal apparent longitudes of Sun and Moon) nearest guess (within ~10 days).
double NewMoonNear(AstroEngine& engine, double guessUtcOle);

// Quick estimates, enough to tell on which date an event falls without the ephemerides:
// the Sun's apparent longitude from Meeus's short series for the Sun (with the Moon's pull on
// the Earth), new moons from Meeus's lunation series. Against the searches above, over every
// solar term and every new moon of the years 998 to 3001 (all 48,034 and 24,754 of them),
// they were off by at most 32″ and 808 s (terms) and 31 s (new moons); the bounds allow
// half as much again for the terms' times, twice for the rest. Whoever
// uses an estimate checks that its bound keeps the event inside one date, and asks the exact
// search (starting from the estimate) otherwise.
constexpr double kQuickSunLongitudeBound = 100.0 / 3600.0;  // degrees
constexpr double kQuickTermBound = 1200.0 / 86400.0;        // days
constexpr double kQuickNewMoonBound = 60.0 / 86400.0;       // days
// Apparent ecliptic longitude of date, radians in [0, 2pi).
double QuickSunLongitude(double ttMjd);
// The moment (UTC OLE) nearest guess, within a few days, when it equals target (radians).
double QuickSunLongitudeNear(double target, double guessUtcOle);
// New moon number k (0 for the one of 2000-01-06), UTC OLE.
double QuickNewMoon(std::int64_t k);
// The number of the new moon nearest a UTC OLE moment, by the mean lunation.
std::int64_t LunationNear(double utcOle);

}  // namespace vireo
