// The real program under an X server: its caption, one instance per user, and settings saved
// when the process is told to end.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

QString programPath() {
    return QDir(qEnvironmentVariable("VIREO_BIN_DIR")).filePath(QStringLiteral("vireo"));
}

QString run(const QString& program, const QStringList& args, int timeoutMs = 5000) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Every file under a folder with its size, time and content hash.
QStringList snapshot(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString line = path + QLatin1Char(' ') + QString::number(info.size()) + QLatin1Char(' ') +
                       QString::number(info.lastModified().toMSecsSinceEpoch());
        QFile f(path);
        if (info.isFile() && f.open(QIODevice::ReadOnly))
            line += QLatin1Char(' ') + QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
        out << line;
    }
    out.sort();
    return out;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X server";
        ASSERT_TRUE(QFileInfo(programPath()).isExecutable()) << programPath().toStdString();
        config_ = home_.filePath(QStringLiteral("config"));
        runtime_ = home_.filePath(QStringLiteral("run"));
        QDir().mkpath(config_);
        QDir().mkpath(runtime_);
        QFile::setPermissions(runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        settingsFile_ = config_ + QStringLiteral("/Larkspur Laboratory/Vireo.conf");
    }

    void Start(QProcess& p) {
        p.setProcessEnvironment(env_);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(programPath(), {});
        ASSERT_TRUE(p.waitForStarted(5000));
    }

    // The id of the clock's top-level window, found by the end of its caption.
    QString WaitForWindow(int timeoutMs = 8000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            const QString ids = run(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), QStringLiteral(" - Vireo$")});
            if (!ids.isEmpty()) return ids.split(QLatin1Char('\n')).first();
            QThread::msleep(50);
        }
        return {};
    }

    void Seed(const QString& key, const QVariant& value) {
        QSettings s(settingsFile_, QSettings::IniFormat);
        s.setValue(key, value);
    }

    QTemporaryDir home_;
    QString config_, runtime_, settingsFile_;
    QProcessEnvironment env_;
};

}  // namespace

TEST_F(ProgramTest, ShowsItsCaptionAllowsOneInstanceAndSavesOnTermination) {
    Seed(QStringLiteral("ClockMode"), 7);
    QProcess first;
    Start(first);
    const QString id = WaitForWindow();
    ASSERT_FALSE(id.isEmpty()) << "no clock window appeared";
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}), QStringLiteral("延喜式 - Vireo"));
    const QString wmName = run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_NAME")});
    EXPECT_TRUE(wmName.contains(QStringLiteral("\"延喜式 - Vireo\""))) << wmName.toStdString();
    // Nothing of the sound libraries until a sound is wanted.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(first.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    for (const char* library : {"libfluidsynth", "libSDL2", "vireo-sound"})
        EXPECT_FALSE(mapped.contains(library)) << library << " is loaded at start";

    // A second start finds the first, asks it forward and ends at once, touching nothing.
    const QStringList configBefore = snapshot(config_);
    const QStringList runtimeBefore = snapshot(runtime_);
    QProcess second;
    QElapsedTimer t;
    t.start();
    Start(second);
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(snapshot(config_), configBefore);
    EXPECT_EQ(snapshot(runtime_), runtimeBefore);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral(" - Vireo$")})
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                  .size(),
              1);

    // SIGTERM ends it through its shutdown: every key it owns is in the file.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    QSettings saved(settingsFile_, QSettings::IniFormat);
    EXPECT_EQ(saved.value("ClockMode").toInt(), 7);
    EXPECT_EQ(saved.value("Interval").toInt(), 100);
    EXPECT_EQ(saved.value("WindowState").toInt(), 0);
    EXPECT_TRUE(saved.contains("Left"));
    EXPECT_TRUE(saved.contains("Alarm/Setting9"));
    EXPECT_DOUBLE_EQ(saved.value("ObsLongitude").toDouble(), 139.7447);
}

TEST_F(ProgramTest, InterruptFromTheTerminalSavesToo) {
    QProcess clock;
    Start(clock);
    ASSERT_FALSE(WaitForWindow().isEmpty());
    EXPECT_FALSE(QFile::exists(settingsFile_));  // nothing is written while it runs
    ::kill(static_cast<pid_t>(clock.processId()), SIGINT);
    ASSERT_TRUE(clock.waitForFinished(5000));
    EXPECT_EQ(clock.exitStatus(), QProcess::NormalExit);
    QSettings saved(settingsFile_, QSettings::IniFormat);
    EXPECT_EQ(saved.value("ClockMode").toInt(), 0);
    EXPECT_EQ(saved.value("DigitalMode").toInt(), 1);
    EXPECT_EQ(saved.value("Width").toInt(), 3000);  // no window manager here: no frame
}
