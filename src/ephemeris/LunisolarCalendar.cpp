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

LunisolarCalendar::Year LunisolarCalendar::ComputeReference(int year) {
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

    std::vector<std::int64_t> principalTermDays;
    // 中気 from the earlier solstice to the end of the later month 11.
    double term = w0;
    double longitude = solstice;
    while (JstDay(term) < end) {
        principalTermDays.push_back(JstDay(term));
        longitude = std::fmod(longitude + 30.0 * ERFA_DD2R, ERFA_D2PI);
        term = SunLongitudeNear(engine_, longitude, term + 30.44);
    }

    return Assemble(std::move(starts), end, std::move(principalTermDays));
}

void LunisolarCalendar::SetReferenceSearches(bool on) {
    reference_ = on;
    years_.clear();
    last_ = nullptr;
}

// The same dates as ComputeReference, from the quick estimates: an event's exact search runs
// only when the estimate's bound reaches over a JST midnight (a few in a hundred).
LunisolarCalendar::Year LunisolarCalendar::Compute(int year) {
    if (reference_) return ComputeReference(year);
    auto sureDay = [](double quick, double bound, auto&& exact) {
        const std::int64_t first = JstDay(quick - bound);
        return first == JstDay(quick + bound) ? first : JstDay(exact());
    };
    auto termDay = [&](double longitude, double quick) {
        return sureDay(quick, kQuickTermBound, [&] { return SunLongitudeNear(engine_, longitude, quick); });
    };
    std::map<std::int64_t, std::int64_t> moonDays;
    auto moonDay = [&](std::int64_t k) {
        auto it = moonDays.find(k);
        if (it != moonDays.end()) return it->second;
        const double quick = QuickNewMoon(k);
        const std::int64_t day =
            sureDay(quick, kQuickNewMoonBound, [&] { return NewMoonNear(engine_, quick); });
        moonDays.emplace(k, day);
        return day;
    };
    const double solstice = 270.0 * ERFA_DD2R;
    const double w0 = QuickSunLongitudeNear(solstice, OleOfDate(year - 1, 12, 21) + 0.5);
    const double w1 = QuickSunLongitudeNear(solstice, OleOfDate(year, 12, 21) + 0.5);
    const std::int64_t w0Day = termDay(solstice, w0), w1Day = termDay(solstice, w1);

    // The month holding the earlier solstice: the last new moon whose JST date is not after it.
    std::int64_t k = LunationNear(w0 - 15.0);
    while (moonDay(k) > w0Day) --k;
    while (moonDay(k + 1) <= w0Day) ++k;
    std::vector<std::int64_t> starts{moonDay(k)};
    while (moonDay(k + 1) <= w1Day) starts.push_back(moonDay(++k));
    const std::int64_t end = moonDay(k + 1);

    std::vector<std::int64_t> principalTermDays;
    double term = w0;
    double longitude = solstice;
    for (std::int64_t day = w0Day; day < end;) {
        principalTermDays.push_back(day);
        longitude = std::fmod(longitude + 30.0 * ERFA_DD2R, ERFA_D2PI);
        term = QuickSunLongitudeNear(longitude, term + 30.44);
        day = termDay(longitude, term);
    }
    return Assemble(std::move(starts), end, std::move(principalTermDays));
}

LunisolarCalendar::Year LunisolarCalendar::Assemble(std::vector<std::int64_t> starts, std::int64_t end,
                                                    std::vector<std::int64_t> principalTermDays) {
    Year result;
    result.principalTermDays = std::move(principalTermDays);
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
