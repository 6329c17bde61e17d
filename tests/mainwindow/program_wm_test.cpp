// The real program under openbox: exactly one clock however many start at once, a second
// start that brings the clock itself forward (also out of the notification area), and a start
// that a settings file it cannot read never holds up.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <sys/stat.h>

#include <memory>
#include <vector>

namespace {

QString ProgramPath() { return QDir(qEnvironmentVariable("VIREO_BIN_DIR")).filePath(QStringLiteral("vireo")); }

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The clock windows shown now (their X ids).
QStringList ShownClocks() {
    const QString ids = RunTool("xdotool", {"search", "--onlyvisible", "--name", " - Vireo$"});
    return ids.isEmpty() ? QStringList() : ids.split(QLatin1Char('\n'));
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (condition()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return condition();
}

class ProgramWmTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        config_ = home_.filePath(QStringLiteral("config"));
        runtime_ = home_.filePath(QStringLiteral("run"));
        QDir().mkpath(config_ + QStringLiteral("/Larkspur Laboratory"));
        QDir().mkpath(runtime_);
        ::chmod(QFile::encodeName(runtime_).constData(), 0700);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        settingsFile_ = config_ + QStringLiteral("/Larkspur Laboratory/Vireo.conf");
    }
    void TearDown() override {
        for (auto& p : processes_) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
        }
    }
    QProcess& Start() {
        processes_.push_back(std::make_unique<QProcess>());
        QProcess& p = *processes_.back();
        p.setProcessEnvironment(env_);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(ProgramPath(), {});
        EXPECT_TRUE(p.waitForStarted(5000));
        return p;
    }
    int Running() const {
        int n = 0;
        for (const auto& p : processes_) n += p->state() != QProcess::NotRunning;
        return n;
    }
    void Seed(const QString& key, const QVariant& value) {
        QSettings s(settingsFile_, QSettings::IniFormat);
        s.setValue(key, value);
    }

    QTemporaryDir home_;
    QString config_, runtime_, settingsFile_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

}  // namespace

TEST_F(ProgramWmTest, StartsAtTheSameMomentLeaveExactlyOneClock) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 4; ++i) Start();
        // The later ones end by themselves once they have asked the first to come forward.
        EXPECT_TRUE(WaitFor([&] { return Running() == 1; }, 15000)) << Running() << " running";
        EXPECT_TRUE(WaitFor([] { return ShownClocks().size() == 1; }, 8000)) << ShownClocks().size() << " shown";
        for (auto& p : processes_) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            EXPECT_TRUE(p->waitForFinished(5000));
        }
        processes_.clear();
    }
}

TEST_F(ProgramWmTest, ASecondStartBringsTheClockOutOfTheNotificationArea) {
    QProcess trayer;
    trayer.start("trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                            "--height", "32", "--SetDockType", "false"});
    ASSERT_TRUE(trayer.waitForStarted(3000));
    QThread::msleep(500);
    Seed("TaskTray", true);
    Seed("Minimized", true);
    Start();
    // Started minimised with the icon: only the icon shows.
    QThread::msleep(2500);
    ASSERT_TRUE(ShownClocks().isEmpty());
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        QProcess& second = Start();
        EXPECT_TRUE(second.waitForFinished(8000));
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_TRUE(WaitFor([] { return ShownClocks().size() == 1; }, 15000)) << "the clock came forward";
        // And stays: marks left from its minimise must not send it back to the icon.
        QThread::msleep(1500);
        EXPECT_EQ(ShownClocks().size(), 1) << "the clock stayed";
        // Back into the notification area for the next try.
        const QString id = ShownClocks().value(0);
        if (id.isEmpty()) break;
        RunTool("xdotool", {"windowminimize", "--sync", id});
        EXPECT_TRUE(WaitFor([] { return ShownClocks().isEmpty(); }, 5000));
    }
    trayer.terminate();
    trayer.waitForFinished(3000);
}

TEST_F(ProgramWmTest, ASettingsFileThatIsNoFileDoesNotHoldUpTheStart) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(settingsFile_).constData(), 0600), 0);
    QProcess& clock = Start();
    EXPECT_TRUE(WaitFor([] { return ShownClocks().size() == 1; }, 5000)) << "no clock within 5 s";
    clock.terminate();
    EXPECT_TRUE(clock.waitForFinished(5000)) << "it ends when told";
    // The odd file is kept aside, as a damaged one is, and a proper file takes its place.
    const QFileInfo now(settingsFile_);
    EXPECT_TRUE(now.isFile());
    const QStringList kept = QDir(now.absolutePath()).entryList({QStringLiteral("Vireo.conf.*")}, QDir::System | QDir::Files);
    EXPECT_FALSE(kept.isEmpty());
}
