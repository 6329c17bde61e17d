#include "signal/SignalControl.h"

#include <ctime>

namespace vireo {

namespace {

constexpr std::int32_t kSecondsPerDay = 86400;
constexpr std::int32_t kEarlyOpenSeconds = 10;
constexpr std::int16_t kChimeSteps = 18;     // the chime's last step
constexpr std::int16_t kAlarmLastStep = 20;  // a chime alarm closes at this step
constexpr std::int16_t kNoAlarm = -1;

int SystemWeekday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_wday + 1;
}

}  // namespace

std::int32_t SignalPeriod(std::int32_t clockMode) { return (clockMode == 6 || clockMode == 7) ? 7200 : 3600; }

int StrikeCount(std::int32_t clockMode, int hourIndex) {
    if (SignalPeriod(clockMode) == 7200) return 9 - hourIndex % 6;
    return (hourIndex + 11) % 12 + 1;
}

SignalControl::SignalControl(ClockState& state, AlarmTables& tables, MidiChime& midi, MusicEngine& music,
                             WeekdayFunction today)
    : state_(state), tables_(tables), midi_(midi), music_(music), today_(std::move(today)) {
    if (!today_) today_ = SystemWeekday;
}

void SignalControl::CloseMidi() {
    midi_.MidiClose();
    signalHoldsMidi_ = false;
    alarmHoldsMidi_ = false;
    alarmEarlyOpenFor_ = -1;
}

void SignalControl::MidiClose() { CloseMidi(); }

void SignalControl::AlarmControl(std::int32_t seconds) {
    if (seconds < 0 || seconds >= kSecondsPerDay) return;

    // A chime alarm stopped from outside (the music poll clears AlarmIndex whatever sounds):
    // its close step will never come.
    if (state_.AlarmIndex == kNoAlarm && state_.AlarmChimeStep != 0) {
        if (alarmHoldsMidi_ && !signalHoldsMidi_) CloseMidi();
        alarmHoldsMidi_ = false;
        state_.AlarmChimeStep = 0;
    }
    // An early open whose alarm did not fire (its second was skipped, or an alarm of lower
    // index took the minute).
    if (alarmEarlyOpenFor_ >= 0) {
        const std::int32_t ahead = (alarmEarlyOpenFor_ - seconds + kSecondsPerDay) % kSecondsPerDay;
        if (ahead > kEarlyOpenSeconds) {
            if (midi_.IsOpen() && !signalHoldsMidi_) CloseMidi();
            alarmHoldsMidi_ = false;
            alarmEarlyOpenFor_ = -1;
        }
    }

    if (state_.AlarmIndex != kNoAlarm) {
        if (state_.AlarmChimeStep == 0) {
            EndMusicAlarmIfSilent();
            return;
        }
        midi_.MidiChimeNote(state_.AlarmChimeStep);
        if (state_.AlarmChimeStep >= kAlarmLastStep) {
            CloseMidi();
            const int index = state_.AlarmIndex;
            if (index >= 0 && index < kAlarmCount) {
                const AlarmValue value(tables_.AlarmSetting[index]);
                if (value.IsOnce()) tables_.AlarmSetting[index] = value.SwitchedOff().Packed();
            }
            state_.AlarmIndex = kNoAlarm;
            state_.AlarmChimeStep = 0;
        } else {
            ++state_.AlarmChimeStep;
        }
        return;
    }

    const std::int32_t second = seconds % 60;
    if (second != 0 && second != 50) return;

    const int today = today_();
    const std::int32_t soon = seconds + kEarlyOpenSeconds;
    // Ten seconds before midnight the alarm due is tomorrow's 00:00.
    const bool soonTomorrow = soon >= kSecondsPerDay;
    const std::int32_t soonTime = soonTomorrow ? soon - kSecondsPerDay : soon;
    const int soonDay = soonTomorrow ? NextWeekday(today) : today;

    for (int index = 0; index < kAlarmCount; ++index) {
        const AlarmValue value(tables_.AlarmSetting[index]);
        if (!value.IsOn()) continue;
        if (value.Seconds() == seconds && value.PassesDayTest(today)) {
            FireAlarm(index);
            return;
        }
        if (value.IsChime() && value.Seconds() == soonTime && value.PassesDayTest(soonDay)) {
            midi_.MidiOpen(kProgramTubularBells);
            if (midi_.IsOpen()) {
                alarmHoldsMidi_ = true;
                alarmEarlyOpenFor_ = soonTime;
            }
        }
    }
}

