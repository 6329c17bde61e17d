// Writes that are interrupted or that race another process: a real writer process, killed.

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "SettingsTestSupport.h"

#include <algorithm>
#include <thread>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

namespace vireo {
namespace {

class SettingsDurabilityTest : public test::ConfigFolderTest {
protected:
    void StartWriter(QProcess& p, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", ConfigHome());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(SETTINGS_WRITER_PATH), arguments);
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // Waits for the writer's next line that starts with prefix; its number, or -1.
    static int NextLine(QProcess& p, const char* prefix) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            while (p.canReadLine()) {
                const QByteArray line = p.readLine().trimmed();
                if (line.startsWith(prefix)) return line.mid(static_cast<qsizetype>(std::strlen(prefix))).toInt();
            }
            if (!p.waitForReadyRead(1000) && p.state() != QProcess::Running) return -1;
        }
        return -1;
    }

    struct Stored {
        int generation = 0;
        bool consistent = false;
    };
    // What a fresh instance finds: the generation and whether the payload belongs to it whole.
    Stored ReadBack(qsizetype payloadBytes) {
        SettingsStore s;
        OpenOwnSettings(s);
        Stored out;
        out.generation = ToInt32(s.GetValue("", "Generation")).value_or(0);
        const QString payload = s.GetValue("", "Payload").toString();
        if (out.generation == 0) {
            out.consistent = payload.isEmpty();
        } else {
            const QChar expected(u'a' + out.generation % 26);
            out.consistent = payload.size() == payloadBytes &&
                             payload.count(expected) == payloadBytes;
        }
        return out;
    }
};

TEST_F(SettingsDurabilityTest, AWriterKilledMidWriteLeavesThePreviousContent) {
    constexpr qsizetype kPayload = 1024 * 1024;
    // How long one release takes here, to aim the kills inside it.
    qint64 writeMs = 0;
    {
        QProcess writer;
        StartWriter(writer, {"churn", QString::number(kPayload)});
        ASSERT_EQ(NextLine(writer, "written "), 1);
        ASSERT_EQ(NextLine(writer, "writing "), 2);
        QElapsedTimer t;
        t.start();
        ASSERT_EQ(NextLine(writer, "written "), 2);
        writeMs = t.elapsed();
        writer.kill();
        writer.waitForFinished();
    }
    const Stored first = ReadBack(kPayload);
    ASSERT_TRUE(first.consistent);
    ASSERT_GE(first.generation, 2);

    int interrupted = 0;
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        QProcess writer;
        StartWriter(writer, {"churn", QString::number(kPayload)});
        ASSERT_EQ(NextLine(writer, "written "), 1);
        const int generation = NextLine(writer, "writing ");
        ASSERT_EQ(generation, 2);
        QThread::msleep(static_cast<unsigned long>(writeMs * (round + 1) / (kRounds + 1)));
        writer.kill();  // SIGKILL: no handler, no destructor, no flush
        writer.waitForFinished();
        // The writer may have gone on to later generations before the kill (writes speed up
        // once the disk cache is warm): the last one it began is what the kill may have cut.
        int lastBegun = generation;
        for (const QByteArray& line : writer.readAll().split('\n'))
            if (line.startsWith("writing ")) lastBegun = std::max(lastBegun, line.mid(8).trimmed().toInt());

        const Stored after = ReadBack(kPayload);
        EXPECT_TRUE(after.consistent) << "generation " << after.generation << " is torn";
        EXPECT_TRUE(after.generation >= lastBegun - 1 && after.generation <= lastBegun)
            << after.generation << " after beginning " << lastBegun;
        interrupted += after.generation == lastBegun - 1;
    }
    EXPECT_GT(interrupted, 0) << "no kill landed inside a write (one write took " << writeMs << " ms)";

    // The lock of a killed writer is stale and does not block the next one.
    SettingsStore s;
    OpenOwnSettings(s);
    s.SetValue("", "Generation", 0);
    s.SetValue("", "Payload", QString());
    EXPECT_NO_THROW(s.Sync());
    std::printf("[ info ] one 1 MiB write took %lld ms; %d of %d kills interrupted a write\n",
                static_cast<long long>(writeMs), interrupted, kRounds);
}

// A kill between creating the lock and writing its process number into it leaves an empty lock.
TEST_F(SettingsDurabilityTest, AnEmptyLockLeftByAKilledWriterDoesNotHoldUpTheNextWrite) {
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kClockMode, 1);
    }
    const QString lock = SettingsFile() + QStringLiteral(".lock");
    const auto placeLock = [&](const QByteArray& content, int ageSeconds) {
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(content), content.size());
        ASSERT_TRUE(f.flush());  // or closing would write now and renew the time
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                  QFileDevice::FileModificationTime));
    };

    // A fresh lock that its writer fills meanwhile is that writer's.
    placeLock({}, 0);
    std::thread filler([&] {
        QThread::msleep(150);
        QFile f(lock);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append)) f.write("1\nvireo\n\n");
    });
    EXPECT_FALSE(RemoveAbandonedLock(SettingsFile())) << "a writer was filling a fresh lock";
    filler.join();
    EXPECT_TRUE(QFile::exists(lock));
    // One that stays empty is abandoned, however fresh it was when the write began: a writer
    // started right after the kill waits for it at most the abandoned age.
    placeLock({}, 0);
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(RemoveAbandonedLock(SettingsFile()));
    EXPECT_FALSE(QFile::exists(lock));
    EXPECT_LT(waited.elapsed(), 15000);
    placeLock("1\nvireo\n\n", 5);
    EXPECT_FALSE(RemoveAbandonedLock(SettingsFile())) << "locks naming a process are Qt's to judge";
    EXPECT_TRUE(QFile::exists(lock));
    placeLock("12", 5);  // cut inside the number: Qt still checks whether process 12 runs
    EXPECT_FALSE(RemoveAbandonedLock(SettingsFile()));
    placeLock("\n", 5);
    EXPECT_TRUE(RemoveAbandonedLock(SettingsFile()));
    EXPECT_FALSE(QFile::exists(lock));

    // Through the store: Qt alone would wait until the lock is 30 s old.
    placeLock({}, 5);
    QElapsedTimer t;
    t.start();
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kClockMode, 2);
        EXPECT_NO_THROW(s.Sync());
    }
    EXPECT_LT(t.elapsed(), 15000) << "the write waited for the empty lock to age";
    EXPECT_FALSE(QFile::exists(lock));
    SettingsStore fresh;
    OpenOwnSettings(fresh);
    EXPECT_EQ(Read(fresh, kClockMode), 2);
}

TEST_F(SettingsDurabilityTest, AnotherProcessWritingBesideAnOpenInstanceKeepsBothKeys) {
    SettingsStore open;
    OpenOwnSettings(open);
    Write(open, kClockMode, 1);
    open.Sync();
    Write(open, kMinimized, true);  // pending while the other process writes

    QProcess writer;
    StartWriter(writer, {"set", "DigitalMode", "0"});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0);

    Write(open, kCircleForm, true);
    open.Sync();
    EXPECT_EQ(Read(open, kDigitalMode), 0) << "a sync merges what the other process wrote";

    SettingsStore fresh;
    OpenOwnSettings(fresh);
    EXPECT_EQ(Read(fresh, kClockMode), 1);
    EXPECT_EQ(Read(fresh, kDigitalMode), 0);
    EXPECT_TRUE(Read(fresh, kMinimized));
    EXPECT_TRUE(Read(fresh, kCircleForm));
}

}  // namespace
}  // namespace vireo
