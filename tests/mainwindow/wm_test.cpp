// The clock window under a real window manager (openbox, started by wm-session.sh), as a user
// meets it: frames that come after mapping, moves by the face, the see-through face with and
// without a compositor, the notification area, the window's functions. Where a window really
// is comes from the X server (xwininfo), not from what Qt believes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QToolTip>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWindow>

#include <memory>

#include "HelperProcess.h"
#include "OwnSettingsFile.h"
#include "TempConfigHome.h"
#include "ephemeris/EphemerisComponent.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockForm.h"
#include "mainwindow/shell/WindowShell.h"
#include "options/OptionForm.h"
#include "platform/WindowHints.h"
#include "settings/SettingsStore.h"
#include "signal/AlarmForm.h"
#include "settings/SettingsTable.h"

using namespace vireo;

namespace {

QString RunTool(const QString& program, const QStringList& args, int* status = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    if (status) *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Where the X server has a window: its client area on the screen, and whether it is mapped.
struct XGeometry {
    QRect client;
    bool viewable = false;
};
XGeometry WhereIs(WId id) {
    const QString info = RunTool("xwininfo", {"-id", QString::number(id)});
    auto number = [&](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    XGeometry g;
    g.client = QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                     number("Height"));
    g.viewable = info.contains(QStringLiteral("IsViewable"));
    return g;
}

// Twips per pixel of the screen, which is what X reports: Qt's scale is the form's pixel ratio.
TwipScale PerScreenPixel(const ClockForm& form) {
    TwipScale tw = form.Twips();
    tw.X /= form.devicePixelRatioF();
    tw.Y /= form.devicePixelRatioF();
    return tw;
}

void Settle(int ms = 400) { QTest::qWait(ms); }

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        clock_.Set(LocalDateTime::FromCivil(2026, 6, 21, 12, 0, 0));
    }
    std::unique_ptr<ClockForm> Start() {
        ClockFormParts parts;
        parts.clock = &clock_;
        parts.createEphemeris = [] { return std::make_unique<EphemerisComponent>(); };
        auto form = std::make_unique<ClockForm>(std::move(parts));
        form->Form_Load();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get(), 15000));
        Settle();
        return form;
    }
    void Put(const char* key, const QVariant& value) { test::PutOwnSetting(key, value); }
    QVariant Stored(const char* key) { return test::StoredOwnSetting(key); }

    TempConfigHome dir_;
    SettableClock clock_;
};

TEST_F(WindowManagerTest, TheFirstStartHasTheDesignedClientAreaAndSessionsNeverCreep) {
    {
        auto form = Start();
        const XGeometry g = WhereIs(form->winId());
        EXPECT_TRUE(g.viewable);
        // The designed client area, 3000 x 2715 twips; at a larger scale no smaller than that
        // (the window's minimum grows with the scale).
        if (form->devicePixelRatioF() == 1.0) {
            EXPECT_EQ(g.client.size(), QSize(200, 181)) << "the designed client area, 3000 x 2715 twips";
        } else {
            EXPECT_GE(g.client.width(), 200);
            EXPECT_GE(g.client.height(), 181);
            EXPECT_EQ(g.client.size(), form->size() * form->devicePixelRatioF());
        }
        form->Form_Unload();
    }
    const int left = Stored("Left").toInt(), top = Stored("Top").toInt();
    const int width = Stored("Width").toInt(), height = Stored("Height").toInt();
    QRect first;
    for (int session = 0; session < 3; ++session) {
        auto form = Start();
        const XGeometry g = WhereIs(form->winId());
        if (session == 0) first = g.client;
        EXPECT_EQ(g.client, first) << "session " << session;
        form->Form_Unload();
        EXPECT_EQ(Stored("Left").toInt(), left) << "session " << session;
        EXPECT_EQ(Stored("Top").toInt(), top);
        EXPECT_EQ(Stored("Width").toInt(), width);
        EXPECT_EQ(Stored("Height").toInt(), height);
    }
}

