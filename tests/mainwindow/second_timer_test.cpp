#include <gtest/gtest.h>

#include <QTest>

#include "mainwindow/SecondTimer.h"
#include "timekeeping/Clock.h"

using namespace vireo;

namespace {

// Seconds of 9:00 plus a fraction exact in binary, so that the delays below are exact.
LocalDateTime At(double secondsAfterNine) { return LocalDateTime::FromCivil(2026, 6, 21, 9, 0, secondsAfterNine); }

}  // namespace

TEST(SecondTimerTest, WakesJustAfterEachSecondKeepsThePeriodAndRealignsAfterALateEvent) {
    SettableClock clock(At(0.75));
    SecondTimer timer(clock);
    int events = 0;
    QObject::connect(&timer, &SecondTimer::Timeout, [&] {
        ++events;
        // What the clock says when each event is handled: on time, then 250 ms late.
        if (events == 1) {
            clock.Set(At(1.0 + 1.0 / 256));
            timer.CountWork();
        } else {
            clock.Set(At(2.25));
        }
    });
    EXPECT_EQ(timer.RemainingTime(), -1);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 251) << "a millisecond past the next whole second";
    EXPECT_LE(timer.RemainingTime(), 251);

    ASSERT_TRUE(QTest::qWaitFor([&] { return events == 1; }, 2000));
    EXPECT_EQ(timer.Interval(), 1000) << "on the second: a steady one-second period";
    ASSERT_TRUE(QTest::qWaitFor([&] { return events == 2; }, 3000));
    EXPECT_EQ(timer.Interval(), 751) << "late: set again for just after the next second";
    EXPECT_EQ(timer.EventCount(), 2);
    EXPECT_EQ(timer.WorkCount(), 1);

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.RemainingTime(), -1);
    QTest::qWait(900);
    EXPECT_EQ(events, 2) << "no event once disabled";
}
