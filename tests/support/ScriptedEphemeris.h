#pragma once
// A scripted ephemeris component: every answer comes from a table, a value or a function the
// test sets, each move of CurrentDate is recorded, and so is every question to its formatter.
// Without terms it answers the first day of term 0; without dawn and dusk, 0.25 and 0.75.

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ephemeris/Ephemeris.h"

namespace vireo::test {

struct FormatCall {
    double dayFraction;
    std::string hours, minutes, seconds;
};

class RecordingFormatter : public SexagesimalFormatter {
public:
    std::string FormatSexagesimal(double dayFraction, const std::string& hoursPattern,
                                  const std::string& minutesPattern,
                                  const std::string& secondsPattern) const override {
        Calls.push_back({dayFraction, hoursPattern, minutesPattern, secondsPattern});
        return Reply;
    }
    std::string Reply = "6:00:00.0";
    mutable std::vector<FormatCall> Calls;
};

class ScriptedEphemeris final : public Ephemeris, public SunObject {
public:
    // A solar term: the instant it begins and the Sun's longitude then (a multiple of 15).
    struct Term {
        double Begins;
        int Longitude;
    };

    std::vector<Term> Terms;                    // in time order
    std::function<double(int day)> DawnOfDay;   // whole date-time of dawn on a local day
    std::function<double(int day)> DuskOfDay;
    std::function<double(int kind, double date)> Sidereal = [](int kind, double) {
        return 10.0 * kind;
    };
    std::function<double(double date)> SunRightAscension = [](double) { return 0.0; };

    // The lunisolar date and its day label, as set.
    int Month = 10, Day = 28;
    bool Leap = false;
    std::string Label = "大安";
    RecordingFormatter Format;

    double Latitude = 35.6581, Longitude = 139.7447, Height = 0.0;
    float TimeZone = 9.0f;
    double Current = 0.0;
    std::vector<double> DatesSet;  // every CurrentDate written, in order

    // The term holding local date-time `date`: terms count by local calendar days, so the
    // whole day on which a term begins already belongs to it.
    int TermAt(double date) const {
        const double day = std::floor(date);
        int found = -1;
        for (int i = 0; i < static_cast<int>(Terms.size()); ++i)
            if (std::floor(Terms[i].Begins) <= day) found = i;
        if (found < 0 || found + 1 >= static_cast<int>(Terms.size()))
            throw EphemerisError("scripted terms do not cover the date");
        return found;
    }

    // Ephemeris
    void SetHoldUpdate(bool) override {}
    bool EditObserver(QWidget*) override { return false; }
    int LunisolarMonth() override { return Month; }
    int LunisolarDay() override { return Day; }
    bool LeapMonth() override { return Leap; }
    int SolarTermIndex() override {
        if (Terms.empty()) return 0;
        const int next = Terms[TermAt(Current) + 1].Longitude;
        return (((next + 30) % 360) + 360) % 360 / 15;
    }
    int SolarTermDay() override {
        if (Terms.empty()) return 1;
        return static_cast<int>(std::floor(Current) - std::floor(Terms[TermAt(Current)].Begins)) + 1;
    }
    double ObserverLatitude() const override { return Latitude; }
    void SetObserverLatitude(double v) override { Latitude = v; }
    double ObserverLongitude() const override { return Longitude; }
    void SetObserverLongitude(double v) override { Longitude = v; }
    double ObserverHeight() const override { return Height; }
    void SetObserverHeight(double v) override { Height = v; }
    float ObserverTimeZone() const override { return TimeZone; }
    void SetObserverTimeZone(float v) override { TimeZone = v; }
    void SetCurrentDate(double d) override {
        Current = d;
        DatesSet.push_back(d);
    }
    double SiderealTime(int kind) override {
        if (kind < 0 || kind > 3) throw EphemerisError("kind");
        return Sidereal(kind, Current);
    }
    std::string DayLabel() override { return Label; }
    SunObject& Sun() override { return *this; }
    SexagesimalFormatter& Formatter() override { return Format; }

    // SunObject
    double TimeAtSolarLongitude(double angle, double start) override {
        if (Terms.empty()) return start;
        const int want = ((static_cast<int>(std::lround(angle)) % 360) + 360) % 360;
        for (const Term& t : Terms)
            if (t.Begins >= start && ((t.Longitude % 360) + 360) % 360 == want) return t.Begins;
        throw EphemerisError("scripted terms do not reach the longitude");
    }
    double RightAscension() override { return SunRightAscension(Current); }
    double Altitude() override { return 0.0; }
    double RiseSetDepression() override { return 0.8333; }
    double Dawn() override { return DawnOfDay ? DawnOfDay(static_cast<int>(std::floor(Current))) : 0.25; }
    double Dusk() override { return DuskOfDay ? DuskOfDay(static_cast<int>(std::floor(Current))) : 0.75; }
};

}  // namespace vireo::test
