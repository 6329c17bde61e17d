#include "timekeeping/ClockTick.h"

#include <cmath>

namespace vireo {

ClockTick::ClockTick(ClockState& state, TimeScales& scales, const Clock& clock,
                     TickDisplay& display, TickSignal& signal, TickMusic& music)
    : state_(state), scales_(scales), clock_(clock), display_(display), signal_(signal),
      music_(music) {}

ClockTick::ClockTick(ClockState& state, TimeScales& scales, const Clock& clock, TickSink& sink)
    : ClockTick(state, scales, clock, sink, sink, sink) {}

bool ClockTick::Timer1_Timer() {
    const LocalDateTime now = clock_.Now();
    double t = now.SecondsOfDay;
    const std::int32_t second = now.WholeSecond();
    if (second == state_.LastTickSecond && now.Day == state_.LastTickDay) return false;
    state_.LastTickSecond = second;
    state_.LastTickDay = now.Day;

    const std::int32_t v = scales_.ComputeScaleTime(t);  // t now holds the converted seconds
    lastScaleTime_ = v;
    lastScaleSeconds_ = t;

    display_.ShowReadouts(v);
    if (!display_.IsMinimized()) {
        if (display_.SetClockColor()) display_.DrawClockScale();
        display_.DrawHands(v);
    }
    signal_.AlarmControl(static_cast<std::int32_t>(std::floor(t)));
    if (state_.TimeSignalMode != kSignalNone) signal_.TimeSignal(v);
    if (state_.MusicPlayMode > 0 && music_.MusicStatus() == "stopped") {
        music_.StopMusic();
        state_.AlarmIndex = kNoAlarm;
    }
    return true;
}

}  // namespace vireo
