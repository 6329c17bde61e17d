// What the program settles before its window: the command line, Qt's own Japanese, the icon.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>

#include "app/AppSetup.h"
#include "mainwindow/shell/WindowShell.h"
#include "platform/DesktopId.h"

namespace vireo {
namespace {

CommandLineOutcome Parse(const QStringList& arguments) { return ParseCommandLine(arguments); }

bool HasJapanese(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x3040 && c.unicode() <= 0x9FFF) return true;
    return false;
}

TEST(CommandLine, HelpAndVersionAnswerWithTheProjectVersion) {
    for (const char* option : {"--version", "-v"}) {
        const CommandLineOutcome out = Parse({"/usr/bin/vireo", option});
        EXPECT_EQ(out.Action, CommandLineAction::ShowVersion) << option;
        EXPECT_EQ(out.Text, "Vireo " + ProgramVersion() + "\n");
    }
    EXPECT_EQ(ProgramVersion(), QStringLiteral(VIREO_TEST_PROJECT_VERSION));
    for (const char* option : {"--help", "-h", "--help-all"}) {
        const CommandLineOutcome out = Parse({"/usr/bin/vireo", option});
        EXPECT_EQ(out.Action, CommandLineAction::ShowHelp) << option;
        EXPECT_TRUE(out.Text.startsWith("Usage: vireo [options]\n")) << out.Text.toStdString();
        EXPECT_TRUE(out.Text.contains("--version"));
        EXPECT_FALSE(out.Text.contains("--platform") || out.Text.contains("--display"))
            << "Qt's options stay out of the option list";
    }
    // Help wins over the rest of the line, as it does in every tool.
    EXPECT_EQ(Parse({"vireo", "--version", "--help"}).Action, CommandLineAction::ShowHelp);
}

TEST(CommandLine, QtsOwnOptionsPassForQApplication) {
    const QStringList arguments = {"vireo", "-platform", "offscreen", "-display", ":0", "-style=fusion",
                                   "-stylesheet", "a.qss", "--platform", "xcb", "-reverse",
                                   "-qwindowgeometry", "200x181+10+10", "-name", "clock", "-session",
                                   "1234", "-platformtheme", "gtk3", "-qwindowtitle", "t", "-plugin", "p"};
    const CommandLineOutcome out = Parse(arguments);
    EXPECT_EQ(out.Action, CommandLineAction::Run) << out.Text.toStdString();
    EXPECT_EQ(Parse({"vireo"}).Action, CommandLineAction::Run);
    EXPECT_EQ(Parse({}).Action, CommandLineAction::Run);
}

TEST(CommandLine, AnythingElseIsAUsageErrorNamingIt) {
    const struct {
        QStringList arguments;
        QString said;
    } cases[] = {
        {{"vireo", "--bogus"}, "bogus"},
        {{"vireo", "-x"}, "'x'"},
        {{"vireo", "-platform"}, "-platform"},  // Qt's option without its value
        {{"vireo", "clock.conf"}, "clock.conf"},
        {{"vireo", "-platform", "offscreen", "--", "extra"}, "extra"},
        {{"/opt/v/bin/vireo", "--minimised"}, "minimised"},
    };
    for (const auto& c : cases) {
        const CommandLineOutcome out = Parse(c.arguments);
        EXPECT_EQ(out.Action, CommandLineAction::UsageError) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(out.Text.startsWith("vireo: ")) << out.Text.toStdString();
        EXPECT_TRUE(out.Text.contains(c.said)) << out.Text.toStdString();
        EXPECT_TRUE(out.Text.endsWith("Try 'vireo --help' for more information.\n")) << out.Text.toStdString();
    }
    EXPECT_EQ(kUsageExitStatus, 64);
}

TEST(QtJapanese, QtsDialogsAndButtonsSpeakJapaneseWhileTheLocaleStaysTheUsers) {
    ASSERT_EQ(QLocale().language(), QLocale::C) << "the test runs in the C locale";
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    ASSERT_TRUE(InstallQtJapanese(*qApp));

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    for (QAbstractButton* button : buttons.buttons()) {
        if (buttons.standardButton(button) == QDialogButtonBox::Ok) continue;  // "OK" in Japanese too
        EXPECT_TRUE(HasJapanese(button->text())) << button->text().toStdString();
    }

    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* label : colours.findChildren<QLabel*>()) labels << label->text();
    EXPECT_FALSE(labels.contains("&Basic colors")) << labels.join('|').toStdString();
    EXPECT_TRUE(HasJapanese(QCoreApplication::translate("QColorDialog", "&Basic colors")));
    EXPECT_TRUE(HasJapanese(colours.windowTitle())) << colours.windowTitle().toStdString();

    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QStringList fileLabels;
    for (const QLabel* label : files.findChildren<QLabel*>()) fileLabels << label->text();
    EXPECT_FALSE(fileLabels.contains("Look in:")) << fileLabels.join('|').toStdString();
    EXPECT_TRUE(HasJapanese(QCoreApplication::translate("QFileDialog", "Look in:")));

    // The date line's weekday still follows the user's locale.
    EXPECT_EQ(QLocale().dayName(1), "Monday");
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) QCoreApplication::removeTranslator(t);
}

TEST(ApplicationIcon, WithNothingInstalledTheDrawnIconStandsIn) {
    ASSERT_FALSE(QIcon::hasThemeIcon(DesktopAppId()));
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32).toImage(), DrawnClockIcon().pixmap(32).toImage());
}

// Run against the tree the install test installed (see CMakeLists.txt).
TEST(InstalledIcon, TheInstalledThemeIconIsTheWindowsIcon) {
    const QString prefix = qEnvironmentVariable("VIREO_TEST_PREFIX");
    ASSERT_FALSE(prefix.isEmpty());
    ASSERT_TRUE(QIcon::hasThemeIcon(DesktopAppId()))
        << "theme " << QIcon::themeName().toStdString() << ", fallback " << QIcon::fallbackThemeName().toStdString()
        << ", paths " << QIcon::themeSearchPaths().join(':').toStdString();
    const QIcon icon = ApplicationIcon();
    EXPECT_EQ(icon.name(), QString(DesktopAppId()));
    for (int size : {16, 48, 256}) {
        const QImage installed(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/%3.png").arg(prefix).arg(size).arg(DesktopAppId()));
        ASSERT_FALSE(installed.isNull()) << size;
        EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                  installed.convertToFormat(QImage::Format_ARGB32))
            << size;
    }
    EXPECT_NE(icon.pixmap(32).toImage(), DrawnClockIcon().pixmap(32).toImage());
}

}  // namespace
}  // namespace vireo
