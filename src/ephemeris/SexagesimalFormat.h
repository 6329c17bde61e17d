#pragma once
// Hours, minutes and seconds of a day fraction written by number patterns in the manner of
// the classic Format function: '0' a digit always shown, '#' a digit shown when significant,
// '.' the decimal point, '\x' and "..." literal text; any other character stands for itself.

#include <string>

namespace vireo {

// Rounds to the decimals of the seconds pattern first, so that the carry reaches the minutes
// and hours ("59.96" at one decimal is the next minute, never "60.0"). The fraction is taken
// as a time of day: it is reduced to [0, 1) and a carry past midnight wraps to 0 hours.
std::string FormatDayFraction(double dayFraction, const std::string& hoursPattern,
                              const std::string& minutesPattern, const std::string& secondsPattern);

// One number by one pattern; value is rounded to the pattern's decimals (halves to even).
std::string FormatNumber(double value, const std::string& pattern);

}  // namespace vireo
