#include "signal/SignalControl.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vireo {

namespace {

constexpr std::int32_t kSecondsPerDay = 86400;
constexpr std::int32_t kEarlyOpenSeconds = 10;
constexpr std::int16_t kChimeSteps = 18;     // the chime's last step
constexpr std::int16_t kAlarmLastStep = 20;  // a chime alarm ends at this step
// The pips mark the second itself: a top of the hour seen later than this is let go.
constexpr std::int32_t kPipsLatestStep = 2;

std::int32_t Wrap(std::int32_t seconds) {
    const std::int32_t r = seconds % kSecondsPerDay;
    return r < 0 ? r + kSecondsPerDay : r;
}

int PreviousWeekday(int weekday) { return (weekday + 5) % 7 + 1; }

}  // namespace

std::int32_t SignalPeriod(std::int32_t clockMode) { return (clockMode == 6 || clockMode == 7) ? 7200 : 3600; }

int StrikeCount(std::int32_t clockMode, int hourIndex) {
    if (SignalPeriod(clockMode) == 7200) return 9 - hourIndex % 6;
    return (hourIndex + 11) % 12 + 1;
}

SignalControl::SignalControl(ClockState& state, AlarmTables& tables, MidiChime& signalChime,
                             MidiChime& alarmChime, MusicEngine& music, NowFunction now)
    : state_(state), tables_(tables), signalChime_(signalChime), alarmChime_(alarmChime), music_(music),
      now_(std::move(now)) {
    if (!now_) {
        static const SystemClock system;
        now_ = [] { return system.Now(); };
    }
}

// ---- Time passing -------------------------------------------------------------------------

double SignalControl::ReferenceInstant(const LocalDateTime& t) {
    if (std::isfinite(t.Utc)) return t.Utc;
    return static_cast<double>(t.Day) * kSecondsPerDay + t.SecondsOfDay;
}

std::optional<SignalControl::Passage> SignalControl::PassedSince(const std::optional<Look>& look,
                                                                   std::int32_t seconds,
                                                                   const LocalDateTime& now) const {
    // Nothing to compare with: only this very second is new.
    if (!look) return Passage{1, 1.0};
    const double real = SecondsBetween(look->at, now);
    if (!(real > 0.0)) return std::nullopt;  // the clock was set back, or no time passed
    const std::int32_t advanced = Wrap(seconds - look->seconds);
    // No new scale second, or the scale went back (the hour repeated in autumn).
    if (advanced == 0 || advanced > kSecondsPerDay / 2) return std::nullopt;
    std::int32_t window = advanced;
    // Long away (suspended, the clock set forward): only the last grace period is still due.
    if (real > kGracePeriodSeconds)
        window = std::min(advanced, static_cast<std::int32_t>(std::floor(kGracePeriodSeconds * advanced / real)));
    if (window <= 0) return std::nullopt;
    return Passage{window, real};
}

void SignalControl::ScaleChanged() {
    alarmLook_.reset();
    signalLook_.reset();
}

// ---- Alarms -------------------------------------------------------------------------------

void SignalControl::AlarmControl(std::int32_t seconds) {
    if (seconds < 0 || seconds >= kSecondsPerDay) return;
    const LocalDateTime now = now_();
    // A chime alarm ended from outside (the music poll clears AlarmIndex whatever sounds).
    if (state_.AlarmIndex == kNoAlarm) state_.AlarmChimeStep = 0;
    StepSoundingAlarm();
    CollectDueAlarms(seconds, now);
    SoundNextAlarm(now);
    KeepAlarmChimeOnlyWhileNeeded(seconds);
}

void SignalControl::StepSoundingAlarm() {
    if (state_.AlarmIndex == kNoAlarm) return;
    if (state_.AlarmChimeStep == 0) {
        EndMusicAlarmIfSilent();
        return;
    }
    alarmChime_.MidiChimeNote(state_.AlarmChimeStep);
    if (state_.AlarmChimeStep >= kAlarmLastStep) {
        SwitchOffIfOnce(state_.AlarmIndex);
        state_.AlarmIndex = kNoAlarm;
        state_.AlarmChimeStep = 0;
    } else {
        ++state_.AlarmChimeStep;
    }
}

void SignalControl::CollectDueAlarms(std::int32_t seconds, const LocalDateTime& now) {
    const std::optional<Passage> passed = PassedSince(alarmLook_, seconds, now);
    alarmLook_ = Look{seconds, now};
    if (!passed) return;
    const double here = ReferenceInstant(now);
    const double scalePerReal = passed->scaleSeconds / passed->realSeconds;
    const int today = now.Weekday() + 1;
    std::vector<Due> due;
    for (int index = 0; index < kAlarmCount; ++index) {
        const AlarmValue value(tables_.AlarmSetting[index]);
        if (!value.IsOn()) continue;
        const std::int32_t time = value.Seconds();
        const std::int32_t ago = Wrap(seconds - time);
        if (ago >= passed->scaleSeconds) continue;
        // An alarm time after the present second fell due before midnight, yesterday.
        if (!value.PassesDayTest(time > seconds ? PreviousWeekday(today) : today)) continue;
        if (SoundedLately(index, time, now)) continue;
        sounded_[static_cast<std::size_t>(index)] = Sounded{time, here};
        due.push_back(Due{index, here - ago / scalePerReal});
    }
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) { return a.dueAt < b.dueAt; });
    pending_.insert(pending_.end(), due.begin(), due.end());
}

