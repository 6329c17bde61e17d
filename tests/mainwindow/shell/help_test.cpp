#include "mainwindow/shell/HelpWindow.h"

#include <QApplication>
#include <QDialog>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

using namespace vireo;

namespace {

// Counts kana and kanji: the pages must be written in Japanese, not merely mention it.
int JapaneseCharacters(const QString& text) {
    static const QRegularExpression japanese(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
    int n = 0;
    auto it = japanese.globalMatch(text);
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

class HelpTest : public testing::Test {
protected:
    void TearDown() override {
        CloseAllHelp();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace

TEST_F(HelpTest, MainWindowTopicOpensWithJapaneseText) {
    HelpWindow* help = ShowHelp(2);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentUrl(), QUrl("qrc:/help/main.html"));
    const QString text = help->CurrentText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("右クリックメニュー")));
    EXPECT_TRUE(text.contains(QString::fromUtf8("Vireoの終了")));
    EXPECT_GT(JapaneseCharacters(text), 500);
    ASSERT_NE(help->Contents()->currentItem(), nullptr);
    EXPECT_EQ(help->Contents()->currentItem()->text(0), QString::fromUtf8("時計の使い方"));
}

TEST_F(HelpTest, ContextNumbersReachTheirPagesAndOneWindowIsReused) {
    HelpWindow* first = ShowHelp(11);
    EXPECT_EQ(first->CurrentUrl(), QUrl("qrc:/help/player.html"));
    EXPECT_TRUE(first->CurrentText().contains(QString::fromUtf8("音楽演奏")));
    HelpWindow* second = ShowHelp(12);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(second->CurrentText().contains(QString::fromUtf8("アラームの設定")));
    ShowHelp(13);
    EXPECT_TRUE(first->CurrentText().contains(QString::fromUtf8("タスクトレイに常駐")));
    // A number without a topic opens the contents rather than an empty page.
    ShowHelp(99);
    EXPECT_EQ(first->CurrentUrl(), HelpContentsUrl());
    ShowHelpContents();
    EXPECT_TRUE(first->CurrentText().contains(QString::fromUtf8("目次")));
}

TEST_F(HelpTest, EveryContentsEntryLeadsToARealPage) {
    HelpWindow* help = ShowHelpContents();
    QTreeWidgetItemIterator it(help->Contents());
    int entries = 0;
    while (*it) {
        const QUrl url = (*it)->data(0, Qt::UserRole).toUrl();
        help->Browser()->setSource(url);
        SCOPED_TRACE(url.toString().toStdString());
        EXPECT_GT(JapaneseCharacters(help->CurrentText()), 200);
        if (url.hasFragment()) {
            // The anchor exists on the page.
            EXPECT_TRUE(help->Browser()->document()->toHtml().contains(url.fragment()));
        }
        ++entries;
        ++it;
    }
    EXPECT_GE(entries, 15);
}

TEST_F(HelpTest, ScalePageExplainsEveryScaleAndTheTraditionalUnits) {
    HelpWindow* help = ShowHelpContents();
    help->ShowTopic(QUrl("qrc:/help/scales.html"));
    const QString text = help->CurrentText();
    for (const char* word : {"地方標準時", "協定世界時", "地方平時", "真太陽時", "地方恒星時", "グリニッジ恒星時",
                             "天保暦", "延喜式", "明六つ", "暮六つ", "暁九時", "夜四時", "半", "一刻", "四刻", "子"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
    help->ShowTopic(QUrl("qrc:/help/calendar.html"));
    for (const char* word : {"閏", "六曜", "先勝", "友引", "先負", "仏滅", "大安", "赤口"})
        EXPECT_TRUE(help->CurrentText().contains(QString::fromUtf8(word))) << word;
}

TEST_F(HelpTest, F1InADialogOpensItsTopic) {
    QWidget dialog;
    InstallHelpKey(&dialog, 13);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_NE(OpenHelpWindow(), nullptr);
    EXPECT_EQ(OpenHelpWindow()->CurrentUrl(), QUrl("qrc:/help/options.html"));
}

TEST_F(HelpTest, CloseAllHelpClosesTheWindow) {
    ShowHelp(2);
    ASSERT_NE(OpenHelpWindow(), nullptr);
    CloseAllHelp();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenHelpWindow(), nullptr);
    CloseAllHelp();  // nothing open: harmless
    // It opens again afterwards.
    EXPECT_NE(ShowHelp(2), nullptr);
}

TEST_F(HelpTest, HelpFromAModalDialogCanBeUsedWhileTheDialogIsOpen) {
    for (int round = 0; round < 2; ++round) {  // a help window already open is freed too
        SCOPED_TRACE(round);
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        InstallHelpKey(&dialog, 13);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QTest::keyClick(&dialog, Qt::Key_F1);
        HelpWindow* help = OpenHelpWindow();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
        // A click on another entry of the contents reaches it.
        QTreeWidget* tree = help->Contents();
        QTreeWidgetItem* other = tree->topLevelItem(0);
        ASSERT_NE(other, nullptr);
        const QRect at = tree->visualItemRect(other);
        // Through the window system, where a modal dialog blocks what is not its own.
        const QPoint inHelp = tree->viewport()->mapTo(help, at.center());
        QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, inHelp);
        EXPECT_EQ(tree->currentItem(), other);
        EXPECT_EQ(help->CurrentUrl(), QUrl("qrc:/help/index.html"));
        ShowHelp(13);  // back to the dialog's page for the next round
        dialog.close();
    }
}
