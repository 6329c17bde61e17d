#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include "ScriptedEphemeris.h"
#include "WindowPixels.h"
#include "face/ClockFace.h"
#include "face/Hands.h"
#include "timekeeping/Clock.h"

namespace vireo {
namespace {

constexpr std::int32_t At(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 50; }

QImage Render(ClockFace& face) {
    QImage image(face.size(), QImage::Format_ARGB32);
    image.fill(Qt::red);
    face.render(&image);
    return image;
}

QRgb PixelAt(const QImage& image, const DialMapping& m, double x, double y) {
    return image.pixel(int(std::floor(m.ToPixelX(x))), int(std::floor(m.ToPixelY(y))));
}

class ClockFaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        face.SetEphemeris(&eph);
        face.SetClock(&clock);
        face.SetColors(Qt::white, Qt::black);
    }
    void ShowAt(int w, int h) {
        face.resize(w, h);
        face.show();
        face.SetFormScale();
        face.DrawClockScale();
    }
    test::ScriptedEphemeris eph;
    SettableClock clock{LocalDateTime::FromCivil(2026, 12, 8, 9, 5, 7)};  // a Tuesday
    ClockFace face;
};

TEST_F(ClockFaceTest, MarksLieOnRadius950OfTheShorterSide) {
    for (auto [w, h] : {std::pair{612, 612}, std::pair{816, 408}}) {
        ShowAt(w, h);
        face.DrawHands(At(1, 40, 50));  // hands well away from the marks checked
        const QImage image = Render(face);
        const DialMapping& m = face.Mapping();
        for (int i = 0; i < 60; i += 5) {
            const double a = (90.0 - 6.0 * i) * 3.14159265358979 / 180.0;
            const double c = std::cos(a), s = std::sin(a);
            EXPECT_EQ(PixelAt(image, m, 950 * c, 950 * s), qRgb(0, 0, 0)) << "mark " << i;
            EXPECT_EQ(PixelAt(image, m, 905 * c, 905 * s), qRgb(255, 255, 255)) << "inside " << i;
            EXPECT_EQ(PixelAt(image, m, 995 * c, 995 * s), qRgb(255, 255, 255)) << "outside " << i;
        }
        // The small marks are single dots on the same circle.
        const DialPoint dot = m.ToPixel(DialMarkPosition(7));
        EXPECT_EQ(image.pixel(int(std::floor(dot.x)), int(std::floor(dot.y))), qRgb(0, 0, 0));
        // Beyond the dial, the background.
        EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 255));
    }
}

TEST_F(ClockFaceTest, HandsAreDrawnWithTheirWidths) {
    ShowAt(612, 612);  // 0.3 px per unit: widths 12, 6, 3
    EXPECT_EQ(face.HandWidthsPixels(), (std::array<int, 3>{12, 6, 3}));
    face.DrawHands(540000);  // 3:00 on scale 0
    const QImage image = Render(face);
    const DialMapping& m = face.Mapping();
    // Hour hand along the positive x axis, 12 px wide: 18 units either side are inside it.
    EXPECT_EQ(PixelAt(image, m, 300, 0), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(image, m, 300, 15), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(image, m, 300, -15), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(image, m, 300, 40), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(image, m, 560, 0), qRgb(255, 255, 255));  // beyond its 500 units
    // Minute and second hands straight up, to 800 units.
    EXPECT_EQ(PixelAt(image, m, 0, 700), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(image, m, 0, -300), qRgb(255, 255, 255));
}

TEST_F(ClockFaceTest, ATickRepaintsOnlyTheHandsNotTheDial) {
    ShowAt(612, 612);
    face.DrawHands(At(10, 8, 42));
    face.ShowReadouts(At(10, 8, 42));
    QImage image = Render(face);
    const int renders = face.DialRenderCount();
    EXPECT_GE(renders, 1);

    const std::int32_t next = At(10, 8, 43);
    face.DrawHands(next);
    face.ShowReadouts(next);
    const QRegion region = face.LastHandsRegion();
    // The second hand moved: its old and new tips are in the region, the far side of the
    // dial is not, and the region is a small part of the face.
    const DialMapping& m = face.Mapping();
    auto pixel = [&](DialPoint p) { return m.ToPixel(p); };
    const DialPoint oldTip = pixel(HandEndPoints(At(10, 8, 42), 0)[2]);
    const DialPoint newTip = pixel(HandEndPoints(next, 0)[2]);
    EXPECT_TRUE(region.contains(QPoint(int(oldTip.x), int(oldTip.y))));
    EXPECT_TRUE(region.contains(QPoint(int(newTip.x), int(newTip.y))));
    EXPECT_FALSE(region.contains(QPoint(int(m.ToPixelX(0)), int(m.ToPixelY(-900)))));
    long area = 0;
    for (const QRect& r : region) area += long(r.width()) * r.height();
    EXPECT_FALSE(region.contains(QPoint(int(m.ToPixelX(600)), int(m.ToPixelY(-600)))));
    EXPECT_LT(area, 612L * 612 / 2);

    // Repainting just that region and the readout over the previous picture gives the new
    // picture exactly.
    const QRegion dirty = region + face.Label1()->geometry();
    face.render(&image, dirty.boundingRect().topLeft(), dirty);
    const QImage full = Render(face);
    EXPECT_EQ(image, full);
    EXPECT_EQ(face.DialRenderCount(), renders);  // the dial came from the cache every time
}

