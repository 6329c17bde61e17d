#pragma once
// The ephemeris component the clock uses: ERFA's Sun, Moon and Earth rotation turned into the
// answers of the Ephemeris contract for the observer and the current date-time.
//
// Dawn and Dusk on a date without a crossing of -7°21′40″ (high latitudes): the crossing of
// the same direction of the solar day around the upper culmination nearest local noon when
// there is one (it then lies on the neighbouring date); otherwise, with T the moment of that
// culmination, T - 1 min and T + 1 min while the Sun stays below the line all day, and
// T - 11 h 59 min and T + 11 h 59 min while it stays above. Day and night then both keep a
// positive length, so the temporal hours stay finite and in order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <map>
#include <unordered_map>
#include <utility>

#include "ephemeris/AstroEngine.h"
#include "ephemeris/Ephemeris.h"
#include "ephemeris/LunisolarCalendar.h"
#include "ephemeris/ObserverInput.h"

namespace vireo {

class EphemerisComponent final : public Ephemeris, public SunObject, public SexagesimalFormatter {
public:
    // Depression of the Sun's centre that begins 明六つ and 暮六つ: 7°21′40″.
    static constexpr double kTwilightDepression = 7.0 + 21.0 / 60.0 + 40.0 / 3600.0;

    // Shows the observer dialog over parent with the current values; the values accepted, or
    // nothing when the user cancelled. The dialog lives in a library above this one (widgets),
    // so whoever builds the clock hands it in.
    using ObserverEditor =
        std::function<std::optional<ObserverValues>(QWidget* parent, const ObserverValues& current)>;

    EphemerisComponent();
    explicit EphemerisComponent(ObserverEditor editor);

    // Ephemeris
    void SetHoldUpdate(bool hold) override;
    bool EditObserver(QWidget* parent) override;
    int LunisolarMonth() override;
    int LunisolarDay() override;
    bool LeapMonth() override;
    int SolarTermIndex() override;
    int SolarTermDay() override;
    double ObserverLatitude() const override { return latitude_; }
    void SetObserverLatitude(double degrees) override;
    double ObserverLongitude() const override { return longitude_; }
    void SetObserverLongitude(double degrees) override;
    double ObserverHeight() const override { return height_; }
    void SetObserverHeight(double metres) override;
    float ObserverTimeZone() const override { return timeZone_; }
    void SetObserverTimeZone(float hoursEast) override;
    void SetCurrentDate(double oleDate) override;
    double SiderealTime(int kind) override;
    std::string DayLabel() override;
    SunObject& Sun() override { return *this; }
    SexagesimalFormatter& Formatter() override { return *this; }

    // SunObject
    double TimeAtSolarLongitude(double angle, double start) override;
    double RightAscension() override;
    double Altitude() override;
    double RiseSetDepression() override;
    double Dawn() override;
    double Dusk() override;

    // SexagesimalFormatter
    std::string FormatSexagesimal(double dayFraction, const std::string& hoursPattern,
                                  const std::string& minutesPattern,
                                  const std::string& secondsPattern) const override;

    // Beyond the contract, for the query tool and tests.
    double CurrentDate() const { return currentDate_; }
    bool HoldUpdate() const { return hold_; }
    double Declination();  // apparent, degrees
    // The crossings themselves: empty on a date without one (Dawn/Dusk then give stand-ins).
    std::optional<double> DawnOnDate();
    std::optional<double> DuskOnDate();
    // The local time-zone offset in days.
    double ZoneDays() const { return static_cast<double>(timeZone_) / 24.0; }
    AstroEngine& Engine() { return engine_; }
    // Searches done the slow way, on the exact chain and from scratch: the reference the
    // tests hold the quick paths to. Off by default.
    void SetReferenceSearches(bool on) {
        referenceSearches_ = on;
        dayEvents_.clear();
        term_ = TermInfo();
        calendar_.SetReferenceSearches(on);
    }
    LunisolarCalendar& Calendar() { return calendar_; }

private:
    struct DayEvents {
        std::int64_t day = INT64_MIN;
        double latitude = 0, longitude = 0;
        float zone = 0;
        double dawn = 0, dusk = 0;
        bool dawnOnDate = false, duskOnDate = false;
    };
    struct TermInfo {
        std::int64_t day = INT64_MIN;
        float zone = 0;
        int index = 0;
        int dayOfTerm = 0;
    };

    const AstroInstant& Moment();
    const SunPlace& SunNow();
    double LocalApparentSiderealRad();
    const DayEvents& Events();
    const TermInfo& Term();
    LunisolarDate Lunisolar();
    double AltitudeAt(double utcOle);  // radians
    void ObserverChanged();

    AstroEngine engine_;
    LunisolarCalendar calendar_;
    ObserverEditor editor_;

    double latitude_ = 35.6544;
    double longitude_ = 139.7447;
    double height_ = 0.0;
    float timeZone_ = 9.0f;
    bool hold_ = false;
    bool referenceSearches_ = false;
    double currentDate_ = 0.0;

    // Answers for the current moment, filled on first use.
    bool haveMoment_ = false;
    AstroInstant moment_;
    bool haveSun_ = false;
    SunPlace sun_;
    bool haveGast_ = false;
    double gast_ = 0.0;
    // The dates asked so far (the query tool comes back to a term's first day for every date
    // of the term); emptied past the cap.
    static constexpr std::size_t kDayEventsCap = 4096;
    std::unordered_map<std::int64_t, DayEvents> dayEvents_;
    // Moments of solar longitudes found, under (longitude, quick estimate in minutes).
    static constexpr std::size_t kTermMomentsCap = 4096;
    std::map<std::pair<double, long long>, double> termMoments_;
    TermInfo term_;
};

}  // namespace vireo
