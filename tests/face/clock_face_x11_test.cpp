#include <gtest/gtest.h>

#include <QBackingStore>
#include <QTest>

#include "WindowPixels.h"
#include "face/ClockFace.h"
#include "timekeeping/Clock.h"

namespace vireo {
namespace {

constexpr std::int32_t At(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 50; }

using test::OnScreen;

// The face ticking on a real X server, its ticks sent straight to the window: the screen shows
// what the window's backing store holds, and still does after Qt sends the whole window again
// from its own copy of it (a stale copy would bring old second hands back).
TEST(ClockFaceOnX11, TheScreenShowsWhatTheFacePainted) {
    SettableClock clock{LocalDateTime::FromCivil(2026, 12, 8, 9, 5, 7)};
    for (const bool boxed : {true, false}) {
        ClockFace face;
        face.SetClock(&clock);
        face.SetDigitalMode(0);
        face.SetReadoutBoxed(boxed);
        face.SetColors(QColor(128, 255, 255), Qt::black);
        face.resize(260, 260);
        face.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
        face.SetFormScale();
        face.DrawClockScale();
        std::int32_t v = At(10, 58, 30);
        face.DrawHands(v);
        face.ShowReadouts(v);
        QCoreApplication::processEvents();
        for (int i = 0; i < 70; ++i) {
            v += 50;
            face.DrawHands(v);
            face.ShowReadouts(v);
            QCoreApplication::processEvents();
        }
        EXPECT_GT(face.DirectPaintCount(), 35) << boxed;
        const QImage held = test::Held(face, QImage::Format_RGB32);
        EXPECT_EQ(OnScreen(face), held) << boxed;

        face.backingStore()->flush(QRegion(face.rect()));
        EXPECT_EQ(OnScreen(face), held) << boxed;
        // A repaint of everything by Qt changes nothing either.
        face.repaint();
        EXPECT_EQ(OnScreen(face), held) << boxed;
    }
}

}  // namespace
}  // namespace vireo
