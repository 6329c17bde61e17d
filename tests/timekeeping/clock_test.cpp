// The clock facade: day numbers, the split into day and seconds, and the system clock.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

#include "timekeeping/Clock.h"

namespace vireo {
namespace {

TEST(ClockTest, OleDayNumbersAndWeekdays) {
    EXPECT_EQ(OleDayFromCivil(1899, 12, 30), 0);
    EXPECT_EQ(OleDayFromCivil(1900, 1, 1), 2);
    EXPECT_EQ(OleDayFromCivil(2000, 1, 1), 36526);
    EXPECT_EQ(OleDayFromCivil(2024, 2, 29), 45351);
    EXPECT_EQ(OleDayFromCivil(2024, 3, 1), 45352);
    for (int day : {0, 2, 36526, 45351, 46364, -5, 73050}) {
        const CivilDate c = CivilFromOleDay(day);
        EXPECT_EQ(OleDayFromCivil(c.Year, c.Month, c.Day), day);
    }
    const CivilDate c = CivilFromOleDay(45351);
    EXPECT_EQ(c.Year, 2024);
    EXPECT_EQ(c.Month, 2);
    EXPECT_EQ(c.Day, 29);
    EXPECT_EQ(LocalDateTime::FromCivil(1899, 12, 30).Weekday(), 6);  // Saturday
    EXPECT_EQ(LocalDateTime::FromCivil(2026, 12, 8).Weekday(), 2);   // Tuesday
    EXPECT_EQ(LocalDateTime::FromCivil(2026, 12, 6).Weekday(), 0);   // Sunday
}

TEST(ClockTest, DayAndSecondsStayExact) {
    const LocalDateTime t = LocalDateTime::FromCivil(2026, 6, 21, 23, 59, 59.999);
    EXPECT_EQ(t.WholeSecond(), 86399);
    EXPECT_DOUBLE_EQ(t.SecondsOfDay, 86399.999);
    EXPECT_NEAR(t.OleDate(), OleDayFromCivil(2026, 6, 21) + 86399.999 / 86400, 1e-12);
    const LocalDateTime back = LocalDateTime::FromOleDate(t.OleDate());
    EXPECT_EQ(back.Day, t.Day);
    EXPECT_NEAR(back.SecondsOfDay, t.SecondsOfDay, 1e-5);
    // A fraction that is a whole day after rounding belongs to the next day.
    const LocalDateTime edge = LocalDateTime::FromOleDate(std::nextafter(46000.0, 0.0));
    EXPECT_LT(edge.SecondsOfDay, 86400.0);
    EXPECT_GE(edge.SecondsOfDay, 0.0);
}

TEST(ClockTest, SettableClockAdvancesAcrossDays) {
    SettableClock clock(LocalDateTime::FromCivil(2026, 12, 31, 23, 59, 59.5));
    clock.Advance(0.75);
    EXPECT_EQ(clock.Now().Day, OleDayFromCivil(2027, 1, 1));
    EXPECT_NEAR(clock.Now().SecondsOfDay, 0.25, 1e-9);
    clock.Advance(-1.0);
    EXPECT_EQ(clock.Now().Day, OleDayFromCivil(2026, 12, 31));
    EXPECT_NEAR(clock.Now().SecondsOfDay, 86399.25, 1e-9);
    clock.Advance(-3 * 86400.0);
    EXPECT_EQ(clock.Now().Day, OleDayFromCivil(2026, 12, 28));
    EXPECT_NEAR(clock.Now().SecondsOfDay, 86399.25, 1e-9);
    clock.SetOleDate(OleDayFromCivil(2026, 6, 1) + 0.5);
    EXPECT_EQ(clock.Now().WholeSecond(), 43200);
}

// Asked again and again across whole seconds (it works each second's local time out once), the
// clock keeps to the computer's local time.
TEST(ClockTest, SystemClockIsLocalTime) {
    const SystemClock clock;
    const QDate epoch(1899, 12, 30);
    auto seconds = [&](const QDateTime& q) {
        return static_cast<double>(epoch.daysTo(q.date())) * 86400.0 +
               q.time().msecsSinceStartOfDay() / 1000.0;
    };
    QElapsedTimer elapsed;
    elapsed.start();
    int asked = 0;
    while (elapsed.elapsed() < 1300) {
        const QDateTime before = QDateTime::currentDateTime();
        const LocalDateTime now = clock.Now();
        const QDateTime after = QDateTime::currentDateTime();
        const double mine = now.Day * 86400.0 + now.SecondsOfDay;
        ASSERT_GE(mine, seconds(before) - 0.002) << asked;
        ASSERT_LE(mine, seconds(after) + 0.002) << asked;
        EXPECT_GE(now.SecondsOfDay, 0.0);
        EXPECT_LT(now.SecondsOfDay, 86401.0);
        ++asked;
        QThread::msleep(7);
    }
    EXPECT_GT(asked, 100);
}

}  // namespace
}  // namespace vireo
