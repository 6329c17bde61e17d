#pragma once
// An ephemeris whose answers the test sets, and whose formatter records what it was asked.

#include <string>
#include <vector>

#include "ephemeris/Ephemeris.h"

namespace vireo::test {

class ScriptedSun : public SunObject {
public:
    double TimeAtSolarLongitude(double, double start) override { return start; }
    double RightAscension() override { return 0.0; }
    double Altitude() override { return 0.0; }
    double RiseSetDepression() override { return 0.0; }
    double Dawn() override { return 0.25; }
    double Dusk() override { return 0.75; }
};

struct FormatCall {
    double dayFraction;
    std::string hours, minutes, seconds;
};

class RecordingFormatter : public SexagesimalFormatter {
public:
    std::string FormatSexagesimal(double dayFraction, const std::string& hoursPattern,
                                  const std::string& minutesPattern,
                                  const std::string& secondsPattern) const override {
        calls.push_back({dayFraction, hoursPattern, minutesPattern, secondsPattern});
        return reply;
    }
    std::string reply = "6:00:00.0";
    mutable std::vector<FormatCall> calls;
};

class ScriptedEphemeris : public Ephemeris {
public:
    void SetHoldUpdate(bool) override {}
    bool EditObserver(QWidget*) override { return false; }
    int LunisolarMonth() override { return month; }
    int LunisolarDay() override { return day; }
    bool LeapMonth() override { return leap; }
    int SolarTermIndex() override { return 0; }
    int SolarTermDay() override { return 1; }
    double ObserverLatitude() const override { return 35.0; }
    void SetObserverLatitude(double) override {}
    double ObserverLongitude() const override { return 139.7447; }
    void SetObserverLongitude(double) override {}
    double ObserverHeight() const override { return 0.0; }
    void SetObserverHeight(double) override {}
    float ObserverTimeZone() const override { return 9.0f; }
    void SetObserverTimeZone(float) override {}
    void SetCurrentDate(double) override {}
    double SiderealTime(int) override { return 0.0; }
    std::string DayLabel() override { return dayLabel; }
    SunObject& Sun() override { return sun; }
    SexagesimalFormatter& Formatter() override { return formatter; }

    int month = 10;
    int day = 28;
    bool leap = false;
    std::string dayLabel = "大安";
    ScriptedSun sun;
    RecordingFormatter formatter;
};

}  // namespace vireo::test
