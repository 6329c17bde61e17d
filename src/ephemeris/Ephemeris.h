#pragma once
// The ephemeris component's contract: an observer, a current date-time, and the answers for
// that moment. Date-times are OLE dates in the observer's local civil time (days since
// 1899-12-30, time of day as the fraction). The clock talks only to these interfaces, so tests
// can stand a scripted component in for the real one.

#include <cmath>
#include <stdexcept>
#include <string>

class QWidget;

namespace vireo {

// A failure the component reports. Callers do not handle it: it ends the program.
class EphemerisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The observers the component can answer for. The component refuses anything else, and
// whoever hands it stored or typed values checks them here first.
struct ObserverRanges {
    static bool Latitude(double v) { return std::isfinite(v) && v >= -90.0 && v <= 90.0; }
    static bool Longitude(double v) { return std::isfinite(v) && v >= -180.0 && v <= 180.0; }
    static bool Height(double v) { return std::isfinite(v) && v >= 0.0 && v <= 10000.0; }
    static bool TimeZone(double v) { return std::isfinite(v) && v >= -12.0 && v <= 14.0; }
};

class SunObject {
public:
    virtual ~SunObject() = default;
    // First moment at or after start when the Sun's apparent ecliptic longitude equals angle
    // (degrees, taken modulo 360).
    virtual double TimeAtSolarLongitude(double angle, double start) = 0;
    virtual double RightAscension() = 0;   // degrees, [0, 360)
    virtual double Altitude() = 0;         // geocentric, no refraction, degrees
    virtual double RiseSetDepression() = 0; // positive degrees
    virtual double Dawn() = 0;             // date-time that begins 明六時 on the current date
    virtual double Dusk() = 0;             // date-time that begins 暮六時 on the current date
};

class SexagesimalFormatter {
public:
    virtual ~SexagesimalFormatter() = default;
    // Hours, minutes and seconds of a day fraction, each written by its pattern
    // (e.g. "#0\:", "00\:", "00.0"). UTF-8.
    virtual std::string FormatSexagesimal(double dayFraction, const std::string& hoursPattern,
                                          const std::string& minutesPattern,
                                          const std::string& secondsPattern) const = 0;
};

class Ephemeris {
public:
    virtual ~Ephemeris() = default;

    virtual void SetHoldUpdate(bool hold) = 0;
    // The component's own modal dialog; true only when a value changed.
    virtual bool EditObserver(QWidget* parent) = 0;

    virtual int LunisolarMonth() = 0;
    virtual int LunisolarDay() = 0;
    virtual bool LeapMonth() = 0;
    virtual int SolarTermIndex() = 0;   // next term begins at longitude 15k - 30
    virtual int SolarTermDay() = 0;     // 1 on the local date the current term begins

    virtual double ObserverLatitude() const = 0;
    virtual void SetObserverLatitude(double degrees) = 0;
    virtual double ObserverLongitude() const = 0;
    virtual void SetObserverLongitude(double degrees) = 0;
    virtual double ObserverHeight() const = 0;
    virtual void SetObserverHeight(double metres) = 0;
    virtual float ObserverTimeZone() const = 0;
    virtual void SetObserverTimeZone(float hoursEast) = 0;

    virtual void SetCurrentDate(double oleDate) = 0;
    // kind 0 Greenwich mean, 1 Greenwich apparent, 2 local mean, 3 local apparent; degrees.
    // Any other kind throws EphemerisError.
    virtual double SiderealTime(int kind) = 0;
    virtual std::string DayLabel() = 0;  // UTF-8

    virtual SunObject& Sun() = 0;
    virtual SexagesimalFormatter& Formatter() = 0;
};

}  // namespace vireo