TEST_F(ClockFaceTest, UnmovedHandsAskForNoRepaint) {
    ShowAt(300, 300);
    face.DrawHands(At(4, 0, 0));
    face.DrawHands(At(4, 0, 0));
    EXPECT_TRUE(face.LastHandsRegion().isEmpty());
}

TEST_F(ClockFaceTest, HourAndMinuteHandsWaitForHalfAPixelOfMovement) {
    ShowAt(300, 300);
    const DialMapping& m = face.Mapping();
    const DialPoint hour = HandEndPoints(At(4, 0, 0), 0)[0];
    const QPoint onHourHand(int(m.ToPixelX(hour.x * 0.7)), int(m.ToPixelY(hour.y * 0.7)));
    // Fiftieths of a second on: the second hand moves every time, while the hour hand (towards
    // four o'clock) moves about a hundredth of a pixel in the whole second. It may happen to
    // cross one half-pixel step in that second, never more, so it is repainted at most once.
    face.DrawHands(At(4, 0, 0));
    int hourRepaints = 0;
    for (int fiftieth = 1; fiftieth <= 50; ++fiftieth) {
        face.DrawHands(At(4, 0, 0) + fiftieth);
        const QRegion region = face.LastHandsRegion();
        EXPECT_FALSE(region.isEmpty());
        if (region.contains(onHourHand)) ++hourRepaints;
    }
    EXPECT_LE(hourRepaints, 1);
    // Twelve minutes on the hour hand has moved well over a pixel and is repainted.
    face.DrawHands(At(4, 12, 0));
    EXPECT_TRUE(face.LastHandsRegion().contains(onHourHand));
}

