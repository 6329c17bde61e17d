#pragma once
// The Japanese lunisolar calendar (旧暦) on Japan Standard Time: months begin on the JST date of
// the new moon, the month holding the winter solstice is month 11, and in a year of 13 months
// the first month without a 中気 is the leap month. Months are computed a year at a time and
// kept, so a date costs a look-up once its year is known.

#include <cstdint>
#include <map>
#include <vector>

#include "ephemeris/AstroEngine.h"

namespace vireo {

struct LunisolarDate {
    int month = 0;   // 1..12
    int day = 0;     // 1..30
    bool leap = false;
};

class LunisolarCalendar {
public:
    struct Month {
        std::int64_t firstDay = 0;  // OLE day number of its first JST date
        int number = 0;
        bool leap = false;
    };
    // The months from one month 11 up to the next: months.back() is the later month 11.
    struct Year {
        std::vector<Month> months;
        std::vector<std::int64_t> principalTermDays;  // JST dates of the 中気 in range
    };

    explicit LunisolarCalendar(AstroEngine& engine) : engine_(engine) {}

    // The lunisolar date of a civil date given as an OLE day number (days since 1899-12-30).
    LunisolarDate DateOfDay(std::int64_t oleDay);
    // The months from month 11 of year-1 to month 11 of year (both included).
    const Year& SolsticeYear(int year);
    // JST OLE day number of a UTC OLE moment.
    static std::int64_t JstDay(double utcOle);
    // Every event found by its exact search, as before the quick estimates: the reference
    // the tests hold them to. Forgets the years computed.
    void SetReferenceSearches(bool on);

private:
    Year Compute(int year);
    Year ComputeReference(int year);
    // The months and the leap month from the first days of the months, the end of the later
    // month 11 and the dates of the 中気.
    static Year Assemble(std::vector<std::int64_t> starts, std::int64_t end,
                         std::vector<std::int64_t> principalTermDays);
    bool reference_ = false;

    AstroEngine& engine_;
    std::map<int, Year> years_;
    const Year* last_ = nullptr;  // the year of the last look-up
};

}  // namespace vireo
