#include "app/AppSetup.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "mainwindow/shell/WindowShell.h"
#include "platform/DesktopId.h"

namespace vireo {

namespace {

// The options QGuiApplication, QApplication and the X11 platform take out of the arguments
// themselves; they are accepted here and left in place for them.
constexpr const char* kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
    "qwindowgeometry", "geometry", "qwindowicon", "icon", "qwindowtitle", "title",
    "session", "display", "name", "visual", "style", "stylesheet",
};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync"};

QString ProgramName(const QStringList& arguments) {
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return name.isEmpty() ? QStringLiteral("vireo") : name;
}

}  // namespace

QString ProgramVersion() { return QStringLiteral(VIREO_VERSION); }

CommandLineOutcome ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform, -display); read them as such.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Vireo, a desktop clock on eight time scales, with the Japanese lunisolar date."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = ProgramName(arguments);
    const QString tryHelp = QStringLiteral("Try '%1 --help' for more information.\n").arg(program);
    if (!parser.parse(arguments.isEmpty() ? QStringList{program} : arguments))
        return {CommandLineAction::UsageError, program + QStringLiteral(": ") + parser.errorText() + u'\n' + tryHelp};
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object Qt cannot name the program in its first line.
        QString text = parser.helpText();
        text = QStringLiteral("Usage: %1 [options]").arg(program) + text.mid(text.indexOf(u'\n'));
        text += QStringLiteral(
            "\nQt's own options are accepted too, such as -platform wayland, -display :0 or\n"
            "-style fusion. See vireo(1).\n");
        return {CommandLineAction::ShowHelp, text};
    }
    if (parser.isSet(version))
        return {CommandLineAction::ShowVersion, QStringLiteral("Vireo %1\n").arg(ProgramVersion())};
    if (!parser.positionalArguments().isEmpty())
        return {CommandLineAction::UsageError,
                QStringLiteral("%1: unexpected argument '%2'\n").arg(program, parser.positionalArguments().first()) +
                    tryHelp};
    return {};
}

bool InstallQtJapanese(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QIcon ApplicationIcon() { return QIcon::fromTheme(QString::fromLatin1(DesktopAppId()), DrawnClockIcon()); }

}  // namespace vireo