// A face ticking for a few minutes, each tick repainting only what it asked for, shows the
// same picture as a face drawn afresh at the last tick: the kept dial-and-hands copy never
// goes out of step with the hands.
TEST(ClockFaceTicks, PartialRepaintsAddUpToAFreshPicture) {
    SettableClock clock{LocalDateTime::FromCivil(2026, 12, 8, 9, 5, 7)};
    struct Case { int side; int mode; bool seeThrough; };
    for (const Case c : {Case{204, 0, false}, Case{612, 6, false}, Case{300, 0, true}}) {
        const QColor back = c.seeThrough ? kTransparencyKey : QColor(128, 255, 255);
        auto prepare = [&](ClockFace& f, std::int32_t v) {
            f.SetClock(&clock);
            f.SetDigitalMode(0);
            f.SetClockMode(c.mode);
            f.SetColors(back, Qt::black);
            f.SetKeyColorTransparent(c.seeThrough);
            f.resize(c.side, c.side);
            f.show();
            f.SetFormScale();
            f.DrawClockScale();
            f.DrawHands(v);
            f.ShowReadouts(v);
        };
        auto blank = [&] {
            QImage image(c.side, c.side, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            return image;
        };
        const std::int32_t start = At(10, 58, 30);
        ClockFace ticking;
        prepare(ticking, start);
        QImage image = blank();
        ticking.render(&image);
        std::int32_t v = start;
        for (int i = 0; i < 200; ++i) {
            v += 50;
            ticking.DrawHands(v);
            ticking.ShowReadouts(v);
            const QRegion dirty = ticking.LastHandsRegion() + ticking.Label1()->geometry();
            ticking.render(&image, dirty.boundingRect().topLeft(), dirty);
        }
        ClockFace fresh;
        prepare(fresh, v);
        QImage expected = blank();
        fresh.render(&expected);
        EXPECT_EQ(image, expected) << c.side << " px, scale " << c.mode;
        // And the ticking face's own full picture agrees too.
        QImage full = blank();
        ticking.render(&full);
        EXPECT_EQ(full, expected) << c.side << " px, scale " << c.mode;
    }
}

TEST_F(ClockFaceTest, DialIsRedrawnOnlyForSizeScaleOrColours) {
    ShowAt(300, 300);
    Render(face);
    int renders = face.DialRenderCount();
    face.SetColors(Qt::white, Qt::black);  // the same colours: nothing to do
    Render(face);
    EXPECT_EQ(face.DialRenderCount(), renders);
    face.SetColors(QColor(0, 0, 128), QColor(255, 255, 127));
    const QImage night = Render(face);
    EXPECT_EQ(face.DialRenderCount(), ++renders);
    EXPECT_EQ(night.pixel(2, 2), qRgb(0, 0, 128));
    face.resize(320, 300);
    Render(face);
    EXPECT_EQ(face.DialRenderCount(), ++renders);
    face.SetClockMode(7);
    face.SetDialLabels();
    Render(face);
    EXPECT_EQ(face.DialRenderCount(), ++renders);
}

TEST_F(ClockFaceTest, ChangingTheScaleChangesTheNumerals) {
    ShowAt(300, 300);
    face.SetClockMode(3);
    face.DrawClockScale();
    EXPECT_EQ(face.NumeralText(0), "12");
    EXPECT_EQ(face.NumeralText(11), "11");
    face.SetClockMode(4);
    face.DrawClockScale();
    EXPECT_EQ(face.NumeralText(0), "0");
    EXPECT_EQ(face.NumeralText(11), "22");
    face.SetClockMode(6);
    face.SetDialLabels();
    EXPECT_EQ(face.NumeralText(3), "六");
    face.SetClockMode(7);
    face.SetDialLabels();
    EXPECT_EQ(face.NumeralText(6), "午");
    EXPECT_EQ(face.NumeralText(-1), "");
}

TEST_F(ClockFaceTest, NothingIsDrawnWhileHidden) {
    ShowAt(300, 300);
    Render(face);
    const int renders = face.DialRenderCount();
    face.hide();
    face.SetClockMode(7);
    face.DrawClockScale();
    face.SetDialLabels();
    EXPECT_EQ(face.NumeralText(0), "12");
    EXPECT_EQ(face.DialRenderCount(), renders);
    // Shown again, the face catches up.
    face.show();
    EXPECT_EQ(face.NumeralText(0), "子");
}

TEST_F(ClockFaceTest, ReadoutSitsInTheLowerBandWithAFixedSize) {
    ShowAt(204, 204);
    const QLabel* label = face.Label1();
    EXPECT_EQ(label->geometry(), QRect(55, 140, 94, 19));
    EXPECT_EQ(label->minimumSize(), label->maximumSize());
    ShowAt(408, 204);
    EXPECT_EQ(label->geometry(), QRect(157, 140, 94, 19));
    // 150 units of the dial are 15 px; the readout's font is one point below that.
    const double sizePoints = 15.0 * 72.0 / face.logicalDpiY();
    EXPECT_NEAR(label->font().pointSizeF(), sizePoints - 1.0, 1e-6);
    EXPECT_NEAR(face.NumeralPointSize(), sizePoints, 1e-6);
}

TEST_F(ClockFaceTest, ReadoutAndTipTexts) {
    ShowAt(300, 300);
    QSignalSpy tips(&face, &ClockFace::TipTextChanged);
    face.SetDigitalMode(0);
    face.ShowReadouts(At(9, 5, 7));
    EXPECT_EQ(face.ReadoutText(), "9:05:07");
    EXPECT_EQ(tips.count(), 0);  // no tip without the tray icon
    EXPECT_EQ(face.TipText(), "");

    face.SetShowInTaskTray(true);
    face.ShowReadouts(At(9, 5, 7));
    ASSERT_EQ(tips.count(), 1);
    EXPECT_EQ(tips.at(0).at(0).toString(), QString::fromUtf8("9:05:07 - 地方標準時"));

    // The date line replaces the label's text; the tip keeps the time.
    face.setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    face.SetDigitalMode(1);
    face.ShowReadouts(At(9, 5, 8));
    EXPECT_EQ(face.ReadoutText(), QString::fromUtf8("12/8 (火)"));
    EXPECT_EQ(face.TipText(), QString::fromUtf8("9:05:08 - 地方標準時"));
    face.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    face.ShowReadouts(At(9, 5, 8));
    EXPECT_EQ(face.ReadoutText(), "12/8 (Tue)");
    EXPECT_EQ(tips.count(), 2);  // an unchanged tip is not reported again
    // The weekday's name is looked up once a day: the next day brings the next one.
    clock.Set(LocalDateTime::FromCivil(2026, 12, 9, 0, 0, 0));
    face.ShowReadouts(At(0, 0, 0));
    EXPECT_EQ(face.ReadoutText(), "12/9 (Wed)");
    clock.Set(LocalDateTime::FromCivil(2026, 12, 8, 9, 5, 7));

    face.SetClockMode(6);
    eph.Leap = true;
    face.ShowReadouts(At(6, 0, 0));
    EXPECT_EQ(face.ReadoutText(), QString::fromUtf8("閏10/28 大安"));
    EXPECT_EQ(face.TipText(), QString::fromUtf8("明六時零分 - 天保暦"));

    face.SetClockMode(5);
    face.SetDigitalMode(0);
    eph.Format.Reply = "17:03:09.3";
    face.ShowReadouts(At(9, 5, 8));
    EXPECT_EQ(face.ReadoutText(), "17:03:09.3");
    EXPECT_EQ(face.TipText(), QString::fromUtf8("17:03:09.3 - グリニッジ恒星時"));
}

TEST_F(ClockFaceTest, ReadoutLooks) {
    ShowAt(300, 300);
    QLabel* label = face.Label1();
    const QPalette app = QApplication::palette();
    // Boxed: the tooltip's colours and a single border.
    EXPECT_EQ(label->frameShape(), QFrame::Box);
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), app.color(QPalette::ToolTipText));
    EXPECT_EQ(label->palette().color(QPalette::Window), app.color(QPalette::ToolTipBase));
    EXPECT_TRUE(label->toolTip().isEmpty());

    // The see-through scheme: plain text in the face's foreground.
    face.SetColors(kTransparencyKey, Qt::white);
    face.SetReadoutBoxed(false);
    EXPECT_EQ(label->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));

    // Music playing: boxed whatever the scheme, with the hint to click.
    face.SetMusicPlaying(true);
    EXPECT_EQ(label->frameShape(), QFrame::Box);
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), app.color(QPalette::ToolTipText));
    EXPECT_EQ(label->toolTip(), QString::fromUtf8("クリックすると音楽を停止"));
    face.SetMusicPlaying(false);
    EXPECT_EQ(label->frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST_F(ClockFaceTest, KeyColourBackgroundIsSeeThroughWhenAsked) {
    ShowAt(300, 300);
    face.SetColors(kTransparencyKey, Qt::black);
    QImage image = Render(face);
    EXPECT_EQ(image.pixel(2, 2), qRgb(208, 208, 208));
    face.SetKeyColorTransparent(true);
    image = QImage(face.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    face.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);
    EXPECT_EQ(image.pixel(int(face.Mapping().ToPixelX(0)), int(face.Mapping().ToPixelY(950))),
              qRgba(0, 0, 0, 255));
}

TEST_F(ClockFaceTest, ClicksOnTheReadoutAndRightClicksAreReported) {
    ShowAt(300, 300);
    QSignalSpy clicks(&face, &ClockFace::ReadoutClicked);
    QSignalSpy menus(&face, &ClockFace::ContextMenuRequested);
    QTest::mouseClick(face.Label1(), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(menus.count(), 0);
    QTest::mouseClick(face.Label1(), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(menus.count(), 1);
    QTest::mouseClick(&face, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(menus.count(), 2);
    QTest::mouseClick(&face, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(menus.count(), 2);
    EXPECT_EQ(clicks.count(), 1);
}

// Counts the events of some types that reach a widget.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : type_(type) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

TEST_F(ClockFaceTest, ANewReadoutTextDoesNotLayTheWindowOutAgain) {
    ShowAt(300, 300);
    EventCounter layouts(QEvent::LayoutRequest);
    face.installEventFilter(&layouts);
    face.SetDigitalMode(0);
    for (int s = 0; s < 5; ++s) face.ShowReadouts(At(9, 59, 57 + s));
    QCoreApplication::processEvents();
    EXPECT_EQ(face.ReadoutText(), "10:00:01");
    EXPECT_EQ(layouts.count, 0);
}

TEST(ClockFaceMouse, PressesAndMovesOnTheFacePassToTheWindow) {
    // The window drags a round clock by its face, the readout and the numerals included.
    QWidget window;
    window.resize(300, 300);
    ClockFace* face = new ClockFace(&window);
    face->resize(300, 300);
    window.show();
    face->DrawClockScale();
    EventCounter presses(QEvent::MouseButtonPress);
    window.installEventFilter(&presses);
    QTest::mousePress(face->Label1(), Qt::LeftButton);
    QTest::mousePress(face, Qt::LeftButton, {}, QPoint(150, 30));
    EXPECT_EQ(presses.count, 2);
}

// A face that records the regions the window system asks it to paint.
class RecordingFace : public ClockFace {
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        ++paints;
        ClockFace::paintEvent(event);
    }
};

TEST(ClockFacePaint, ATickOnScreenPaintsOnlyTheMovedHandsFromTheCachedDial) {
    RecordingFace face;
    face.SetColors(Qt::white, Qt::black);
    face.SetDigitalMode(0);
    face.resize(400, 400);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    face.SetFormScale();
    face.DrawClockScale();
    face.DrawHands(At(10, 8, 42));
    face.ShowReadouts(At(10, 8, 42));
    QCoreApplication::processEvents();
    const int renders = face.DialRenderCount();

    for (int s = 43; s < 48; ++s) {
        face.painted = QRegion();
        const int paintsBefore = face.paints;
        const int directBefore = face.DirectPaintCount();
        face.DrawHands(At(10, 8, s));
        face.ShowReadouts(At(10, 8, s));
        QCoreApplication::processEvents();
        // The second hand, well away from the readout, goes straight to the window's backing
        // store: Qt repaints nothing of the face.
        EXPECT_EQ(face.DirectPaintCount(), directBefore + 1) << s;
        EXPECT_EQ(face.paints, paintsBefore) << s;
        EXPECT_FALSE(QRegion(face.rect()).subtracted(face.LastHandsRegion()).isEmpty());
    }
    EXPECT_EQ(face.DialRenderCount(), renders);

    // Over a plain readout (which shows the hands through its text) the tick is Qt's again, and
    // only the hands' rectangle is painted (the readout paints itself as a child widget).
    face.SetReadoutBoxed(false);
    for (int s = 28; s < 33; ++s) {
        face.painted = QRegion();
        const int paintsBefore = face.paints;
        face.DrawHands(At(10, 8, s));
        QCoreApplication::processEvents();
        ASSERT_TRUE(face.LastHandsRegion().intersects(face.Label1()->geometry())) << s;
        EXPECT_GT(face.paints, paintsBefore) << s;
        EXPECT_EQ(face.painted, face.LastHandsRegion()) << s;
    }
}

// Ticks painted straight into the window's backing store (a boxed readout's box left as Qt drew
// it, a plain readout's handed to Qt) add up to a face drawn afresh, on a scale whose second
// hand stops at the same places every minute and on one whose hand does not.
TEST(ClockFaceTicks, DirectRepaintsAddUpToAFreshPicture) {
    SettableClock clock{LocalDateTime::FromCivil(2026, 12, 8, 9, 5, 7)};
    for (const int mode : {0, 4}) {
        for (const bool boxed : {true, false}) {
            auto prepare = [&](ClockFace& f, std::int32_t v) {
                f.SetClock(&clock);
                f.SetDigitalMode(0);
                f.SetClockMode(mode);
                f.SetReadoutBoxed(boxed);
                f.SetColors(QColor(128, 255, 255), Qt::black);
                f.resize(240, 240);
                f.show();
                EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
                f.SetFormScale();
                f.DrawClockScale();
                f.DrawHands(v);
                f.ShowReadouts(v);
                QCoreApplication::processEvents();
            };
            const std::int32_t start = At(10, 58, 30);
            ClockFace ticking;
            prepare(ticking, start);
            std::int32_t v = start;
            // A sidereal second is shorter than the computer's: the hand does not come back to the
            // same places.
            const std::int32_t step = mode == 4 ? 51 : 50;
            for (int i = 0; i < 150; ++i) {
                v += step;
                ticking.DrawHands(v);
                ticking.ShowReadouts(v);
                QCoreApplication::processEvents();
            }
            EXPECT_GT(ticking.DirectPaintCount(), 75) << boxed;
            ClockFace fresh;
            prepare(fresh, v);
            QImage expected(fresh.size(), QImage::Format_ARGB32);
            expected.fill(Qt::red);
            fresh.render(&expected);
            EXPECT_EQ(test::Held(ticking, QImage::Format_ARGB32), expected) << "scale " << mode << (boxed ? ", boxed" : ", plain");
        }
    }
}

TEST_F(ClockFaceTest, JapaneseTextHasAJapaneseFont) {
    ShowAt(300, 300);
    const QFont font = face.Label1()->font();
    EXPECT_TRUE(QFontInfo(font).family().contains("Noto Sans CJK")) << QFontInfo(font).family().toStdString();
    const QFontMetrics metrics(font);
    for (const char* text : {"明六時半", "子丑寅卯", "閏大安"})
        for (QChar c : QString::fromUtf8(text)) EXPECT_TRUE(metrics.inFont(c)) << text;
}

}  // namespace
}  // namespace vireo
