#include "timekeeping/Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace vireo {

namespace {
constexpr std::int64_t kOleEpochFromUnixDays = -25569;  // 1899-12-30 counted from 1970-01-01
}

std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    // Howard Hinnant's days_from_civil: exact for every proleptic Gregorian date.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::int32_t OleDayFromCivil(int year, int month, int day) {
    return static_cast<std::int32_t>(DaysFromCivil(year, month, day) - kOleEpochFromUnixDays);
}

CivilDate CivilFromOleDay(std::int32_t oleDay) {
    std::int64_t z = static_cast<std::int64_t>(oleDay) + kOleEpochFromUnixDays + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CivilDate c;
    c.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.Year = static_cast<int>(yoe + era * 400 + (c.Month <= 2));
    return c;
}

std::int32_t LocalDateTime::WholeSecond() const {
    return static_cast<std::int32_t>(std::floor(SecondsOfDay));
}

int LocalDateTime::Weekday() const {
    const int w = static_cast<int>((static_cast<std::int64_t>(Day) + 6) % 7);
    return w < 0 ? w + 7 : w;
}

LocalDateTime LocalDateTime::FromOleDate(double oleDate) {
    LocalDateTime r;
    const double day = std::floor(oleDate);
    r.Day = static_cast<std::int32_t>(day);
    r.SecondsOfDay = (oleDate - day) * 86400.0;
    if (r.SecondsOfDay >= 86400.0) {  // the fraction rounded up to a whole day
        ++r.Day;
        r.SecondsOfDay = 0.0;
    }
    return r;
}

LocalDateTime LocalDateTime::FromCivil(int year, int month, int day, int hour, int minute,
                                       double second) {
    LocalDateTime r;
    r.Day = OleDayFromCivil(year, month, day);
    r.SecondsOfDay = hour * 3600.0 + minute * 60.0 + second;
    return r;
}

double SecondsBetween(const LocalDateTime& a, const LocalDateTime& b) {
    if (std::isfinite(a.Utc) && std::isfinite(b.Utc)) return b.Utc - a.Utc;
    return (static_cast<double>(b.Day) - a.Day) * 86400.0 + (b.SecondsOfDay - a.SecondsOfDay);
}

namespace {

LocalDateTime LocalOf(double utc) {
    const double whole = std::floor(utc);
    const std::time_t tt = static_cast<std::time_t>(whole);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &tt);
#else
    localtime_r(&tt, &local);
#endif
    LocalDateTime r;
    r.Day = OleDayFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    r.SecondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + (utc - whole);
    r.Utc = utc;
    return r;
}

}  // namespace

void SettableClock::Set(LocalDateTime now) {
    now_ = now;
    const double whole = std::floor(now.SecondsOfDay);
    const CivilDate civil = CivilFromOleDay(now.Day);
    std::tm local{};
    local.tm_year = civil.Year - 1900;
    local.tm_mon = civil.Month - 1;
    local.tm_mday = civil.Day;
    local.tm_sec = static_cast<int>(whole);  // mktime carries seconds into minutes and hours
    local.tm_isdst = -1;
    const std::time_t first = std::mktime(&local);
    if (first == static_cast<std::time_t>(-1)) {
        now_.Utc = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    // Of a repeated hour mktime may give either instant: take the earlier one.
    double utc = static_cast<double>(first);
    for (const double earlier : {utc - 3600.0, utc - 1800.0}) {
        const LocalDateTime back = LocalOf(earlier);
        if (back.Day == now.Day && std::floor(back.SecondsOfDay) == whole) utc = earlier;
    }
    now_.Utc = utc + (now.SecondsOfDay - whole);
    // A local time skipped in spring reads as the local time of the instant it names.
    const LocalDateTime real = LocalOf(now_.Utc);
    if (real.Day != now.Day || std::floor(real.SecondsOfDay) != whole) now_ = real;
}

void SettableClock::SetUtc(double utc) { now_ = LocalOf(utc); }

void SettableClock::Advance(double seconds) {
    if (std::isfinite(now_.Utc)) {
        SetUtc(now_.Utc + seconds);
        return;
    }
    double s = now_.SecondsOfDay + seconds;
    const double days = std::floor(s / 86400.0);
    now_.Day += static_cast<std::int32_t>(days);
    s -= days * 86400.0;
    if (s >= 86400.0) {  // rounding right at the edge of a day
        ++now_.Day;
        s = 0.0;
    }
    now_.SecondsOfDay = s < 0.0 ? 0.0 : s;
}

LocalDateTime SystemClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto whole = floor<seconds>(now);
    const double fraction = duration<double>(now - whole).count();
    const std::time_t tt = system_clock::to_time_t(whole);
    // A tick asks several times within its second; the local date and time of that second are
    // worked out once (the time zone's rules are a search through its table of changes).
    struct Second {
        std::time_t utc = -1;
        std::int32_t day = 0;
        double secondsOfDay = 0.0;
    };
    thread_local Second last;
    if (tt != last.utc) {
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &tt);
#else
        localtime_r(&tt, &local);
#endif
        last.utc = tt;
        last.day = OleDayFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        last.secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    }
    LocalDateTime r;
    r.Day = last.day;
    r.SecondsOfDay = last.secondsOfDay + fraction;
    r.Utc = static_cast<double>(tt) + fraction;
    return r;
}

}  // namespace vireo
