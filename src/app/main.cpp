// The clock program: one instance per user, the clock window, and an orderly shutdown on exit,
// logout, SIGTERM or SIGINT.

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QList>
#include <QSessionManager>

#include <cstdio>
#include <memory>
#include <utility>

#include "app/AppSetup.h"
#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "platform/UiFont.h"
#include "mainwindow/ClockForm.h"
#include "music/MusicEngine.h"
#include "platform/DesktopId.h"
#include "platform/ResidentSet.h"
#include "platform/SoundBackends.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"

namespace {

// The clock sleeps a second between ticks, so each wake-up's fixed cost is most of what it
// spends. Qt's own event dispatcher is lighter than the GLib one, and writing the small
// repainted image down the X connection spares the shared-memory round trip that otherwise
// precedes every paint. A value the user sets in the environment wins.
// Returns the names it set, so they can be taken back once Qt has read them and programs the
// clock starts do not inherit them.
QList<const char*> PreferLightIdleDefaults() {
    QList<const char*> set;
    for (const char* name : {"QT_NO_GLIB", "QT_XCB_NO_MITSHM"}) {
        if (qEnvironmentVariableIsSet(name)) continue;
        qputenv(name, "1");
        set.append(name);
    }
    return set;
}

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // The command line before anything else: help, the version and a usage error need no display.
    const vireo::CommandLineOutcome command = vireo::ParseCommandLine(ArgumentsOf(argc, argv));
    switch (command.Action) {
    case vireo::CommandLineAction::ShowHelp:
    case vireo::CommandLineAction::ShowVersion:
        std::fputs(command.Text.toLocal8Bit().constData(), stdout);
        return 0;
    case vireo::CommandLineAction::UsageError:
        std::fputs(command.Text.toLocal8Bit().constData(), stderr);
        return vireo::kUsageExitStatus;
    case vireo::CommandLineAction::Run:
        break;
    }

    const QList<const char*> lightDefaults = PreferLightIdleDefaults();
    QApplication app(argc, argv);
    for (const char* name : lightDefaults) qunsetenv(name);
    QApplication::setOrganizationName(QStringLiteral("Larkspur Laboratory"));
    QApplication::setApplicationName(QStringLiteral("Vireo"));
    QApplication::setApplicationVersion(vireo::ProgramVersion());
    // Names the installed launcher: the Wayland app id, and how docks match the window to it.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vireo::DesktopAppId()));
    // Dialogs may close while the clock hides in the notification area: only shutdown ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start only asks the first to come forward; it creates and writes nothing.
    vireo::SingleInstance instance;
    switch (instance.ClaimOrNotify()) {
    case vireo::SingleInstance::Claim::Running:
        return 0;
    case vireo::SingleInstance::Claim::Unavailable:
        std::fputs("vireo: no private runtime folder for the one-clock rule; starting all the same\n", stderr);
        break;
    case vireo::SingleInstance::Claim::First:
        break;
    }

    // Qt's own dialogs and buttons in Japanese, as the rest of the program.
    if (!vireo::InstallQtJapanese(app))
        std::fputs("vireo: Qt's Japanese translation (qtbase_ja) is not installed; Qt's own dialogs stay in English\n",
                   stderr);
    // The installed theme icon for the window and the notification area, else the drawn one.
    QApplication::setWindowIcon(vireo::ApplicationIcon());

    // The Japanese user interface font, when installed.
    if (QFontDatabase::families().contains(QString::fromLatin1(vireo::kFaceFontFamily))) {
        QFont font(QString::fromLatin1(vireo::kFaceFontFamily));
        font.setPointSizeF(QApplication::font().pointSizeF());
        QApplication::setFont(font);
    }

    vireo::ClockFormParts parts;
    parts.createEphemeris = [] { return std::make_unique<vireo::EphemerisComponent>(vireo::EditObserverInDialog); };
    // FluidSynth and SDL2_mixer are loaded with the first sound.
    parts.createMidiOutput = vireo::NewSoundModuleMidiOutput;
    parts.createMusicDevice = vireo::NewSoundModuleMusicDevice;

    vireo::ClockForm form(std::move(parts));
    QObject::connect(&form, &vireo::ClockForm::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&instance, &vireo::SingleInstance::ActivationRequested, &form,
                     &vireo::ClockForm::BringLastActiveWindowForward);

    vireo::TerminationSignals terminations;
    terminations.Install();
    QObject::connect(&terminations, &vireo::TerminationSignals::TerminationRequested, &form,
                     [&form] { form.EndProgram(); });
    // The session may end the program after asking for its data: save first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.SaveSettings(); }, Qt::DirectConnection);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] { form.Form_Unload(); });

    form.Form_Load();
    form.ShowAsStarted();
    // Once started, the clock lets go of the pages only start-up needed; never while music plays.
    vireo::ResidentSetKeeper::Hooks residentHooks;
    residentHooks.busy = [&form] {
        const vireo::MusicEngine* music = form.Music();
        return music && music->IsPlaying();
    };
    vireo::ResidentSetKeeper residentSet(std::move(residentHooks), nullptr);
    residentSet.Start();
    return app.exec();
}
