#pragma once
// The texts of the digital readout (Label1) and of the notification-icon tip. UTF-8.

#include <cstdint>
#include <string>

namespace vireo {

class Ephemeris;
class SexagesimalFormatter;

inline constexpr std::int32_t kScaleDay = 4320000;  // scale time units (1/50 s) in a day
inline constexpr std::size_t kTipLength = 64;        // characters the tip keeps

// Name of a scale: "地方標準時" .. "延喜式"; empty for an unknown scale.
const std::string& ScaleName(int clockMode);

// The time text of scale time v on a scale:
//   0-3 (and unknown scales)  "h:nn:ss"
//   4, 5   the formatter's sexagesimal text with patterns "#0\:", "00\:", "00.0" (tenths of
//          a second); empty without a formatter
//   6      named temporal hour and its tenth, e.g. "明六時半"
//   7      double-hour, 刻 and 分, e.g. "午三刻零分" (子 begins at 23:00)
// A v outside one day is first brought into it.
std::string FormatScaleTime(std::int32_t v, int clockMode, const SexagesimalFormatter* formatter);

// "m/d (ddd)": month and day without leading zeros, the abbreviated weekday in parentheses.
std::string FormatDateLine(int month, int day, const std::string& weekdayAbbreviation);

// The lunisolar date line of the traditional scales: "閏" for a leap month, then
// month "/" day " " and the day label (六曜).
std::string FormatLunisolarDateLine(bool leapMonth, int month, int day, const std::string& dayLabel);

// Tip text: time text, " - ", scale name, cut to its first 64 characters.
std::string FormatTipText(const std::string& timeText, int clockMode);

// A civil date with the locale's abbreviated weekday name, as the widget reads it.
struct ReadoutDate {
    int month = 1;
    int day = 1;
    std::string weekday;
};

// What Label1 shows: the time text, or with DigitalMode 1 the date line (the lunisolar one
// from the ephemeris on scales 6 and 7, else today's civil date). Without an ephemeris the
// lunisolar line is empty.
std::string ReadoutLabelText(std::int32_t v, int clockMode, int digitalMode, const ReadoutDate& today,
                             Ephemeris* ephemeris);

// The first n Unicode characters of a UTF-8 string.
std::string Utf8Left(const std::string& text, std::size_t n);

}  // namespace vireo
