// Under a real X server: the notification icon in trayer's notification area, started (and
// ended) by the tests.
#include "HelperProcess.h"
#include "mainwindow/shell/ClockMenu.h"
#include "mainwindow/shell/WindowShell.h"

#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vireo;

namespace {

bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000) || p.exitCode() != 0) return false;
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput());
    return true;
}

void MovePointer(const QPoint& global) {
    RunTool("xdotool", {"mousemove", QString::number(global.x()), QString::number(global.y())});
}

void ClickAt(const QPoint& global, int button) {
    MovePointer(global);
    QTest::qWait(50);
    RunTool("xdotool", {"click", QString::number(button)});
}

class TrayTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(trayer.Started()) << "trayer could not start";
        ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000))
            << "no notification area appeared";
        face.resize(200, 181);
        face.move(300, 300);
        face.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
        shell.AddTaskTrayIcon();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !shell.TrayIcon()->geometry().isEmpty(); }, 5000))
            << "the icon never reached the notification area";
        QTest::qWait(100);
    }
    QPoint IconCentre() const { return shell.TrayIcon()->geometry().center(); }

    HelperProcess trayer{"trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                             "--height", "32", "--SetDockType", "false"}};
    QWidget face;
    ClockMenu menu;
    WindowShell shell{&face, &menu};
};

TEST_F(TrayTest, IconReplacesTheTaskbarButtonAndItsTipFollowsTheTime) {
    EXPECT_TRUE(shell.TrayIconShown());
    EXPECT_TRUE(shell.TrayIcon()->isVisible());
    EXPECT_EQ(face.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(face.isVisible());
    QString props;
    ASSERT_TRUE(RunTool("xprop", {"-id", QString::number(face.winId()), "_NET_WM_WINDOW_TYPE"}, &props));
    EXPECT_TRUE(props.contains("_NET_WM_WINDOW_TYPE_UTILITY")) << props.toStdString();

    const QString first = QString::fromUtf8("9:05:07 - 地方標準時");
    shell.SetTipText(first.toStdString());
    MovePointer(IconCentre());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == first; }, 5000))
        << "tip shown: " << QToolTip::text().toStdString();

    // The next second's text is what the next hover shows.
    const QString second = QString::fromUtf8("9:05:08 - 地方標準時");
    shell.SetTipText(second.toStdString());
    // A small move over the icon asks for the tip again.
    MovePointer(IconCentre() + QPoint(2, 2));
    QTest::qWait(100);
    MovePointer(IconCentre() + QPoint(-2, 1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == second; }, 5000))
        << "tip shown: " << QToolTip::text().toStdString();
    const QString file = QDir::temp().filePath("vireo-shell-tray.png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
    std::printf("screenshot: %s\n", qPrintable(file));
}

TEST_F(TrayTest, MinimisingHidesAndALeftClickOnTheIconRestores) {
    face.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !face.isVisible(); }, 3000)) << "minimised window still shown";
    emit menu.menu()->aboutToShow();
    EXPECT_FALSE(menu.mnuContextLocation()->isEnabled());

    QSignalSpy restored(&shell, &WindowShell::RestoredFromTray);
    ClickAt(IconCentre(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return face.isVisible(); }, 3000));
    EXPECT_EQ(StateIndexOf(face.windowState()), WindowStateIndex::Normal);
    EXPECT_EQ(restored.count(), 1);
    emit menu.menu()->aboutToShow();
    EXPECT_TRUE(menu.mnuContextLocation()->isEnabled());

    // The same through the menu's window-state items.
    shell.SetWindowState(WindowStateIndex::Minimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !face.isVisible(); }, 3000));
    shell.SetWindowState(WindowStateIndex::Normal);
    EXPECT_TRUE(face.isVisible());
    EXPECT_EQ(StateIndexOf(face.windowState()), WindowStateIndex::Normal);
}

TEST_F(TrayTest, RightClickOnTheIconOpensTheSameMenu) {
    ClickAt(IconCentre(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.menu()->isVisible(); }, 3000));
    EXPECT_FALSE(menu.mnuContextReturn(0)->isEnabled());  // the window is normal
    menu.menu()->hide();
}

TEST_F(TrayTest, WindowComesBackWhenTheNotificationAreaGoes) {
    face.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !face.isVisible(); }, 3000));
    trayer.Stop();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }, 5000));
    shell.SetTipText("9:05:09 - 地方標準時");  // what the next tick does
    EXPECT_TRUE(QTest::qWaitFor([&] { return face.isVisible(); }, 3000));
    EXPECT_EQ(face.windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_FALSE(shell.TrayIconShown());
}

}  // namespace
