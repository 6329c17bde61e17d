#include "mainwindow/ColorScheme.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vireo {

namespace {
constexpr OleColor Black = 0;
constexpr OleColor White = 0xFFFFFF;
}  // namespace

OleColor ResolveColor(OleColor c, const SysColorFunction& sysColor) {
    if (IsSystemColorRef(c)) return sysColor ? (sysColor(c & 0xFF) & 0xFFFFFF) : Black;
    return c;
}

OleColor ContrastColor(OleColor c, const SysColorFunction& sysColor) {
    const OleColor rgb = ResolveColor(c, sysColor);
    const int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    const double brightness = 0.29891 * r + 0.58661 * g + 0.11448 * b;
    return brightness > 128.0 ? Black : White;
}

OleColor InvertColor(OleColor c, const SysColorFunction& sysColor) {
    return ResolveColor(c, sysColor) ^ White;
}

DayNightBand FindDayNightBand(double A, double D) {
    if (A >= -D) return DayNightBand::Day;
    if (A >= TwilightAltitude) return DayNightBand::Twilight;
    if (A >= NightAltitude) return DayNightBand::DuskDawn;
    return DayNightBand::Night;
}

DayNightBand SunBandWatch::Band(double now, const std::function<Sun()>& ask) {
    if (valid_ && now >= askedAt_ && now < validUntil_) return band_;
    const Sun sun = ask();
    band_ = FindDayNightBand(sun.Altitude, sun.Depression);
    // Distance to the nearest band edge, less a little for the depression's own slow drift.
    const double edges[] = {-sun.Depression, TwilightAltitude, NightAltitude};
    double margin = std::numeric_limits<double>::infinity();
    for (double e : edges) margin = std::min(margin, std::fabs(sun.Altitude - e));
    margin -= 0.001;
    const double wait = std::isfinite(sun.Altitude) && std::isfinite(sun.Depression) && margin > 0.0
                            ? std::min(margin / MaxRateDegreesPerSecond, MaxWaitSeconds)
                            : 0.0;
    askedAt_ = now;
    validUntil_ = now + wait / 86400.0;
    valid_ = true;
    return band_;
}

FaceColors DayNightColors(DayNightBand band, const SysColorFunction& sysColor) {
    switch (band) {
    case DayNightBand::Day: {
        const OleColor back = RgbColor(128, 255, 255);
        return {back, ContrastColor(back, sysColor)};
    }
    case DayNightBand::Twilight: {
        const OleColor back = RgbColor(128, 192, 255);
        return {back, ContrastColor(back, sysColor)};
    }
    case DayNightBand::DuskDawn:
        return {RgbColor(0, 64, 128), InvertColor(RgbColor(0, 0, 128), sysColor)};
    case DayNightBand::Night:
        break;
    }
    return {RgbColor(0, 0, 128), InvertColor(RgbColor(0, 0, 128), sysColor)};
}

bool SelectClockColor(const SchemeInputs& in, FaceColors& shown) {
    FaceColors target = shown;
    switch (in.BackgroundMode) {
    case kSchemeSystem:
        if (shown.Back == SystemColorRef(ColorWindow)) return false;
        target = {SystemColorRef(ColorWindow), SystemColorRef(ColorWindowText)};
        break;
    case kSchemeDayNight: {
        const DayNightBand band = in.SunBand ? in.SunBand() : DayNightBand::Day;
        target = DayNightColors(band, in.SysColor);
        if (shown.Back == target.Back) return false;
        break;
    }
    case kSchemeDesktop: {
        const OleColor desktop = ResolveColor(SystemColorRef(ColorBackground), in.SysColor);
        if (shown.Back == desktop) return false;
        target = {desktop, ContrastColor(desktop, in.SysColor)};
        break;
    }
    case kSchemeSeeThrough:
        if (shown.Back == TransparencyKeyColor) return false;
        target = {TransparencyKeyColor, ContrastColor(SystemColorRef(ColorBackground), in.SysColor)};
        break;
    case kSchemeUser:
        if (shown.Back == in.UserBackColor && shown.Fore == in.UserForeColor) return false;
        target = {in.UserBackColor, in.UserForeColor};
        break;
    default:
        return false;
    }
    shown = target;
    return true;
}

}  // namespace vireo