TEST_F(WindowManagerTest, ARoundWindowDraggedByItsFaceMovesByTheDragAndStopsAtRelease) {
    Put("CircleForm", true);
    auto form = Start();
    const QRect before = WhereIs(form->winId()).client;
    const QPoint grab = before.center() + QPoint(0, -40);
    RunTool("xdotool", {"mousemove", QString::number(grab.x()), QString::number(grab.y())});
    Settle(150);
    RunTool("xdotool", {"mousedown", "1"});
    Settle(150);
    for (int i = 1; i <= 6; ++i) {
        RunTool("xdotool", {"mousemove", QString::number(grab.x() + 5 * i), QString::number(grab.y() + 10 * i / 3)});
        QTest::qWait(40);
    }
    RunTool("xdotool", {"mousemove", QString::number(grab.x() + 30), QString::number(grab.y() + 20)});
    Settle(200);
    RunTool("xdotool", {"mouseup", "1"});
    Settle(300);
    const QRect moved = WhereIs(form->winId()).client;
    EXPECT_EQ(moved.topLeft() - before.topLeft(), QPoint(30, 20));
    // After the release the pointer moves on alone.
    RunTool("xdotool", {"mousemove", QString::number(grab.x() + 200), QString::number(grab.y() + 150)});
    Settle(300);
    EXPECT_EQ(WhereIs(form->winId()).client, moved);
    form->Form_Unload();
    const TwipScale tw = PerScreenPixel(*form);
    EXPECT_NEAR(Stored("Left").toInt() / tw.X, moved.left(), 1.0) << "the new place is what is saved";
}

// A red "desktop" under the clock: what a see-through face must show through.
class RedDesktop : public QWidget {
public:
    RedDesktop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
        setAutoFillBackground(true);
        QPalette p;
        p.setColor(QPalette::Window, QColor(255, 0, 0));
        setPalette(p);
        setGeometry(0, 0, 1600, 1000);
        show();
        (void)QTest::qWaitForWindowExposed(this);
    }
};

QImage ScreenShot() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

// The first and last columns along a row of the client where the face shows anything but the
// desktop's red.
std::pair<int, int> FaceExtent(const QImage& shot, const QRect& client, int y) {
    int first = -1, last = -1;
    for (int x = client.left() - 40; x <= client.right() + 40; ++x) {
        if (QColor(shot.pixel(x, y)) == QColor(255, 0, 0)) continue;
        if (first < 0) first = x;
        last = x;
    }
    return {first, last};
}

TEST_F(WindowManagerTest, TheSeeThroughFaceShowsTheDesktopCentredInItsCircleAndIsOpaqueWithoutACompositor) {
    RedDesktop desktop;
    Put("BackgroundMode", 3);
    auto form = Start();
    ASSERT_TRUE(form->Shell()->IsRound());
    const QRect client = WhereIs(form->winId()).client;
    const QPoint inside = client.center() + QPoint(client.width() / 5, client.height() / 5);

    // No compositor: a plain opaque face in the key colour, never black.
    EXPECT_FALSE(form->Shell()->SeeThroughShown());
    QImage shot = ScreenShot();
    EXPECT_EQ(QColor(shot.pixel(inside)), QColor(208, 208, 208));

    {
        HelperProcess compositor("xcompmgr");
        ASSERT_TRUE(compositor.Started());
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->Shell()->SeeThroughShown(); }, 5000))
            << "the compositor was not noticed";
        Settle(800);
        shot = ScreenShot();
        shot.save(QDir::temp().filePath(QStringLiteral("vireo-wm-seethrough.png")));
        EXPECT_EQ(QColor(shot.pixel(inside)), QColor(255, 0, 0)) << "the desktop shows through";
        EXPECT_EQ(QColor(shot.pixel(client.topLeft() + QPoint(2, 2))), QColor(255, 0, 0)) << "outside the circle";
        // The marks at 3 and 9 o'clock lie as far left of the centre as right of it.
        const auto [left, right] = FaceExtent(shot, client, client.center().y());
        ASSERT_GE(left, 0);
        EXPECT_NEAR(client.center().x() - left, right - client.center().x(), 2.0);
        EXPECT_NEAR(right - left, 970.0 / 1020.0 * std::min(client.width(), client.height()), 6.0)
            << "the whole dial is there, marks included";
    }
    // The compositor gone: opaque again at once, with nothing left of the see-through face.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Shell()->SeeThroughShown(); }, 5000));
    Settle(600);
    EXPECT_EQ(QColor(ScreenShot().pixel(inside)), QColor(208, 208, 208));
    form->Form_Unload();
}

TEST_F(WindowManagerTest, OkInOptionsKeepsTheWindowWhateverTheSeeThroughOptionAndTheCompositor) {
    for (const bool composited : {false, true}) {
        std::unique_ptr<HelperProcess> compositor;
        if (composited) {
            compositor = std::make_unique<HelperProcess>("xcompmgr");
            ASSERT_TRUE(compositor->Started());
            Settle(500);
        }
        auto form = Start();
        for (const int scheme : {3, 1, 3, 0}) {
            SCOPED_TRACE(std::to_string(composited) + " scheme " + std::to_string(scheme));
            form->mnuContextOption_Click();
            QCoreApplication::processEvents();
            OptionForm* options = form->OptionWindow();
            ASSERT_NE(options, nullptr);
            options->Combo1->setCurrentIndex(scheme);
            options->Command1_Click();
            Settle(500);
            const XGeometry g = WhereIs(form->winId());
            EXPECT_TRUE(g.viewable);
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(form->Shell()->IsRound(), scheme == 3);
            EXPECT_GE(g.client.width(), 100);
        }
        form->Form_Unload();
    }
}

