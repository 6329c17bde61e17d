#include "face/Readouts.h"

#include <cstdio>

#include "ephemeris/Ephemeris.h"
#include "platform/ResourceStrings.h"

namespace vireo {

namespace {

std::int32_t WrapScaleTime(std::int32_t v) {
    std::int32_t r = v % kScaleDay;
    return r < 0 ? r + kScaleDay : r;
}

}  // namespace

const std::string& ScaleName(int clockMode) {
    static const std::string none;
    if (clockMode < 0 || clockMode > 7) return none;
    return LoadResString(1050 + clockMode);
}

std::string FormatScaleTime(std::int32_t v, int clockMode, const SexagesimalFormatter* formatter) {
    v = WrapScaleTime(v);
    switch (clockMode) {
    case 4:
    case 5:
        if (!formatter) return {};
        return formatter->FormatSexagesimal(static_cast<double>(v) / kScaleDay, "#0\\:", "00\\:",
                                            "00.0");
    case 6: {
        const std::int32_t s = v / 50;
        return LoadResString(1200 + s / 7200) + LoadResString(1230 + (s % 7200) / 720);
    }
    case 7: {
        // The double-hour 子 begins at 23:00, so each one is centred on an even hour.
        std::int32_t s = v / 50 + 3600;
        if (s >= 86400) s -= 86400;
        return LoadResString(1140 + s / 7200) + LoadResString(1220 + (s % 7200) / 1800) +
               LoadResString(1230 + (s % 1800) / 180);
    }
    default: {
        const std::int32_t s = v / 50;
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        return buf;
    }
    }
}

std::string FormatDateLine(int month, int day, const std::string& weekdayAbbreviation) {
    return std::to_string(month) + "/" + std::to_string(day) + " (" + weekdayAbbreviation + ")";
}

std::string FormatLunisolarDateLine(bool leapMonth, int month, int day, const std::string& dayLabel) {
    return (leapMonth ? std::string("閏") : std::string()) + std::to_string(month) + "/" +
           std::to_string(day) + " " + dayLabel;
}

std::string Utf8Left(const std::string& text, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == n) return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

std::string FormatTipText(const std::string& timeText, int clockMode) {
    return Utf8Left(timeText + " - " + ScaleName(clockMode), kTipLength);
}

std::string ReadoutLabelText(std::int32_t v, int clockMode, int digitalMode, const ReadoutDate& today,
                             Ephemeris* ephemeris) {
    if (digitalMode != 1)
        return FormatScaleTime(v, clockMode, ephemeris ? &ephemeris->Formatter() : nullptr);
    if (clockMode == 6 || clockMode == 7) {
        if (!ephemeris) return {};
        return FormatLunisolarDateLine(ephemeris->LeapMonth(), ephemeris->LunisolarMonth(),
                                       ephemeris->LunisolarDay(), ephemeris->DayLabel());
    }
    return FormatDateLine(today.month, today.day, today.weekday);
}

}  // namespace vireo