bool SignalControl::SoundedLately(int index, std::int32_t time, const LocalDateTime& now) const {
    const Sounded& last = sounded_[static_cast<std::size_t>(index)];
    return last.seconds == time && std::abs(ReferenceInstant(now) - last.at) < kRepeatGuardSeconds;
}

void SignalControl::SoundNextAlarm(const LocalDateTime& now) {
    const double here = ReferenceInstant(now);
    while (state_.AlarmIndex == kNoAlarm && !pending_.empty()) {
        const Due next = pending_.front();
        pending_.pop_front();
        // Waited too long (behind long music, or the machine slept): let go, and a once
        // alarm stays on for its next time.
        if (here - next.dueAt > kGracePeriodSeconds) continue;
        // Switched off or moved in the dialog meanwhile.
        if (!AlarmValue(tables_.AlarmSetting[static_cast<std::size_t>(next.index)]).IsOn()) continue;
        FireAlarm(next.index);
    }
}

bool SignalControl::FireAlarm(int index) {
    const AlarmValue value(tables_.AlarmSetting[static_cast<std::size_t>(index)]);
    if (value.IsChime()) {
        // The early open may have been missed (a late alarm, a fast scale): open now.
        if (!alarmChime_.IsOpen()) alarmChime_.MidiOpen(kProgramTubularBells);
        state_.AlarmIndex = static_cast<std::int16_t>(index);
        alarmChime_.MidiChimeNote(0);
        state_.AlarmChimeStep = 1;
        return true;
    }
    state_.AlarmChimeStep = 0;
    const std::string& file = tables_.AlarmFile[static_cast<std::size_t>(index)];
    // Nothing to play: an empty name would be a request to stop the music playing.
    if (file.empty()) {
        SwitchOffIfOnce(index);
        return false;
    }
    music_.PlayMusic(file, kPlayModeAlarm);
    SwitchOffIfOnce(index);
    state_.AlarmIndex = static_cast<std::int16_t>(index);
    // Music that did not start (unreadable) must not hold off the alarms after it.
    EndMusicAlarmIfSilent();
    return state_.AlarmIndex == index;
}

void SignalControl::SwitchOffIfOnce(int index) {
    if (index < 0 || index >= kAlarmCount) return;
    const AlarmValue value(tables_.AlarmSetting[static_cast<std::size_t>(index)]);
    if (value.IsOnce()) tables_.AlarmSetting[static_cast<std::size_t>(index)] = value.SwitchedOff().Packed();
}

void SignalControl::EndMusicAlarmIfSilent() {
    // While any music plays the alarm counts as sounding, also when the user's music refused
    // it or a preview replaced it; once nothing plays, by whatever stop, it has ended.
    if (state_.MusicPlayMode == kPlayModeStop) state_.AlarmIndex = kNoAlarm;
}

void SignalControl::KeepAlarmChimeOnlyWhileNeeded(std::int32_t seconds) {
    if (state_.AlarmIndex != kNoAlarm && state_.AlarmChimeStep != 0) return;  // ringing
    bool soon = false;
    const LocalDateTime now = now_();
    const int today = now.Weekday() + 1;
    for (int index = 0; index < kAlarmCount && !soon; ++index) {
        const AlarmValue value(tables_.AlarmSetting[static_cast<std::size_t>(index)]);
        if (!value.IsChime()) continue;
        const std::int32_t ahead = Wrap(value.Seconds() - seconds);
        if (ahead < 1 || ahead > kEarlyOpenSeconds) continue;
        if (SoundedLately(index, value.Seconds(), now)) continue;  // will not ring again
        // Due after midnight: tomorrow's weekday decides.
        soon = value.PassesDayTest(value.Seconds() < seconds ? NextWeekday(today) : today);
    }
    if (soon && !alarmChime_.IsOpen()) alarmChime_.MidiOpen(kProgramTubularBells);
    if (!soon && alarmChime_.IsOpen()) alarmChime_.MidiClose();
}

void SignalControl::StopAlarmAndMusic() {
    music_.StopMusic();
    if (state_.AlarmIndex != kNoAlarm && state_.AlarmChimeStep != 0) alarmChime_.MidiClose();
    state_.AlarmChimeStep = 0;
    state_.AlarmIndex = kNoAlarm;
}

