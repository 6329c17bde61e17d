#include <gtest/gtest.h>

#include <cmath>

#include "face/DialLabels.h"
#include "face/Hands.h"
#include "face/Readouts.h"

namespace vireo {
namespace {

constexpr std::int32_t At(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 50; }

// Single-precision angles put a hand within a fraction of a unit of its exact place.
constexpr double kTol = 0.5;

void ExpectPoint(const DialPoint& p, double x, double y, const char* what) {
    EXPECT_NEAR(p.x, x, kTol) << what;
    EXPECT_NEAR(p.y, y, kTol) << what;
}

// The end point of a hand of the given length turned clockwise from the top by turns.
DialPoint Turned(double length, double turns) {
    const double a = turns * 2.0 * 3.14159265358979;
    return {length * std::sin(a), length * std::cos(a)};
}

TEST(HandEndPoints, MidnightPutsAllHandsStraightUpOnEveryScale) {
    for (int mode = -1; mode <= 8; ++mode) {
        const auto ends = HandEndPoints(0, mode);
        ExpectPoint(ends[0], 0, 500, "hour");
        ExpectPoint(ends[1], 0, 800, "minute");
        ExpectPoint(ends[2], 0, 800, "second");
    }
}

TEST(HandEndPoints, ThreeOClockOnScale0) {
    const auto ends = HandEndPoints(540000, 0);
    ExpectPoint(ends[0], 500, 0, "hour");
    ExpectPoint(ends[1], 0, 800, "minute");
    ExpectPoint(ends[2], 0, 800, "second");
}

TEST(HandEndPoints, SixOClockOnScale4PointsAtTheSix) {
    const auto ends = HandEndPoints(At(6, 0, 0), 4);
    ExpectPoint(ends[0], 500, 0, "hour");
    ExpectPoint(ends[1], 0, 800, "minute");
    // The numeral at the right of the sidereal dial is "6".
    EXPECT_EQ(DialLabelTexts(4)[3], "6");
}

TEST(HandEndPoints, ElevenPmOnScale7StartsADoubleHour) {
    const std::int32_t v = At(23, 0, 0);
    const auto ends = HandEndPoints(v, 7);
    ExpectPoint(ends[0], Turned(500, 23.0 / 24).x, Turned(500, 23.0 / 24).y, "hour");
    ExpectPoint(ends[1], 0, 800, "minute");
    ExpectPoint(ends[2], 0, 800, "second");
    EXPECT_EQ(FormatScaleTime(v, 7, nullptr), "子一刻零分");
}

// One full turn of each hand takes (seconds of the scale): hour, minute, second.
struct TurnCase {
    int mode;
    double hour, minute, second;
};

TEST(HandEndPoints, EachScaleTurnsItsHandsAtItsOwnSpeed) {
    const TurnCase cases[] = {
        {0, 12 * 3600, 3600, 60}, {3, 12 * 3600, 3600, 60}, {4, 24 * 3600, 3600, 60},
        {5, 24 * 3600, 3600, 60}, {6, 24 * 3600, 7200, 720}, {7, 24 * 3600, 1800, 180},
        {9, 12 * 3600, 3600, 60},
    };
    const int samples[] = {1, 37, 200, 2717, 9999, 43210, 80000};
    for (const TurnCase& c : cases) {
        for (int t : samples) {
            const auto ends = HandEndPoints(t * 50, c.mode);
            const double periods[3] = {c.hour, c.minute, c.second};
            for (int j = 0; j < 3; ++j) {
                const DialPoint want = Turned(kHandLengths[j], t / periods[j]);
                EXPECT_NEAR(ends[j].x, want.x, 2.0) << "mode " << c.mode << " t " << t << " hand " << j;
                EXPECT_NEAR(ends[j].y, want.y, 2.0) << "mode " << c.mode << " t " << t << " hand " << j;
            }
        }
    }
}

}  // namespace
}  // namespace vireo
