// Letting go of resident pages must lose nothing: a clean page of a file comes back as it
// was, and a page the process changed (a private copy) is never let go at all.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ResidentSet.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vireo {
namespace {

#if defined(__linux__)

constexpr std::size_t kPages = 64;

// Resident kilobytes of the mapping that starts at `at`, from the kernel's own account.
long MappingRssKb(const void* at) {
    std::FILE* smaps = std::fopen("/proc/self/smaps", "re");
    if (!smaps) return -1;
    char line[4096];
    bool inside = false;
    long rss = -1;
    while (std::fgets(line, sizeof line, smaps)) {
        unsigned long begin = 0, end = 0;
        if (std::sscanf(line, "%lx-%lx ", &begin, &end) == 2) {
            inside = begin == reinterpret_cast<unsigned long>(at);
            continue;
        }
        if (inside && std::strncmp(line, "Rss:", 4) == 0) {
            rss = std::strtol(line + 4, nullptr, 10);
            break;
        }
    }
    std::fclose(smaps);
    return rss;
}

class ResidentSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        size_ = kPages * page_;
        const std::string path = dir_.filePath(QStringLiteral("pages.bin")).toStdString();
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd_, 0);
        contents_.resize(size_);
        for (std::size_t i = 0; i < size_; ++i) contents_[i] = static_cast<char>(i * 131 + i / page_);
        ASSERT_EQ(write(fd_, contents_.data(), size_), static_cast<ssize_t>(size_));
    }
    void TearDown() override {
        if (fd_ >= 0) close(fd_);
    }
    char* Map(int protection) {
        void* at = mmap(nullptr, size_, protection, MAP_PRIVATE, fd_, 0);
        return at == MAP_FAILED ? nullptr : static_cast<char*>(at);
    }
    static void Touch(const char* at, std::size_t size, std::size_t step) {
        const volatile char* pages = at;
        for (std::size_t i = 0; i < size; i += step) (void)pages[i];
    }

    QTemporaryDir dir_;
    std::size_t page_ = 4096, size_ = 0;
    int fd_ = -1;
    std::vector<char> contents_;
};

TEST_F(ResidentSetTest, CleanFilePagesGoAndComeBackUnchanged) {
    char* at = Map(PROT_READ);
    ASSERT_NE(at, nullptr);
    Touch(at, size_, page_);
    ASSERT_EQ(MappingRssKb(at), static_cast<long>(size_ / 1024));

    EXPECT_GE(TrimResidentSet(), size_);
    EXPECT_EQ(MappingRssKb(at), 0);
    EXPECT_EQ(std::memcmp(at, contents_.data(), size_), 0);
    munmap(at, size_);
}

TEST_F(ResidentSetTest, PagesTheProcessChangedAreKept) {
    // As the loader leaves relocated data: written through a private mapping, then made
    // read-only. Letting those pages go would bring back the file's unrelocated bytes.
    char* at = Map(PROT_READ | PROT_WRITE);
    ASSERT_NE(at, nullptr);
    Touch(at, size_, page_);
    for (std::size_t p = 0; p < kPages; p += 2) at[p * page_] = static_cast<char>(~contents_[p * page_]);
    ASSERT_EQ(mprotect(at, size_, PROT_READ), 0);
    // A second, never written, read-only mapping of the same file beside it.
    char* clean = Map(PROT_READ);
    ASSERT_NE(clean, nullptr);
    Touch(clean, size_, page_);

    TrimResidentSet();
    for (std::size_t p = 0; p < kPages; ++p) {
        const char expected = p % 2 == 0 ? static_cast<char>(~contents_[p * page_]) : contents_[p * page_];
        ASSERT_EQ(at[p * page_], expected) << "page " << p;
    }
    EXPECT_EQ(std::memcmp(at + page_, contents_.data() + page_, page_), 0);
    EXPECT_EQ(MappingRssKb(clean), 0);
    EXPECT_EQ(std::memcmp(clean, contents_.data(), size_), 0);
    munmap(at, size_);
    munmap(clean, size_);
}

TEST(ResidentBytesTest, FollowsWhatTheProcessTouches) {
    const std::size_t before = ResidentBytes();
    ASSERT_GT(before, 0u);
    const std::size_t size = 8u << 20;
    void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(at, MAP_FAILED);
    std::memset(at, 1, size);
    EXPECT_GE(ResidentBytes(), before + size - (1u << 20));
    munmap(at, size);
}

#endif

// The keeper, on a memory whose size the test sets.
struct FakeMemory {
    std::size_t resident = 20u << 20;
    int trims = 0;
    ResidentSetKeeper::Hooks Hooks() {
        ResidentSetKeeper::Hooks hooks;
        hooks.resident = [this] { return resident; };
        hooks.trim = [this] { ++trims; };
        return hooks;
    }
};

TEST(ResidentSetKeeperTest, TrimsOnceSettledThenOnlyWhenGrownPastWhereItSettled) {
    FakeMemory memory;
    ResidentSetKeeper keeper(memory.Hooks(), nullptr);
    keeper.Start();
    EXPECT_EQ(memory.trims, 0);  // not while starting
    QElapsedTimer waited;
    waited.start();
    while (memory.trims == 0 && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ASSERT_EQ(memory.trims, 1);
    EXPECT_GE(waited.elapsed(), ResidentSetKeeper::kSettleMs * 9 / 10);  // a coarse timer, up to 5% early

    memory.resident = 14u << 20;
    EXPECT_FALSE(keeper.Check());  // records where it settled after the trim
    memory.resident = (14u << 20) + ResidentSetKeeper::kGrowthBytes;
    EXPECT_FALSE(keeper.Check());
    memory.resident += 1;
    EXPECT_TRUE(keeper.Check());
    EXPECT_EQ(memory.trims, 2);
    // Measured afresh after that trim: the same size is now where it settled.
    EXPECT_FALSE(keeper.Check());
    EXPECT_FALSE(keeper.Check());
    EXPECT_EQ(memory.trims, 2);
}

TEST(ResidentSetKeeperTest, PutsATrimOffWhileBusy) {
    FakeMemory memory;
    bool busy = true;
    ResidentSetKeeper::Hooks hooks = memory.Hooks();
    hooks.busy = [&busy] { return busy; };
    ResidentSetKeeper keeper(std::move(hooks), nullptr);
    keeper.Start();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ResidentSetKeeper::kSettleMs + 300) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(memory.trims, 0);  // settled while busy: put off
    memory.resident += 10 * ResidentSetKeeper::kGrowthBytes;
    EXPECT_FALSE(keeper.Check());
    EXPECT_EQ(memory.trims, 0);
    busy = false;
    EXPECT_TRUE(keeper.Check());  // the trim put off, at the first idle check
    EXPECT_EQ(memory.trims, 1);
    EXPECT_FALSE(keeper.Check());  // then as usual: records where it settled
}

TEST(ResidentSetKeeperTest, UnknownSizeNeverTrims) {
    FakeMemory memory;
    memory.resident = 0;
    ResidentSetKeeper keeper(memory.Hooks(), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(keeper.Check());
    EXPECT_EQ(memory.trims, 0);
}

}  // namespace
}  // namespace vireo