std::deque<int> SignalControl::PendingAlarms() const {
    std::deque<int> indices;
    for (const Due& d : pending_) indices.push_back(d.index);
    return indices;
}

// ---- The time signal ----------------------------------------------------------------------

void SignalControl::TimeSignal(std::int32_t scaleTime) {
    if (scaleTime < 0) return;
    const LocalDateTime now = now_();
    const std::int32_t kind = state_.TimeSignalMode;
    const bool midiKind = IsMidiSignal(kind);
    const std::int32_t period = SignalPeriod(state_.ClockMode);
    const std::int32_t scaled = Wrap(scaleTime / 50);
    const std::int32_t step = scaled % period;
    // A kind chosen just now: the hours before it are none of its business.
    if (kind != lastKind_) {
        lastKind_ = kind;
        signalLook_.reset();
    }
    const std::optional<Passage> passed = PassedSince(signalLook_, scaled, now);
    signalLook_ = Look{scaled, now};

    if (signalRunning_) {
        StepSignal();
        return;
    }
    // The top of an hour lies in the time passed since the last look.
    if (passed && step < passed->scaleSeconds) {
        const double lateSeconds = step / (passed->scaleSeconds / passed->realSeconds);
        const std::int32_t top = scaled - step;
        const double here = ReferenceInstant(now);
        const bool again = top == lastSignalTop_ && std::abs(here - lastSignalAt_) < kRepeatGuardSeconds;
        const bool tooLate = lateSeconds > kGracePeriodSeconds || (kind == kSignalFourPips && step > kPipsLatestStep);
        if (!again && !tooLate) {
            lastSignalTop_ = top;
            lastSignalAt_ = here;
            StartSignal(scaled / period);
            return;
        }
    }
    // The run-up: open ten scaled seconds before the hour (once), then the three short pips.
    if (midiKind && step >= period - kEarlyOpenSeconds) {
        const std::int32_t upcoming = Wrap(scaled - step + period);
        if (!signalChime_.IsOpen() && openTriedFor_ != upcoming) {
            openTriedFor_ = upcoming;
            signalChime_.MidiOpen(kind == kSignalFourPips ? kProgramRecorder : kProgramTubularBells);
        }
        if (kind == kSignalFourPips && step >= period - 3 && scaled != lastPipSecond_) {
            lastPipSecond_ = scaled;
            signalChime_.MidiShortPip();
        }
        return;
    }
    // Outside the run-up and the sequence the signal holds no device.
    if (signalChime_.IsOpen()) signalChime_.MidiClose();
}

void SignalControl::StartSignal(int hourIndex) {
    const std::int32_t kind = state_.TimeSignalMode;
    std::int16_t& limit = state_.SignalStepLimit;
    signalStep_ = 0;
    switch (kind) {
    case kSignalChime:
        if (!signalChime_.IsOpen()) signalChime_.MidiOpen(kProgramTubularBells);
        signalChime_.MidiChimeNote(0);
        limit = signalChime_.IsOpen() ? kChimeSteps : 0;
        break;
    case kSignalFourPips:
        if (!signalChime_.IsOpen()) signalChime_.MidiOpen(kProgramRecorder);
        signalChime_.MidiLongPip(true);
        limit = 2;
        break;
    case kSignalStrikeCount:
        if (!signalChime_.IsOpen()) signalChime_.MidiOpen(kProgramTubularBells);
        limit = static_cast<std::int16_t>(2 * (StrikeCount(state_.ClockMode, hourIndex) - 1));
        signalChime_.MidiStrike();
        break;
    case kSignalMusic:
        // Never over other music; and with no file there is nothing to play.
        if (state_.MusicPlayMode == kPlayModeStop && !state_.TimeSignalFile.empty())
            music_.PlayMusic(state_.TimeSignalFile, kPlayModeTimeSignal);
        return;
    default:
        return;
    }
    signalRunning_ = true;
}

void SignalControl::StepSignal() {
    // One step a tick, counted from the start: a scale that runs fast or slow, or a start
    // made late, still sounds every note of the sequence.
    const int step = ++signalStep_;
    const std::int16_t limit = state_.SignalStepLimit;
    const std::int32_t kind = state_.TimeSignalMode;
    if (step <= limit) {
        if (kind == kSignalChime) signalChime_.MidiChimeNote(static_cast<std::int16_t>(step));
        if (kind == kSignalFourPips && step == limit) signalChime_.MidiLongPip(false);
        if (kind == kSignalStrikeCount && step % 2 == 0) signalChime_.MidiStrike();
        return;
    }
    if (step >= limit + 2) EndSignal();
}

void SignalControl::EndSignal() {
    signalChime_.MidiClose();
    state_.SignalStepLimit = 0;
    signalRunning_ = false;
}

void SignalControl::CloseTimeSignal() {
    EndSignal();
    signalLook_.reset();
}

void SignalControl::MidiClose() {
    EndSignal();
    alarmChime_.MidiClose();
}

}  // namespace vireo
