#pragma once
// Where the present local date-time comes from. The tick, the conversions, the alarms and the
// time signal read the time only through Clock, so tests can drive them with SettableClock.

#include <cstdint>
#include <limits>

namespace vireo {

// Days from 1970-01-01 to the civil date y-m-d (proleptic Gregorian, any year).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

// Days since 1899-12-30 (the OLE date epoch) of the civil date y-m-d.
std::int32_t OleDayFromCivil(int year, int month, int day);

struct CivilDate {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
};
CivilDate CivilFromOleDay(std::int32_t oleDay);

// A local date-time kept as the day number and the seconds of that day, so that the whole
// second is exact (floor of SecondsOfDay) and never comes from a rounded OLE fraction.
struct LocalDateTime {
    std::int32_t Day = 0;        // days since 1899-12-30, local calendar
    double SecondsOfDay = 0.0;   // seconds after local midnight with their fraction, [0, 86400]
                                 // (86400 and above only inside a leap second)
    // The same moment as seconds since 1970-01-01 UTC, when known (NaN otherwise): what tells
    // real time elapsed from a local clock moved by a change of daylight saving time.
    double Utc = std::numeric_limits<double>::quiet_NaN();

    // OLE Automation date: days since 1899-12-30, time of day as the fraction.
    double OleDate() const { return Day + SecondsOfDay / 86400.0; }
    // floor(SecondsOfDay).
    std::int32_t WholeSecond() const;
    // 0 Sunday .. 6 Saturday (1899-12-30 was a Saturday).
    int Weekday() const;

    static LocalDateTime FromOleDate(double oleDate);
    static LocalDateTime FromCivil(int year, int month, int day, int hour = 0, int minute = 0,
                                   double second = 0.0);

    // The same local date-time, whatever is known of its instant.
    friend bool operator==(const LocalDateTime& a, const LocalDateTime& b) {
        return a.Day == b.Day && a.SecondsOfDay == b.SecondsOfDay;
    }
};

// Real seconds from a to b: from their instants when both are known, else from their local
// date-times.
double SecondsBetween(const LocalDateTime& a, const LocalDateTime& b);

class Clock {
public:
    virtual ~Clock() = default;
    // The present local date-time.
    virtual LocalDateTime Now() const = 0;
};

// The computer's clock in the process's local time zone (honours TZ).
class SystemClock final : public Clock {
public:
    LocalDateTime Now() const override;
};

// A clock that stands still until told otherwise; for tests and for tools that ask about a
// chosen instant. Local date-times are those of the process's time zone (TZ): a local time
// set is given its instant, and an instant set its local time, so that a test can walk
// through a change of daylight saving time.
class SettableClock final : public Clock {
public:
    SettableClock() = default;
    explicit SettableClock(LocalDateTime now) { Set(now); }

    LocalDateTime Now() const override { return now_; }
    // A local time that falls twice (the hour repeated in autumn) is taken as its first
    // occurrence; one that does not exist (the hour skipped in spring) moves on by the gap.
    void Set(LocalDateTime now);
    void SetOleDate(double oleDate) { Set(LocalDateTime::FromOleDate(oleDate)); }
    // Seconds since 1970-01-01 UTC.
    void SetUtc(double utc);
    // Moves the clock by a signed number of real seconds (so across a change of daylight
    // saving time the local time jumps as a real clock's does).
    void Advance(double seconds);

private:
    LocalDateTime now_;
};

}  // namespace vireo
