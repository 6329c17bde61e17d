#include "ephemeris/LunisolarCalendar.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

#include "ephemeris/Ephemeris.h"

namespace vireo {
namespace {

constexpr double kOleEpochMjd = 15018.0;
constexpr double kSynodicMonth = 29.530589;
constexpr double kJst = 9.0 / 24.0;

double OleOfDate(int y, int m, int d) {
    double djm0 = 0.0, djm = 0.0;
    if (eraCal2jd(y, m, d, &djm0, &djm) != 0) throw EphemerisError("date out of range");
    return djm - kOleEpochMjd;
}

int YearOfDay(std::int64_t oleDay) {
    int iy = 0, im = 0, id = 0;
    double fd = 0.0;
    if (eraJd2cal(ERFA_DJM0, static_cast<double>(oleDay) + kOleEpochMjd, &iy, &im, &id, &fd) != 0) {
        throw EphemerisError("date out of range");
    }
    return iy;
}

}  // namespace

std::int64_t LunisolarCalendar::JstDay(double utcOle) {
    return static_cast<std::int64_t>(std::floor(utcOle + kJst));
}

LunisolarCalendar::Year LunisolarCalendar::Compute(int year) {
    const double solstice = 270.0 * ERFA_DD2R;
    const double w0 = SunLongitudeNear(engine_, solstice, OleOfDate(year - 1, 12, 21) + 0.5);
    const double w1 = SunLongitudeNear(engine_, solstice, OleOfDate(year, 12, 21) + 0.5);
    const std::int64_t w0Day = JstDay(w0), w1Day = JstDay(w1);

    // The month holding the earlier solstice: the last new moon whose JST date is not after it.
    double moon = NewMoonNear(engine_, w0 - 15.0);
    while (JstDay(moon) > w0Day) moon = NewMoonNear(engine_, moon - kSynodicMonth);
    for (double next = NewMoonNear(engine_, moon + kSynodicMonth); JstDay(next) <= w0Day;
         next = NewMoonNear(engine_, moon + kSynodicMonth)) {
        moon = next;
    }
    std::vector<std::int64_t> starts{JstDay(moon)};
    for (;;) {
        const double next = NewMoonNear(engine_, moon + kSynodicMonth);
        if (JstDay(next) > w1Day) break;
        moon = next;
        starts.push_back(JstDay(moon));
    }
    const std::int64_t end = JstDay(NewMoonNear(engine_, moon + kSynodicMonth));

    Year result;
    // 中気 from the earlier solstice to the end of the later month 11.
    double term = w0;
    double longitude = solstice;
    while (JstDay(term) < end) {
        result.principalTermDays.push_back(JstDay(term));
        longitude = std::fmod(longitude + 30.0 * ERFA_DD2R, ERFA_D2PI);
        term = SunLongitudeNear(engine_, longitude, term + 30.44);
    }

    const int count = static_cast<int>(starts.size()) - 1;  // months before the later month 11
    if (count != 12 && count != 13) throw EphemerisError("lunisolar year without 12 or 13 months");
    int leapIndex = -1;
    if (count == 13) {
        for (int i = 0; i < count && leapIndex < 0; ++i) {
            const bool hasTerm = std::any_of(
                result.principalTermDays.begin(), result.principalTermDays.end(),
                [&](std::int64_t d) { return d >= starts[i] && d < starts[i + 1]; });
            if (!hasTerm) leapIndex = i;
        }
        if (leapIndex < 0) throw EphemerisError("13 lunisolar months without a leap month");
    }
    int number = 11;
    for (int i = 0; i <= count; ++i) {
        Month m;
        m.firstDay = starts[i];
        if (i > 0 && i != leapIndex) number = number % 12 + 1;
        m.number = i == count ? 11 : number;
        m.leap = i == leapIndex;
        result.months.push_back(m);
    }
    // The later month 11 ends where the next begins; kept as a sentinel for its length.
    result.months.push_back(Month{end, 0, false});
    return result;
}

const LunisolarCalendar::Year& LunisolarCalendar::SolsticeYear(int year) {
    auto it = years_.find(year);
    if (it == years_.end()) it = years_.emplace(year, Compute(year)).first;
    return it->second;
}

LunisolarDate LunisolarCalendar::DateOfDay(std::int64_t oleDay) {
    // Months of a solstice year: months[0] (month 11 of the year before) up to the later
    // month 11 (index size-2), then the sentinel.
    auto inYear = [&](const Year* y) {
        return y && oleDay >= y->months.front().firstDay &&
               oleDay < y->months[y->months.size() - 2].firstDay;
    };
    if (!inYear(last_)) {
        const int civil = YearOfDay(oleDay);
        const Year* y = &SolsticeYear(civil);
        if (oleDay >= y->months[y->months.size() - 2].firstDay) y = &SolsticeYear(civil + 1);
        else if (oleDay < y->months.front().firstDay) y = &SolsticeYear(civil - 1);
        if (!inYear(y)) throw EphemerisError("lunisolar month not found");
        last_ = y;
    }
    const auto& months = last_->months;
    auto it = std::upper_bound(months.begin(), months.end() - 2, oleDay,
                               [](std::int64_t d, const Month& m) { return d < m.firstDay; });
    const Month& m = *(it - 1);
    return LunisolarDate{m.number, static_cast<int>(oleDay - m.firstDay) + 1, m.leap};
}

}  // namespace vireo