class TrayedTest : public WindowManagerTest {
protected:
    void SetUp() override {
        WindowManagerTest::SetUp();
        ASSERT_TRUE(trayer_.Started());
        ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
    }
    HelperProcess trayer_{"trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                              "--height", "32", "--SetDockType", "false"}};
};

TEST_F(WindowManagerTest, TheReadoutsToolTipShowsWhileAnotherWindowIsActive) {
    auto form = Start();
    form->Face()->SetMusicPlaying(true);
    QWidget other;
    other.setGeometry(900, 100, 200, 150);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other, 15000));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.isActiveWindow() && !form->isActiveWindow(); }, 5000));
    QLabel* readout = form->Face()->Label1();
    const QPoint at = readout->mapToGlobal(readout->rect().center());
    RunTool("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y())});
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 4000)) << "no tool tip on the readout";
    EXPECT_EQ(QToolTip::text(), readout->toolTip());
    RunTool("xdotool", {"mousemove", "10", "10"});
}

TEST_F(TrayedTest, TheIconsToolTipShowsTheTimeWhileTheWindowIsHidden) {
    Put("TaskTray", true);
    auto form = Start();
    form->Shell()->SetWindowState(WindowStateIndex::Minimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Shell()->TipText().isEmpty(); }, 3000));
    const QRect icon = form->Shell()->TrayIconGeometry();
    ASSERT_FALSE(icon.isEmpty());
    RunTool("xdotool", {"mousemove", QString::number(icon.center().x()), QString::number(icon.center().y())});
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 4000)) << "no tool tip on the icon";
    EXPECT_EQ(QToolTip::text(), form->Shell()->TipText());
    // It follows the time while it shows, and goes with the pointer.
    const QString first = QToolTip::text();
    clock_.Advance(5.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::text() != first; }, 3000)) << first.toStdString();
    RunTool("xdotool", {"mousemove", "10", "10"});
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
}

TEST_F(TrayedTest, HidingInTheNotificationAreaAndTogglingTheIconLeaveThePlaceAlone) {
    Put("TaskTray", true);
    auto form = Start();
    const QRect placed = WhereIs(form->winId()).client;
    // From the menu, then through the window manager (which leaves iconic marks on the window).
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        if (round % 2 == 0) {
            form->Shell()->SetWindowState(WindowStateIndex::Minimized);
        } else {
            form->showMinimized();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 3000)) << "hidden in the notification area";
        form->Shell()->RestoreFromTray();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get(), 15000));
        EXPECT_FALSE(CarriesIconicState(form.get()));
        Settle(1500);  // a minimise left on the window would take it away again by now
        ASSERT_TRUE(form->isVisible());
        ASSERT_FALSE(form->windowState() & Qt::WindowMinimized);
        Settle();
        EXPECT_EQ(WhereIs(form->winId()).client, placed);
    }
    // The icon off and on again from Options: the window changes its kind, not its place.
    for (const bool tray : {false, true, false}) {
        SCOPED_TRACE(tray);
        form->mnuContextOption_Click();
        QCoreApplication::processEvents();
        ASSERT_NE(form->OptionWindow(), nullptr);
        form->OptionWindow()->Check1->setChecked(tray);
        form->OptionWindow()->Command1_Click();
        Settle(600);
        EXPECT_EQ(WhereIs(form->winId()).client, placed);
    }
    // Hidden at shutdown: the place saved is still the one it had.
    form->Form_Unload();
    const TwipScale tw = PerScreenPixel(*form);
    EXPECT_EQ(Stored("Left").toInt(), RoundToInt32(placed.left() * tw.X));
    EXPECT_EQ(Stored("Top").toInt(), RoundToInt32(placed.top() * tw.Y));
}

TEST_F(WindowManagerTest, AMaximisedWindowSavesTheClientRectangleItRestoresTo) {
    auto form = Start();
    const QRect normal = WhereIs(form->winId()).client;
    form->Shell()->SetWindowState(WindowStateIndex::Maximized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return WhereIs(form->winId()).client.width() > 800; }, 3000));
    form->Form_Unload();
    const TwipScale tw = PerScreenPixel(*form);
    EXPECT_EQ(Stored("WindowState").toInt(), 2);
    EXPECT_EQ(Stored("Left").toInt(), RoundToInt32(normal.left() * tw.X));
    EXPECT_EQ(Stored("Top").toInt(), RoundToInt32(normal.top() * tw.Y));
    EXPECT_EQ(Stored("Width").toInt(), RoundToInt32(normal.width() * tw.X));
    EXPECT_EQ(Stored("Height").toInt(), RoundToInt32(normal.height() * tw.Y));
}

}  // namespace

