#pragma once
// What the program settles before and around its window: its command line, Qt's own dialogs
// in Japanese, and its icon.

#include <QIcon>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace vireo {

inline constexpr int kUsageExitStatus = 64;  // EX_USAGE of sysexits.h

// The project's version, "1.0.0".
QString ProgramVersion();

enum class CommandLineAction { Run, ShowHelp, ShowVersion, UsageError };

struct CommandLineOutcome {
    CommandLineAction Action = CommandLineAction::Run;
    QString Text;  // the help or version for standard output, or the error for standard error
};

// Reads the program's arguments (the first names the program) before any application object
// exists, so that --help, --version and a usage error need no display. Qt's own options
// (-platform, -display, -style ...) pass, for QApplication to take.
CommandLineOutcome ParseCommandLine(const QStringList& arguments);

// Installs Qt's own Japanese translation (qtbase_ja), so Qt's dialogs and buttons speak the
// program's language whatever the user's locale. The locale itself is left alone. False when
// the translation is not installed.
bool InstallQtJapanese(QCoreApplication& app);

// The window's and the notification icon's picture: the installed theme icon, else the drawn
// one. Needs a QGuiApplication.
QIcon ApplicationIcon();

}  // namespace vireo
