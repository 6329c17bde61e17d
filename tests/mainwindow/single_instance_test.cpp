#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QSysInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/SingleInstance.h"

using namespace vireo;

namespace {
// Each case gets its own runtime folder, so no running clock is ever disturbed.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0700);
        saved_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved_); }
    QTemporaryDir dir_;
    QByteArray saved_;
};
}  // namespace

TEST_F(SingleInstanceTest, SecondStartReachesTheFirstAndAsksItToComeForward) {
    SingleInstance first;
    EXPECT_EQ(first.Folder(), dir_.path());
    ASSERT_EQ(first.ClaimOrNotify(), SingleInstance::Claim::First);
    QSignalSpy spy(&first, &SingleInstance::ActivationRequested);

    for (int start = 1; start <= 2; ++start) {
        SingleInstance later;
        EXPECT_EQ(later.ClaimOrNotify(500), SingleInstance::Claim::Running);
        EXPECT_FALSE(later.Listening());
        ASSERT_TRUE(spy.wait(2000));
        EXPECT_EQ(spy.count(), start);
    }
}

TEST_F(SingleInstanceTest, TheLockDecidesNotTheSocket) {
    // A socket file left by a clock that died, or a plain file in its place: the first start
    // still holds the one lock and listens; a second start still finds it.
    SingleInstance probe;
    {
        QFile stale(probe.ServerName());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance first;
    ASSERT_EQ(first.ClaimOrNotify(), SingleInstance::Claim::First);
    EXPECT_TRUE(first.Listening());
    SingleInstance second;
    EXPECT_EQ(second.ClaimOrNotify(500), SingleInstance::Claim::Running);

    // While the holder lives no one else listens, even one that never asked the socket.
    QFile::remove(first.ServerName());
    SingleInstance third;
    EXPECT_EQ(third.ClaimOrNotify(200), SingleInstance::Claim::Running);
    EXPECT_FALSE(third.Listening());
}

TEST_F(SingleInstanceTest, ALockWhoseHolderIsGoneIsTakenOverAtOnce) {
    {
        QFile lock(QDir(dir_.path()).filePath("Vireo.lock"));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("999999\nvireo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    SingleInstance first;
    EXPECT_EQ(first.ClaimOrNotify(), SingleInstance::Claim::First);
}

TEST_F(SingleInstanceTest, AnotherUsersFolderIsNeverUsed) {
    // Without a runtime folder the private one in the temporary folder; someone else's there
    // (here: made by the test and given away) is refused.
    QTemporaryDir tmp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());
    qunsetenv("XDG_RUNTIME_DIR");
    const QString own = QDir(tmp.path()).filePath("VireoTest-" + QString::number(::getuid()));
    {
        SingleInstance first(QStringLiteral("VireoTest"));
        EXPECT_EQ(first.Folder(), own);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    ::chmod(QFile::encodeName(own).constData(), 0777);  // a folder others can enter
    SingleInstance open(QStringLiteral("VireoTest"));
    EXPECT_TRUE(open.Folder().isEmpty());
    EXPECT_EQ(open.ClaimOrNotify(100), SingleInstance::Claim::Unavailable);
    if (::getuid() == 0) {
        ::chmod(QFile::encodeName(own).constData(), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
        SingleInstance strangers(QStringLiteral("VireoTest"));
        EXPECT_TRUE(strangers.Folder().isEmpty()) << "a folder of another user";
    }
    qputenv("TMPDIR", savedTmp);
    qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
}

TEST_F(SingleInstanceTest, AMessageIsAShortLineAndAnythingLongerIsDropped) {
    SingleInstance first;
    ASSERT_EQ(first.ClaimOrNotify(), SingleInstance::Claim::First);
    QSignalSpy spy(&first, &SingleInstance::ActivationRequested);
    QLocalSocket flood;
    flood.connectToServer(first.ServerName());
    ASSERT_TRUE(flood.waitForConnected(1000));
    const QByteArray chunk(64 * 1024, 'x');
    bool dropped = false;
    for (int i = 0; i < 200 && !dropped; ++i) {  // up to 12.5 MB without a line end
        flood.write(chunk);
        flood.waitForBytesWritten(50);
        QCoreApplication::processEvents();
        dropped = flood.state() != QLocalSocket::ConnectedState;
    }
    EXPECT_TRUE(dropped) << "the connection was kept past the longest message";
    EXPECT_EQ(spy.count(), 0);
    // And a real message still gets through afterwards.
    SingleInstance later;
    EXPECT_EQ(later.ClaimOrNotify(500), SingleInstance::Claim::Running);
    EXPECT_TRUE(spy.wait(2000));
}