TEST_F(WindowManagerTest, AWindowHiddenFromAMinimiseLosesItsIconicMarksBeforeItIsMappedAgain) {
    QWidget window;
    window.resize(120, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 15000));
    window.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CarriesIconicState(&window); }, 5000)) << "minimised";
    window.hide();
    Settle();
    // Hidden, the marks stay: mapped now, the window manager would minimise it again.
    ASSERT_TRUE(CarriesIconicState(&window));
    ForgetIconicState(&window);
    EXPECT_FALSE(CarriesIconicState(&window));
}

// What openbox offers for the window (its menu, keys and buttons), as it tells pagers.
QStringList AllowedActions(WId id) {
    const QString text = RunTool("xprop", {"-id", QString::number(id), "_NET_WM_ALLOWED_ACTIONS"});
    QStringList actions;
    static const QRegularExpression name(QStringLiteral("_NET_WM_ACTION_(\\w+)"));
    for (auto it = name.globalMatch(text); it.hasNext();) actions << it.next().captured(1);
    return actions;
}

// The Motif functions the window lists (-1: none listed).
int MotifFunctions(WId id) {
    const QString text = RunTool("xprop", {"-id", QString::number(id), "_MOTIF_WM_HINTS"});
    static const QRegularExpression words(QStringLiteral("= (0x[0-9a-f]+), (0x[0-9a-f]+)"));
    const QRegularExpressionMatch m = words.match(text);
    if (!m.hasMatch() || !(m.captured(1).toUInt(nullptr, 16) & 1)) return -1;
    return static_cast<int>(m.captured(2).toUInt(nullptr, 16));
}

TEST_F(WindowManagerTest, TheWindowManagerIsToldWhatTheWindowsButtonsLeaveOut) {
    constexpr int kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 16, kClose = 32;
    {
        auto form = Start();
        EXPECT_EQ(MotifFunctions(form->winId()), kResize | kMove | kMinimize | kMaximize | kClose);
    }
    {
        // The close button minimises: there is no minimise of its own.
        Put("CloseButton", true);
        auto form = Start();
        EXPECT_EQ(MotifFunctions(form->winId()), kResize | kMove | kMaximize | kClose);
    }
    {
        // A round window lists none: under openbox it could not be moved by its face then.
        Put("CloseButton", false);
        Put("CircleForm", true);
        auto form = Start();
        EXPECT_EQ(MotifFunctions(form->winId()), -1);
        EXPECT_TRUE(AllowedActions(form->winId()).contains("MOVE"));
        // Asked to maximise (openbox offers it, as the state change any such request makes):
        // the round window stays as it was.
        const QRect before = WhereIs(form->winId()).client;
        form->showMaximized();
        Settle(500);
        EXPECT_FALSE(form->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(WhereIs(form->winId()).client, before);
    }
}

TEST_F(WindowManagerTest, DialogsOpenOnTheWorkAreaBesideTheClockAtAnyScale) {
    // The clock in the upper middle of the screen, where each side has room for a dialog.
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    auto form = Start();
    form->move(work.left() + work.width() * 2 / 5, work.top() + work.height() / 10);
    Settle();
    const QRect clock = form->frameGeometry();
    ASSERT_TRUE(work.contains(clock)) << "the clock itself is on the work area";
    const auto check = [&](QWidget* dialog, const char* what) {
        ASSERT_NE(dialog, nullptr) << what;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog, 15000)) << what;
        Settle();
        const QRect frame = dialog->frameGeometry();
        EXPECT_GE(frame.top(), work.top()) << what << ": the title bar on the screen";
        EXPECT_GE(frame.left(), work.left()) << what;
        EXPECT_LE(frame.right(), work.right()) << what;
        if (frame.height() <= work.height()) {
            EXPECT_LE(frame.bottom(), work.bottom()) << what;
        }
        if (frame.width() <= work.right() - clock.right() || frame.width() <= clock.left() - work.left()) {
            EXPECT_FALSE(frame.intersects(clock))
                << what << " on top of the clock: " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                << frame.height() << " clock " << clock.x() << "," << clock.y() << " " << clock.width() << "x"
                << clock.height();
        }
    };
    form->mnuContextOption_Click();
    QCoreApplication::processEvents();
    check(form->OptionWindow(), "Options");
    form->OptionWindow()->close();
    Settle();
    form->mnuContextAlarm_Click();
    QCoreApplication::processEvents();
    check(form->AlarmWindow(), "alarm");
    form->AlarmWindow()->close();
    Settle();
}