void SignalControl::FireAlarm(int index) {
    const AlarmValue value(tables_.AlarmSetting[index]);
    state_.AlarmIndex = static_cast<std::int16_t>(index);
    alarmEarlyOpenFor_ = -1;
    if (value.IsChime()) {
        // The early open may have been skipped on a fast scale; open now rather than ring silent.
        if (!midi_.IsOpen()) midi_.MidiOpen(kProgramTubularBells);
        alarmHoldsMidi_ = midi_.IsOpen();
        midi_.MidiChimeNote(0);
        state_.AlarmChimeStep = 1;
        return;
    }
    music_.PlayMusic(tables_.AlarmFile[index], kPlayModeAlarm);
    if (value.IsOnce()) tables_.AlarmSetting[index] = value.SwitchedOff().Packed();
    state_.AlarmChimeStep = 0;
    // Music that did not start (no file, unreadable) must not hold off every later alarm.
    EndMusicAlarmIfSilent();
}

void SignalControl::EndMusicAlarmIfSilent() {
    // While any music plays the alarm counts as sounding, also when the user's music refused
    // it or a preview replaced it; once nothing plays, by whatever stop, it has ended.
    if (state_.MusicPlayMode == kPlayModeStop) state_.AlarmIndex = kNoAlarm;
}

void SignalControl::TimeSignal(std::int32_t scaleTime) {
    if (scaleTime < 0) return;
    const std::int32_t kind = state_.TimeSignalMode;
    const bool midiKind = kind >= 1 && kind <= 3;
    const std::int32_t period = SignalPeriod(state_.ClockMode);
    const std::int32_t scaled = scaleTime / 50;
    const std::int32_t step = scaled % period;
    const int hourIndex = static_cast<int>(scaled / period);
    std::int16_t& limit = state_.SignalStepLimit;

    if (step == period - 10) {
        if (kind == 1 || kind == 3) midi_.MidiOpen(kProgramTubularBells);
        if (kind == 2) midi_.MidiOpen(kProgramRecorder);
        if (midiKind && midi_.IsOpen()) signalHoldsMidi_ = true;
        return;
    }
    if (step >= period - 3) {
        if (kind == 2) midi_.MidiShortPip();
        return;
    }
    if (step == 0) {
        switch (kind) {
        case 1:
            midi_.MidiChimeNote(0);
            if (midi_.IsOpen()) limit = kChimeSteps;
            break;
        case 2:
            midi_.MidiLongPip(true);
            limit = 2;
            break;
        case 3:
            limit = static_cast<std::int16_t>(2 * (StrikeCount(state_.ClockMode, hourIndex) - 1));
            midi_.MidiStrike();
            break;
        case 4:
            if (state_.MusicPlayMode == kPlayModeStop) music_.PlayMusic(state_.TimeSignalFile, kPlayModeTimeSignal);
            break;
        default:
            break;
        }
        return;
    }
    if (step <= limit) {
        if (kind == 1) midi_.MidiChimeNote(static_cast<std::int16_t>(step));
        if (kind == 2 && step == limit) midi_.MidiLongPip(false);
        if (kind == 3 && step % 2 == 0) midi_.MidiStrike();
        return;
    }
    if (step == limit + 2) {
        if (midiKind) {
            CloseMidi();
            limit = 0;
        }
        return;
    }
    // The close step was skipped (the scale ran past it between two ticks). Steps from
    // period - 10 on belong to the next signal, which opens again.
    if (midiKind && signalHoldsMidi_ && step > limit + 2 && step < period - 10) {
        if (midi_.IsOpen() && !alarmHoldsMidi_) {
            CloseMidi();
            limit = 0;
        }
        signalHoldsMidi_ = false;
    }
}

void SignalControl::StopAlarmAndMusic() {
    music_.PlayMusic(std::string(), kPlayModeStop);
    if (state_.AlarmIndex != kNoAlarm && state_.AlarmChimeStep != 0) {
        CloseMidi();
        state_.AlarmChimeStep = 0;
    }
    state_.AlarmIndex = kNoAlarm;
}

}  // namespace vireo
