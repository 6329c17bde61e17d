#include "platform/ResidentSet.h"

#include <QTimer>

#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vireo {

#if defined(__linux__)

namespace {

struct Range {
    unsigned long begin = 0, end = 0;
};

// The mappings whose every resident page is an unchanged page of its file: backed by a
// regular file, never writable, and holding no page copied on write (relocated data that
// was made read-only afterwards keeps its copies, and is left alone).
std::vector<Range> CleanFileMappings(std::size_t* residentBytes) {
    std::vector<Range> ranges;
    std::FILE* smaps = std::fopen("/proc/self/smaps", "re");
    if (!smaps) return ranges;
    char line[4096];
    Range current;
    bool candidate = false;
    long rssKb = 0, anonymousKb = -1;
    auto finish = [&] {
        if (candidate && rssKb > 0 && anonymousKb == 0) {
            ranges.push_back(current);
            *residentBytes += static_cast<std::size_t>(rssKb) * 1024;
        }
        candidate = false;
        rssKb = 0;
        anonymousKb = -1;
    };
    while (std::fgets(line, sizeof line, smaps)) {
        unsigned long begin = 0, end = 0;
        char perms[8] = {};
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %7s %*s %*s %*s %n", &begin, &end, perms, &pathAt) >= 3) {
            finish();
            current = {begin, end};
            const char* path = pathAt > 0 ? line + pathAt : "";
            candidate = path[0] == '/' && std::strncmp(path, "/dev/", 5) != 0 &&
                        std::strncmp(path, "/memfd:", 7) != 0 && perms[1] != 'w';
            continue;
        }
        if (std::strncmp(line, "Rss:", 4) == 0) rssKb = std::strtol(line + 4, nullptr, 10);
        else if (std::strncmp(line, "Anonymous:", 10) == 0) anonymousKb = std::strtol(line + 10, nullptr, 10);
    }
    finish();
    std::fclose(smaps);
    return ranges;
}

}  // namespace

std::size_t TrimResidentSet() {
    std::size_t bytes = 0;
    // Read the whole list first: the mappings do not change under the reader.
    for (const Range& r : CleanFileMappings(&bytes)) {
        madvise(reinterpret_cast<void*>(r.begin), r.end - r.begin, MADV_DONTNEED);
    }
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    return bytes;
}

std::size_t ResidentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm) return 0;
    unsigned long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

#else

std::size_t TrimResidentSet() { return 0; }
std::size_t ResidentBytes() { return 0; }

#endif

ResidentSetKeeper::ResidentSetKeeper(Hooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)) {
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &ResidentSetKeeper::Settle);
    check_ = new QTimer(this);
    check_->setTimerType(Qt::VeryCoarseTimer);
    check_->setInterval(kCheckMs);
    connect(check_, &QTimer::timeout, this, &ResidentSetKeeper::Check);
}

void ResidentSetKeeper::Start() {
    settle_->start();
    check_->start();
}

void ResidentSetKeeper::Settle() {
    if (hooks_.busy()) pending_ = true;
    else Trim();
}

bool ResidentSetKeeper::Check() {
    if (hooks_.busy()) return false;
    if (pending_) {
        Trim();
        return true;
    }
    const std::size_t now = hooks_.resident();
    if (now == 0) return false;
    if (settled_ == 0) {
        settled_ = now;
        return false;
    }
    if (now <= settled_ + kGrowthBytes) return false;
    Trim();
    return true;
}

void ResidentSetKeeper::Trim() {
    hooks_.trim();
    settled_ = 0;
    pending_ = false;
}

}  // namespace vireo
