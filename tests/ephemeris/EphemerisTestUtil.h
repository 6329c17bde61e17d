#pragma once
// Small helpers for the ephemeris tests: civil dates as OLE dates and back.

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace vireo::test {

inline double Ole(int y, int m, int d, int hh = 0, int mm = 0, double ss = 0.0) {
    double a = 0.0, b = 0.0;
    eraCal2jd(y, m, d, &a, &b);
    return b - 15018.0 + (hh * 3600.0 + mm * 60.0 + ss) / 86400.0;
}

// "YYYY-MM-DD HH:MM:SS" of an OLE date, rounded to the second.
inline std::string Text(double ole) {
    const double rounded = std::nearbyint(ole * 86400.0) / 86400.0;
    int y = 0, m = 0, d = 0;
    double f = 0.0;
    eraJd2cal(2400000.5, std::floor(rounded) + 15018.0, &y, &m, &d, &f);
    const long s = std::lround((rounded - std::floor(rounded)) * 86400.0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", y, m, d, s / 3600, s / 60 % 60, s % 60);
    return buf;
}

constexpr double kSecond = 1.0 / 86400.0;

}  // namespace vireo::test
