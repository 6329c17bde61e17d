#pragma once
// The hourly time signal and the alarm scheduler, stepped once a second by the clock tick
// (TickSignal): AlarmControl first, then TimeSignal. Both drive the MIDI chime engine, each
// through a chime of its own on its own channel of the one shared output, and the music
// engine; they keep the clock state's SignalStepLimit, AlarmIndex and AlarmChimeStep.
//
// Each due moment sounds exactly once. Both remember the last moment they looked at (the
// scale's second and the real instant); at every call each alarm time and each top of an
// hour that the scale passed since then is due:
//   - late if need be, up to kGracePeriodSeconds of real time (a suspended machine, a busy
//     one, a clock set forward); beyond that it is let go. A moment skipped by the clock
//     itself (the hour missing in spring) sounds at the first second after it;
//   - never twice: a time that sounded within the last kRepeatGuardSeconds of real time does
//     not sound again when the scale passes it once more (the hour repeated in autumn, a
//     clock set back);
//   - after a change of scale or observer the scale's seconds jump: that jump is not time
//     passing, and nothing it passes over is due.
// Alarms due together sound one after another, each for its own length, in the order they
// fell due (by index within the same second). A once-alarm switches itself off only when it
// has sounded. The four pips mark the exact second and never sound late; the chime, the
// strike count and the music signal may.
//
// A sounding alarm: a chime alarm steps once a call and ends by itself after its twentieth
// step; a music alarm lasts while any music plays (also the user's music that refused it, or
// a preview that replaced it) and ends at the first call that finds none playing. A music
// alarm without a file has nothing to play: it neither plays nor stops anything.
//
// The alarm chime holds the device only from ten scaled seconds before a chime alarm until it
// has rung; the time signal's from ten scaled seconds before the hour until its close step.

#include "music/MusicEngine.h"
#include "timekeeping/AlarmValue.h"
#include "signal/MidiChime.h"
#include "timekeeping/Clock.h"
#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace vireo {

// The signal's period in scaled seconds: 7200 on the two traditional scales (6, 7), else 3600.
std::int32_t SignalPeriod(std::int32_t clockMode);
// Strikes of the strike-count signal at the top of hour index hourIndex (scaled seconds /
// period): the 12-hour count on the ordinary scales, 9 - (i mod 6) bells on the traditional.
int StrikeCount(std::int32_t clockMode, int hourIndex);

inline constexpr double kGracePeriodSeconds = 600.0;
inline constexpr double kRepeatGuardSeconds = 20.0 * 3600.0;

class SignalControl final : public TickSignal {
public:
    // The present moment, with its instant when known (the clock the tick reads).
    using NowFunction = std::function<LocalDateTime()>;

    SignalControl(ClockState& state, AlarmTables& tables, MidiChime& signalChime, MidiChime& alarmChime,
                  MusicEngine& music, NowFunction now);

    // seconds: the time of day on the scale on show, whole seconds 0..86399.
    void AlarmControl(std::int32_t seconds) override;
    // scaleTime: fiftieths of a second since the scale's midnight, 0..4'319'999.
    void TimeSignal(std::int32_t scaleTime) override;

    // Esc on the clock window, and a click on the readout while music plays: stops any music,
    // ends a sounding alarm (a chime alarm also lets go of its device; a once alarm cut short
    // this way stays on). Alarms waiting behind it still sound.
    void StopAlarmAndMusic();
    // Silences and closes both chimes: on a change of clock mode or of the observer, and at
    // shutdown. A time signal under way ends there.
    void MidiClose();
    // Only the time signal's chime: when its kind changes.
    void CloseTimeSignal();
    // The scale's seconds are about to jump (another scale, another observer): what they jump
    // over is not due.
    void ScaleChanged();

    // What is waiting to sound, in order (for the clock's tests and the help's promise).
    std::deque<int> PendingAlarms() const;

private:
    struct Look {
        std::int32_t seconds = 0;  // scale seconds of day
        LocalDateTime at;          // the real moment
    };
    struct Sounded {
        std::int32_t seconds = -1;  // the alarm time that sounded
        double at = 0.0;            // when, as a reference instant
    };
    struct Due {
        int index = 0;
        double dueAt = 0.0;  // reference instant of the due moment
    };

    // Scale seconds the scale advanced since look, and the real seconds it took; nothing when
    // the scale did not move forward (set back, jumped over by a change of scale).
    struct Passage {
        std::int32_t scaleSeconds = 0;  // the interval (now - scaleSeconds, now] is new
        double realSeconds = 0.0;
    };
    std::optional<Passage> PassedSince(const std::optional<Look>& look, std::int32_t seconds,
                                       const LocalDateTime& now) const;
    static double ReferenceInstant(const LocalDateTime& t);

    void StepSoundingAlarm();
    void CollectDueAlarms(std::int32_t seconds, const LocalDateTime& now);
    void SoundNextAlarm(const LocalDateTime& now);
    bool FireAlarm(int index);
    void SwitchOffIfOnce(int index);
    // It fell due at this time within the last kRepeatGuardSeconds.
    bool SoundedLately(int index, std::int32_t time, const LocalDateTime& now) const;
    void KeepAlarmChimeOnlyWhileNeeded(std::int32_t seconds);
    void EndMusicAlarmIfSilent();

    void StartSignal(int hourIndex);
    void StepSignal();
    void EndSignal();

    ClockState& state_;
    AlarmTables& tables_;
    MidiChime& signalChime_;
    MidiChime& alarmChime_;
    MusicEngine& music_;
    NowFunction now_;

    std::optional<Look> alarmLook_;
    std::array<Sounded, kAlarmCount> sounded_{};
    std::deque<Due> pending_;

    std::optional<Look> signalLook_;
    bool signalRunning_ = false;
    int signalStep_ = 0;
    std::int32_t lastSignalTop_ = -1;  // the top of the hour (scale seconds) that sounded last
    double lastSignalAt_ = 0.0;
    std::int32_t lastPipSecond_ = -1;
    std::int32_t openTriedFor_ = -1;  // the top of the hour whose run-up tried to open
    std::int32_t lastKind_ = -1;
};

}  // namespace vireo
