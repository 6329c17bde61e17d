// The clock program: one instance per user, the clock window, and an orderly shutdown on exit,
// logout, SIGTERM or SIGINT.

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QList>
#include <QSessionManager>

#include <memory>

#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockForm.h"
#include "platform/FluidSynthMidiOutput.h"
#include "platform/SdlMusicDevice.h"
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

}  // namespace

int main(int argc, char** argv) {
    const QList<const char*> lightDefaults = PreferLightIdleDefaults();
    QApplication app(argc, argv);
    for (const char* name : lightDefaults) qunsetenv(name);
    QApplication::setOrganizationName(QStringLiteral("Larkspur Laboratory"));
    QApplication::setApplicationName(QStringLiteral("Vireo"));
    // Dialogs may close while the clock hides in the notification area: only shutdown ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start only asks the first to come forward; it creates and writes nothing.
    vireo::SingleInstance instance;
    if (instance.NotifyRunningInstance()) return 0;
    instance.Listen();

    // The Japanese user interface font, when installed.
    if (QFontDatabase::families().contains(QString::fromLatin1(vireo::kFaceFontFamily))) {
        QFont font(QString::fromLatin1(vireo::kFaceFontFamily));
        font.setPointSizeF(QApplication::font().pointSizeF());
        QApplication::setFont(font);
    }

    vireo::ClockFormParts parts;
    parts.createEphemeris = [] { return std::make_unique<vireo::EphemerisComponent>(vireo::EditObserverInDialog); };
    parts.createMidiOutput = [] { return std::make_unique<vireo::FluidSynthMidiOutput>(); };
    parts.createMusicDevice = [] { return std::make_unique<vireo::SdlMusicDevice>(); };

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
    form.show();
    return app.exec();
}
