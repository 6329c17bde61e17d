#include "mainwindow/shell/ClockMenu.h"
#include "mainwindow/shell/WindowShell.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vireo;

namespace {

QStringList Captions(const ClockMenu& m) {
    QStringList out;
    for (QAction* a : m.menu()->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

int CheckedCount(const ClockMenu& m, int first, int count, QAction* (ClockMenu::*item)(int) const) {
    int n = 0;
    for (int i = first; i < first + count; ++i) n += (m.*item)(i)->isChecked() ? 1 : 0;
    return n;
}

}  // namespace

TEST(ClockMenuTest, TreeHasEveryCaptionInOrder) {
    ClockMenu m;
    const QStringList expected = {
        "元のサイズに戻す(&R)", "最小化(&N)", "最大化(&X)", "-",
        "地方標準時(&L)", "協定世界時(&U)", "地方平時(&M)", "真太陽時(&T)",
        "地方恒星時(&S)", "グリニッジ恒星時(&G)", "天保暦(&J)", "延喜式(&I)", "-",
        "時刻(&K)", "日付(&D)", "-",
        "音楽演奏(&P)...", "-",
        "アラームの設定(&E)...", "観測地点(&C)...", "オプション(&O)...", "-",
        "ヘルプ(&H)", "バージョン情報(&A)...", "-",
        "Vireoの終了(&Q)"};
    EXPECT_EQ(Captions(m), expected);
    EXPECT_EQ(m.menu()->title(), "Context");
    EXPECT_TRUE(m.mnuContextReturn(3)->isSeparator());
    EXPECT_EQ(ModeItemCaption(8), "");
    EXPECT_EQ(ModeItemCaption(-1), "");
}

TEST(ClockMenuTest, WindowStateItemsFollowStateAndRoundness) {
    ClockMenu m;
    for (bool round : {false, true}) {
        for (int state = 0; state < 3; ++state) {
            MenuWindowState s{static_cast<WindowStateIndex>(state), round, true};
            m.PrepareMenu(s);
            // Normal, minimise, maximise, and the fourth item: the present state greyed,
            // maximise absent from a round window.
            static constexpr bool kEnabled[3][4] = {{false, true, true, true},
                                                    {true, false, true, true},
                                                    {true, true, false, true}};
            for (int i = 0; i < 4; ++i) {
                SCOPED_TRACE(testing::Message() << "round " << round << " state " << state << " item " << i);
                const bool visible = !(round && i == 2);
                EXPECT_EQ(m.mnuContextReturn(i)->isVisible(), visible);
                // Qt reports a hidden action as disabled, so only shown items are compared.
                if (visible) {
                    EXPECT_EQ(m.mnuContextReturn(i)->isEnabled(), kEnabled[state][i]);
                }
            }
        }
    }
    // Back to rectangular: maximise comes back, greyed while maximised.
    m.PrepareMenu({WindowStateIndex::Maximized, false, true});
    EXPECT_TRUE(m.mnuContextReturn(2)->isVisible());
    EXPECT_FALSE(m.mnuContextReturn(2)->isEnabled());
    EXPECT_TRUE(m.mnuContextReturn(0)->isEnabled());
}

TEST(ClockMenuTest, LocationOnlyWhileWindowVisible) {
    ClockMenu m;
    m.PrepareMenu({WindowStateIndex::Minimized, false, false});
    EXPECT_FALSE(m.mnuContextLocation()->isEnabled());
    m.PrepareMenu({WindowStateIndex::Minimized, false, true});
    EXPECT_TRUE(m.mnuContextLocation()->isEnabled());
}

TEST(ClockMenuTest, ExactlyOneModeAndOneReadoutChecked) {
    ClockMenu m;
    EXPECT_TRUE(m.mnuContextMode(0)->isChecked());
    EXPECT_TRUE(m.mnuContextLabel(1)->isChecked());
    for (int mode = 0; mode < 8; ++mode) {
        EXPECT_TRUE(m.SetClockMode(mode));
        EXPECT_TRUE(m.mnuContextMode(mode)->isChecked());
        EXPECT_EQ(CheckedCount(m, 0, 8, &ClockMenu::mnuContextMode), 1);
    }
    // A stored mode outside 0..7 is not dressed up as another scale.
    EXPECT_FALSE(m.SetClockMode(8));
    EXPECT_EQ(CheckedCount(m, 0, 8, &ClockMenu::mnuContextMode), 0);

    m.SetDigitalMode(0);
    EXPECT_TRUE(m.mnuContextLabel(0)->isChecked());
    EXPECT_FALSE(m.mnuContextLabel(1)->isChecked());
    m.SetDigitalMode(1);
    EXPECT_TRUE(m.mnuContextLabel(1)->isChecked());
    m.SetDigitalMode(7);  // shows the time, so the time item carries the mark
    EXPECT_TRUE(m.mnuContextLabel(0)->isChecked());
    EXPECT_EQ(CheckedCount(m, 0, 2, &ClockMenu::mnuContextLabel), 1);
}

TEST(ClockMenuTest, EveryItemReportsItsCommand) {
    ClockMenu m;
    QSignalSpy ret(&m, &ClockMenu::mnuContextReturn_Click);
    QSignalSpy mode(&m, &ClockMenu::mnuContextMode_Click);
    QSignalSpy label(&m, &ClockMenu::mnuContextLabel_Click);
    QSignalSpy play(&m, &ClockMenu::mnuContextPlay_Click);
    QSignalSpy alarm(&m, &ClockMenu::mnuContextAlarm_Click);
    QSignalSpy location(&m, &ClockMenu::mnuContextLocation_Click);
    QSignalSpy option(&m, &ClockMenu::mnuContextOption_Click);
    QSignalSpy help(&m, &ClockMenu::mnuContextHelp_Click);
    QSignalSpy about(&m, &ClockMenu::mnuContextAbout_Click);
    QSignalSpy end(&m, &ClockMenu::mnuContextEnd_Click);

    m.mnuContextReturn(1)->trigger();
    m.mnuContextReturn(2)->trigger();
    ASSERT_EQ(ret.count(), 2);
    EXPECT_EQ(ret.at(0).at(0).toInt(), 1);
    EXPECT_EQ(ret.at(1).at(0).toInt(), 2);

    m.SetClockMode(6);
    m.mnuContextMode(6)->trigger();  // the current mode again still reports (it redraws)
    m.mnuContextMode(3)->trigger();
    ASSERT_EQ(mode.count(), 2);
    EXPECT_EQ(mode.at(0).at(0).toInt(), 6);
    EXPECT_EQ(mode.at(1).at(0).toInt(), 3);
    EXPECT_EQ(CheckedCount(m, 0, 8, &ClockMenu::mnuContextMode), 1);

    m.mnuContextLabel(0)->trigger();
    ASSERT_EQ(label.count(), 1);
    EXPECT_EQ(label.at(0).at(0).toInt(), 0);

    m.mnuContextPlay()->trigger();
    m.mnuContextAlarm()->trigger();
    m.mnuContextLocation()->trigger();
    m.mnuContextOption()->trigger();
    m.mnuContextHelp()->trigger();
    m.mnuContextAbout()->trigger();
    m.mnuContextEnd()->trigger();
    for (QSignalSpy* s : {&play, &alarm, &location, &option, &help, &about, &end}) EXPECT_EQ(s->count(), 1);
}

// The menu reads the real window when it opens.
TEST(ClockMenuTest, OpeningReadsTheWindowState) {
    QWidget w;
    w.resize(200, 181);
    ClockMenu m;
    WindowShell shell(&w, &m);
    w.show();
    emit m.menu()->aboutToShow();
    EXPECT_FALSE(m.mnuContextReturn(0)->isEnabled());
    EXPECT_TRUE(m.mnuContextReturn(2)->isVisible());

    w.showMaximized();
    emit m.menu()->aboutToShow();
    EXPECT_TRUE(m.mnuContextReturn(0)->isEnabled());
    EXPECT_FALSE(m.mnuContextReturn(2)->isEnabled());

    w.showMinimized();
    EXPECT_EQ(shell.CurrentMenuState().State, WindowStateIndex::Minimized);
    emit m.menu()->aboutToShow();
    EXPECT_FALSE(m.mnuContextReturn(1)->isEnabled());

    w.showNormal();
    shell.SetCircleForm(true);
    emit m.menu()->aboutToShow();
    EXPECT_FALSE(m.mnuContextReturn(2)->isVisible());
    EXPECT_TRUE(m.mnuContextLocation()->isEnabled());

    w.hide();
    emit m.menu()->aboutToShow();
    EXPECT_FALSE(m.mnuContextLocation()->isEnabled());
}
