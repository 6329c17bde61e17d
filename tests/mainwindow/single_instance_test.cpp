#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/SingleInstance.h"

using namespace vireo;

namespace {
// Each case gets its own runtime folder, so no running clock is ever disturbed.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
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
    EXPECT_TRUE(first.ServerName().startsWith(dir_.path()));
    ASSERT_TRUE(first.Listen());
    QSignalSpy spy(&first, &SingleInstance::ActivationRequested);

    SingleInstance second;
    EXPECT_TRUE(second.NotifyRunningInstance());
    ASSERT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.count(), 1);

    SingleInstance third;
    EXPECT_TRUE(third.NotifyRunningInstance());
    ASSERT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(SingleInstanceTest, NobodyListeningMeansThisIsTheFirstInstance) {
    SingleInstance lone;
    EXPECT_FALSE(lone.NotifyRunningInstance(200));
    EXPECT_FALSE(QFile::exists(lone.ServerName()));  // asking creates nothing
}

TEST_F(SingleInstanceTest, AStaleSocketOfACrashedInstanceIsTakenOver) {
    SingleInstance probe;
    {
        QFile stale(probe.ServerName());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance first;
    ASSERT_TRUE(first.Listen());
    SingleInstance second;
    EXPECT_TRUE(second.NotifyRunningInstance());
}

TEST_F(SingleInstanceTest, DifferentKeysDoNotMeet) {
    SingleInstance a(QStringLiteral("VireoA"));
    ASSERT_TRUE(a.Listen());
    SingleInstance b(QStringLiteral("VireoB"));
    EXPECT_FALSE(b.NotifyRunningInstance(200));
}
