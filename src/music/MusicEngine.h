#pragma once
// The music engine: the one place that starts and stops music. One file plays at a time on
// the MusicDevice; requests are arbitrated by play mode:
//
//   0 stop (also any request with an empty file name), 1 time signal, 2 alarm, 3 the user.
//
// A request of equal or higher mode than the music playing replaces it (the old music is
// stopped and closed first, so if the new file fails to open nothing plays); a lower one is
// refused and changes nothing. ClockState::MusicPlayMode holds the mode playing (0 idle) and
// is written only here; the device is open exactly while it is not 0.
//
// The state is mirrored to listeners, all called on the caller's thread, after the state
// has changed:
//   - the readout listener (the clock's digital readout): true when music starts (playing
//     look, tooltip ReadoutToolTip(true)), false when a stop leaves nothing playing;
//   - every play/stop button listener: the state after each request that was not refused,
//     also a stop while nothing played (the buttons are then set idle again).
// Listeners may add or remove listeners from inside a call; a removed one is not called again.
// A file that does not play (refused at once, or failed while the device loaded it, found at
// the next poll) is told once to the failure listener, with the device's reason.

#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"
#include "platform/MusicDevice.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace vireo {

inline constexpr std::int32_t kPlayModeStop = 0;
inline constexpr std::int32_t kPlayModeTimeSignal = 1;
inline constexpr std::int32_t kPlayModeAlarm = 2;
inline constexpr std::int32_t kPlayModeUser = 3;

// Texts of the play/stop buttons and of the readout for a state (string resources).
std::string PlayButtonCaption(bool playing);  // "<" playing, "4" idle (in the Webdings font)
std::string PlayButtonToolTip(bool playing);  // "停止" playing, "再生" idle
std::string PlayButtonFont();                 // "Webdings"
std::string ReadoutToolTip(bool playing);     // "クリックすると音楽を停止" playing, empty idle

class MusicEngine final : public TickMusic {
public:
    using Listener = std::function<void(bool playing)>;
    using ListenerId = int;

    MusicEngine(MusicDevice& device, ClockState& state);
    ~MusicEngine() override;
    MusicEngine(const MusicEngine&) = delete;
    MusicEngine& operator=(const MusicEngine&) = delete;

    // Plays file (a full UTF-8 path) with play mode 1..3, or stops with mode 0 or an empty
    // name. Failures are absorbed: a file that will not open leaves the engine idle.
    void PlayMusic(const std::string& fileName, std::int32_t playMode) override;
    // The device's mode word: "playing", "paused", "stopped" (played to its end, until the
    // next poll closes it); empty when no music is open.
    std::string MusicStatus() override;
    bool IsPlaying() const { return state_.MusicPlayMode != kPlayModeStop; }
    // Names the music playing now (0 when none): a new number for every start, so that a
    // dialog can tell its own preview from music someone else started.
    using PlaybackId = unsigned long long;
    PlaybackId CurrentPlayback() const { return IsPlaying() ? playback_ : 0; }

    // The player window's pause button. Pause: only playing music pauses. Resume: paused
    // music continues; should the device refuse, it is told to play instead. Both return
    // false when there was nothing to act on. The play mode does not change.
    bool PauseMusic();
    bool ResumeMusic();

    using FailureListener = std::function<void(const std::string& file, const std::string& why)>;
    void SetFailureListener(FailureListener listener);
    void SetReadoutListener(Listener listener);
    ListenerId AddButtonListener(Listener listener);
    void RemoveButtonListener(ListenerId id);

private:
    void NotifyButtons(bool playing);
    void ReportFailure(const std::string& file);

    MusicDevice& device_;
    ClockState& state_;
    Listener readout_;
    FailureListener failure_;
    std::string file_;               // the file playing (or loading)
    PlaybackId failureTold_ = 0;     // the playback whose failure was told
    std::map<ListenerId, Listener> buttons_;
    ListenerId nextId_ = 1;
    PlaybackId playback_ = 0;
};

}  // namespace vireo
