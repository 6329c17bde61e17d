#include "mainwindow/shell/ClockMenu.h"
#include "mainwindow/shell/WindowShell.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vireo;

TEST(CircleRegionTest, EllipseFollowsTheDialCoordinates) {
    // The designed client area: 200 x 181 pixels, the height is the shorter side.
    EllipseBounds b = CircleRegionBounds(200, 181);
    EXPECT_EQ(b.Left, 11);
    EXPECT_EQ(b.Top, 1);
    EXPECT_EQ(b.Right, 190);
    EXPECT_EQ(b.Bottom, 181);
    // Twice as wide as high: the circle stays in the middle, the height decides its size.
    b = CircleRegionBounds(400, 200);
    EXPECT_EQ(b.Left, 101);
    EXPECT_EQ(b.Top, 1);
    EXPECT_EQ(b.Right, 300);
    EXPECT_EQ(b.Bottom, 200);
    // One pixel per dial unit: 1020.5 -/+ 1010 are halves, rounded to even.
    b = CircleRegionBounds(2040, 2040);
    EXPECT_EQ(b.Left, 10);
    EXPECT_EQ(b.Top, 10);
    EXPECT_EQ(b.Right, 2030);
    EXPECT_EQ(b.Bottom, 2030);
    b = CircleRegionBounds(0, 100);
    EXPECT_EQ(b.Right - b.Left, 0);
}

TEST(CircleRegionTest, RegionIsTheEllipseOfTheBounds) {
    const QRegion r = CircleRegion(200, 181);
    EXPECT_EQ(r.boundingRect(), QRect(11, 1, 179, 180));
    EXPECT_TRUE(r.contains(QPoint(100, 90)));
    EXPECT_TRUE(r.contains(QPoint(12, 91)));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(20, 10)));      // inside the box, outside the ellipse
    EXPECT_FALSE(r.contains(QPoint(199, 180)));
}

TEST(WindowFlagsTest, OptionsTakeAwayButtonsFrameAndTaskbarEntry) {
    Qt::WindowFlags f = ComputeWindowFlags({});
    EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(f & Qt::FramelessWindowHint);

    f = ComputeWindowFlags({true, false, false});
    EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);

    f = ComputeWindowFlags({true, true, false});
    EXPECT_TRUE(f & Qt::FramelessWindowHint);
    EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);

    f = ComputeWindowFlags({false, false, true});
    EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Tool);
}

TEST(DragTest, OnlyRoundWindowsMoveByTheirFace) {
    EXPECT_TRUE(ShouldDragByFace(Qt::LeftButton, true));
    EXPECT_FALSE(ShouldDragByFace(Qt::LeftButton, false));
    EXPECT_FALSE(ShouldDragByFace(Qt::RightButton, true));
    EXPECT_FALSE(ShouldDragByFace(Qt::NoButton, true));

    QWidget w;
    w.resize(200, 181);
    WindowShell shell(&w, nullptr);
    w.show();
    EXPECT_FALSE(shell.StartFaceDrag(Qt::LeftButton));  // rectangular: never
}

class WindowShellTest : public testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 181);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    ClockMenu menu;
    WindowShell shell{&window, &menu};
};

TEST_F(WindowShellTest, RoundWindowIsFramelessWithTheEllipseMask) {
    shell.SetCircleForm(true);
    EXPECT_TRUE(shell.IsRound());
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.mask(), CircleRegion(window.width(), window.height()));
    EXPECT_EQ(window.mask().boundingRect(), QRect(11, 1, 179, 180));

    // The shape follows the size.
    window.resize(300, 300);
    QApplication::processEvents();
    EXPECT_EQ(window.mask(), CircleRegion(300, 300));

    shell.SetCircleForm(false);
    EXPECT_FALSE(shell.IsRound());
    EXPECT_TRUE(window.mask().isEmpty());
    EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowShellTest, RoundingAMaximisedWindowRestoresItFirst) {
    window.showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(window.windowState() & Qt::WindowMaximized);
    shell.SetCircleForm(true);
    EXPECT_FALSE(window.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(window.mask().isEmpty());
}

TEST_F(WindowShellTest, WindowButtonsFollowTheCloseOption) {
    shell.SetWindowButtons(true);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window.isVisible());
    shell.SetWindowButtons(false);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    // Flags the clock set for itself survive.
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    shell.SetWindowButtons(true);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WindowShellTest, SeeThroughFaceNeverRebuildsTheWindow) {
    const WId before = window.winId();
    std::vector<bool> told;
    QObject::connect(&shell, &WindowShell::SeeThroughChanged, [&](bool shown) { told.push_back(shown); });
    shell.SetTransparentForm(true);
    EXPECT_TRUE(shell.IsTransparent());
    EXPECT_TRUE(shell.SeeThroughShown()) << "the offscreen platform composites";
    shell.SetTransparentForm(true);  // again: nothing new to tell
    shell.SetTransparentForm(false);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    EXPECT_EQ(window.winId(), before);
    EXPECT_TRUE(window.isVisible());
}

// The offscreen platform has no notification area: the icon option must not hide the clock.
TEST_F(WindowShellTest, WithoutNotificationAreaTheWindowStaysReachable) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this platform has a notification area";
    shell.AddTaskTrayIcon();
    EXPECT_TRUE(shell.TrayIconWanted());
    EXPECT_FALSE(shell.TrayIconShown());
    EXPECT_EQ(window.windowFlags() & Qt::WindowType_Mask, Qt::Window);  // taskbar button kept
    shell.SetTipText("9:05:07 - 地方標準時");
    EXPECT_EQ(shell.TipText(), QString::fromUtf8("9:05:07 - 地方標準時"));
    window.showMinimized();
    QTest::qWait(20);
    EXPECT_TRUE(window.isVisible());
    shell.RemoveTaskTrayIcon();
    EXPECT_FALSE(shell.TrayIconWanted());
    EXPECT_EQ(shell.TipText(), QString());
}

TEST_F(WindowShellTest, MenuWindowStatesShowHiddenWindowAndNeverMaximiseARoundOne) {
    window.showMinimized();
    window.hide();
    shell.SetWindowState(WindowStateIndex::Normal);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(StateIndexOf(window.windowState()), WindowStateIndex::Normal);

    shell.SetWindowState(WindowStateIndex::Maximized);
    EXPECT_EQ(StateIndexOf(window.windowState()), WindowStateIndex::Maximized);
    shell.SetWindowState(WindowStateIndex::Minimized);
    EXPECT_EQ(StateIndexOf(window.windowState()), WindowStateIndex::Minimized);
    shell.SetWindowState(WindowStateIndex::Normal);

    shell.SetCircleForm(true);
    shell.SetWindowState(WindowStateIndex::Maximized);
    EXPECT_EQ(StateIndexOf(window.windowState()), WindowStateIndex::Normal);
    EXPECT_EQ(window.mask(), CircleRegion(window.width(), window.height()));
}

TEST_F(WindowShellTest, RestoreFromTrayShowsNormalWindow) {
    window.showMinimized();
    window.hide();
    shell.RestoreFromTray();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(StateIndexOf(window.windowState()), WindowStateIndex::Normal);
}
