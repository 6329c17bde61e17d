#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/SexagesimalFormat.h"

namespace vireo {
namespace {

const std::string kH = "#0\\:", kM = "00\\:", kS = "00.0";

std::string Clock(double seconds) {
    EphemerisComponent e;
    return e.Formatter().FormatSexagesimal(seconds / 86400.0, kH, kM, kS);
}

TEST(FormatSexagesimal, WritesTheClockPatterns) {
    EXPECT_EQ(Clock(0.0), "0:00:00.0");
    EXPECT_EQ(Clock(9 * 3600 + 5 * 60 + 7.24), "9:05:07.2");
    EXPECT_EQ(Clock(9 * 3600 + 5 * 60 + 7.36), "9:05:07.4");
    EXPECT_EQ(Clock(23 * 3600 + 4 * 60 + 3.04), "23:04:03.0");
    // The scale time's own units: 1/50 s.
    EXPECT_EQ(Clock(4319999 / 50.0 - 86400.0 + 12 * 3600.0), "12:00:00.0");
}

TEST(FormatSexagesimal, CarriesRoundedSecondsIntoMinutesAndHours) {
    EXPECT_EQ(Clock(10 * 60 + 59.96), "0:11:00.0");
    EXPECT_EQ(Clock(3599.96), "1:00:00.0");
    EXPECT_EQ(Clock(13 * 3600 + 59 * 60 + 59.95), "14:00:00.0");
    // The last fiftieth of the day is midnight, not "24:00:00.0" or "23:59:60.0".
    EXPECT_EQ(Clock(86399.98), "0:00:00.0");
    EXPECT_EQ(Clock(86399.94), "23:59:59.9");
}

TEST(FormatSexagesimal, OtherPatterns) {
    EphemerisComponent e;
    auto& f = e.Formatter();
    const double t = (5 * 3600 + 7 * 60 + 8.456) / 86400.0;
    EXPECT_EQ(f.FormatSexagesimal(t, "00\\h", "00\\m", "00.00\\s"), "05h07m08.46s");
    EXPECT_EQ(f.FormatSexagesimal(t, "0\\:", "0\\:", "0"), "5:7:8");
    EXPECT_EQ(f.FormatSexagesimal(t, "#", "\"分\"00", "00.0#"), "5分0708.46");
    EXPECT_EQ(f.FormatSexagesimal(t, "#0\\時", "00\\分", "00\\秒"), "5時07分08秒");
    // A fraction outside [0, 1) is a time of day.
    EXPECT_EQ(f.FormatSexagesimal(1.25, kH, kM, kS), "6:00:00.0");
    EXPECT_EQ(f.FormatSexagesimal(-0.25, kH, kM, kS), "18:00:00.0");
    EXPECT_THROW(f.FormatSexagesimal(std::nan(""), kH, kM, kS), EphemerisError);
}

TEST(FormatNumber, PlaceholdersAndLiterals) {
    EXPECT_EQ(FormatNumber(0.0, "#"), "");
    EXPECT_EQ(FormatNumber(0.0, "#0"), "0");
    EXPECT_EQ(FormatNumber(7.0, "000"), "007");
    EXPECT_EQ(FormatNumber(12345.0, "00"), "12345");
    EXPECT_EQ(FormatNumber(-3.25, "0.0"), "-3.2");
    EXPECT_EQ(FormatNumber(2.5, "0.##"), "2.5");
    EXPECT_EQ(FormatNumber(2.0, "0.##"), "2");
    EXPECT_EQ(FormatNumber(3.14159, "\\[0.000\\]"), "[3.142]");
}

}  // namespace
}  // namespace vireo
