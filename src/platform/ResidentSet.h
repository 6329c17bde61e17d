#pragma once
// The clock's resident memory, kept to what it uses. Where the page tables are shadowed (on
// many virtual machines), every wake-up costs in proportion to the pages a process has
// mapped: a clock that wakes each second would pay, each second, for the start-up code of
// its libraries that it never runs again (about two thirds of its cost when idle).

#include <QObject>

#include <cstddef>
#include <functional>

class QTimer;

namespace vireo {

// Lets go of the pages of this process that can be read back unchanged: those of read-only
// file mappings that hold no private copy (program and library code, read-only data,
// fonts), and the free parts of the heap. A page used again comes back from the page cache
// on its next use; nothing is lost. Does nothing where the system offers no such thing.
// Returns the bytes of file pages let go (they stay in the page cache).
std::size_t TrimResidentSet();

// Resident memory in bytes; 0 where unknown.
std::size_t ResidentBytes();

// Trims once the program has settled after start, and again when the resident memory has
// grown well past where it settled (after dialogs, menus, a song), checked every few minutes.
// Never while the program is busy (sound playing): the pages taken back at once could make
// it stutter. A trim put off is made at the next check that finds it idle.
class ResidentSetKeeper : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<std::size_t()> resident = ResidentBytes;
        std::function<void()> trim = [] { TrimResidentSet(); };
        std::function<bool()> busy = [] { return false; };
    };
    static constexpr int kSettleMs = 1000;
    static constexpr int kCheckMs = 10 * 60 * 1000;
    // Growth past the settled size that is worth a trim.
    static constexpr std::size_t kGrowthBytes = 3u << 20;

    explicit ResidentSetKeeper(Hooks hooks, QObject* parent = nullptr);

    void Start();
    // One periodic check: the first after a trim records where the memory settled, a later
    // one trims if it has grown past that (or a trim was put off). Returns whether it trimmed.
    bool Check();

private:
    void Settle();
    void Trim();

    Hooks hooks_;
    QTimer* settle_ = nullptr;
    QTimer* check_ = nullptr;
    std::size_t settled_ = 0;  // 0 until measured after the last trim
    bool pending_ = false;  // a trim put off while busy
};

}  // namespace vireo
