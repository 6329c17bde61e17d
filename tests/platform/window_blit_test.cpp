#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "WindowPixels.h"
#include "platform/WindowBlit.h"

namespace vireo {
namespace {

using test::OnScreen;

QImage Pattern(const QSize& size, QImage::Format format) {
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5 + 40) & 255, (x ^ y) & 255));
    return image;
}

int Differences(const QImage& a, const QImage& b, const QRegion& within) {
    int differ = 0;
    for (const QRect& r : within)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff)) ++differ;
    return differ;
}

TEST(WindowBlit, PutsTheImagesPixelsWhereTheyLieAndNothingElse) {
    for (const bool translucent : {false, true}) {
        QWidget window;
        if (translucent) window.setAttribute(Qt::WA_TranslucentBackground);
        window.setStyleSheet("background: rgb(90, 90, 90)");
        window.resize(160, 120);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        const QImage before = OnScreen(window);

        const QImage image = Pattern(window.size(), translucent ? QImage::Format_ARGB32_Premultiplied
                                                                : QImage::Format_RGB32);
        const QRegion region = QRegion(10, 10, 50, 40) + QRegion(70, 61, 89, 59);
        WindowBlit blit;
        ASSERT_TRUE(blit.Put(window.windowHandle(), image, region)) << translucent;
        const QImage after = OnScreen(window);
        EXPECT_EQ(Differences(after, image, region), 0) << translucent;
        EXPECT_EQ(Differences(after, before, QRegion(window.rect()) - region), 0) << translucent;
        // Again on the same window: the prepared state is reused, and a new picture lands.
        const QImage inverted = [&] { QImage i = image; i.invertPixels(); return i; }();
        ASSERT_TRUE(blit.Put(window.windowHandle(), inverted, region));
        EXPECT_EQ(Differences(OnScreen(window), inverted, region), 0) << translucent;
    }
}

TEST(WindowBlit, RefusesWhatTheWindowCannotTakeAsItIs) {
    QWidget opaque;
    opaque.resize(80, 60);
    QWidget translucent;
    translucent.setAttribute(Qt::WA_TranslucentBackground);
    translucent.resize(80, 60);
    WindowBlit blit;
    const QRegion region(0, 0, 20, 20);
    // No native window yet: nothing is created for it.
    EXPECT_FALSE(blit.Put(opaque.windowHandle(), Pattern(opaque.size(), QImage::Format_RGB32), region));
    EXPECT_EQ(opaque.windowHandle(), nullptr);

    for (QWidget* w : {&opaque, &translucent}) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    // Pixels of another layout, or a window without an alpha channel for them.
    EXPECT_FALSE(blit.Put(opaque.windowHandle(), Pattern(opaque.size(), QImage::Format_RGB888), region));
    EXPECT_FALSE(blit.Put(translucent.windowHandle(), Pattern(translucent.size(), QImage::Format_RGB32), region));
    // A region reaching past the image.
    EXPECT_FALSE(blit.Put(opaque.windowHandle(), Pattern(QSize(10, 10), QImage::Format_RGB32), region));
    EXPECT_TRUE(blit.Put(opaque.windowHandle(), Pattern(opaque.size(), QImage::Format_RGB32), region));
    EXPECT_TRUE(blit.Put(translucent.windowHandle(), Pattern(translucent.size(), QImage::Format_ARGB32_Premultiplied), region));
}

}  // namespace
}  // namespace vireo
