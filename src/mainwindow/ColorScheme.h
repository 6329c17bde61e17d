#pragma once
// The five colour schemes of the clock face and the two small colour functions. Plain logic:
// the window supplies the system colours and, for the day/night scheme, the Sun's altitude.

#include <functional>

#include "platform/OleColors.h"
#include "timekeeping/ClockState.h"

namespace vireo {

// System colour indexes the schemes name, numbered as the Windows COLOR_* constants (values with
// the top bit set carry one in their low byte). Named apart from windows.h, whose macros clash.
inline constexpr int ColorBackground = 1;  // the desktop
inline constexpr int ColorWindow = 5;
inline constexpr int ColorWindowText = 8;
inline constexpr int ColorInfoText = 23;
inline constexpr int ColorInfoBk = 24;

inline constexpr OleColor SystemColorRef(int index) {
    return static_cast<OleColor>(0x80000000u | static_cast<unsigned>(index & 0xFF));
}
inline constexpr bool IsSystemColorRef(OleColor c) { return (static_cast<unsigned>(c) & 0x80000000u) != 0; }
inline constexpr OleColor RgbColor(int r, int g, int b) { return r + 256 * g + 65536 * b; }

inline constexpr OleColor TransparencyKeyColor = kTransparencyKeyOle;
inline constexpr double TwilightAltitude = -7.36111111111111;  // 7°21'40" below the horizon
inline constexpr double NightAltitude = -18.0;                 // end of astronomical twilight

// Resolves a system colour index to an RGB value (the window asks its palette).
using SysColorFunction = std::function<OleColor(int index)>;

// A system-colour reference becomes the colour it names; any other value is returned unchanged.
OleColor ResolveColor(OleColor c, const SysColorFunction& sysColor);

// Black when the colour is bright (brightness above 128), else white.
OleColor ContrastColor(OleColor c, const SysColorFunction& sysColor);
// The colour with its 24 colour bits inverted.
OleColor InvertColor(OleColor c, const SysColorFunction& sysColor);

enum class DayNightBand { Day, Twilight, DuskDawn, Night };

// A = Sun's altitude plus the horizon correction, D = the Sun's rise/set depression; degrees.
DayNightBand FindDayNightBand(double A, double D);

// Remembers the Sun's band between calls for as long as the band provably cannot change. The
// Sun's altitude moves at most 15° an hour with the Earth's turn (|dh/dt| = 15°/h · cos φ · sin
// azimuth) plus a little of its own motion, so an altitude a margin away from every band edge
// stays inside its band for margin / rate. Asking less often changes no colour and no moment of
// change; it only spares the clock an ephemeris question each second.
class SunBandWatch {
public:
    struct Sun {
        double Altitude;    // A: altitude plus horizon correction, degrees
        double Depression;  // D: rise/set depression, degrees
    };
    // now: the present as an OLE date. ask is called only when the band might have changed;
    // a clock set back before the last question asks again.
    DayNightBand Band(double now, const std::function<Sun()>& ask);
    // The next call asks the Sun (after a change of observer).
    void Invalidate() { askedAt_ = validUntil_ = 0.0; valid_ = false; }

    static constexpr double MaxRateDegreesPerSecond = 15.1 / 3600.0;
    static constexpr double MaxWaitSeconds = 600.0;

private:
    bool valid_ = false;
    double askedAt_ = 0.0;
    double validUntil_ = 0.0;
    DayNightBand band_ = DayNightBand::Day;
};

struct FaceColors {
    OleColor Back = 0;
    OleColor Fore = 0;
};

// The colours of a day/night band (ordinary RGB values).
FaceColors DayNightColors(DayNightBand band, const SysColorFunction& sysColor);

struct SchemeInputs {
    std::int32_t BackgroundMode = kSchemeDayNight;  // a ColorSchemeKind
    OleColor UserBackColor = 0xFFFFFF;
    OleColor UserForeColor = 0;
    SysColorFunction SysColor;
    // Asked only in the day-and-night scheme, once per call: the band the Sun is in now.
    std::function<DayNightBand()> SunBand;
};

// Decides the face colours of the present scheme from the colours shown now (system-colour
// references stay references). Returns true and updates `shown` only when they change.
bool SelectClockColor(const SchemeInputs& in, FaceColors& shown);

}  // namespace vireo
