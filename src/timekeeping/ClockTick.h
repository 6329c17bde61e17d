#pragma once
// The clock's main loop step: the handler of the window's timer Timer1 (every "Interval" ms,
// default 100) as plain logic. It does its work only on the first call of each new whole
// second of the system clock; the other calls cost one clock read and one comparison.

#include <cstdint>

#include "timekeeping/Clock.h"
#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"
#include "timekeeping/TimeScales.h"

namespace vireo {

class ClockTick {
public:
    // All references must outlive the tick. The clock should be the one TimeScales reads.
    ClockTick(ClockState& state, TimeScales& scales, const Clock& clock, TickDisplay& display,
              TickSignal& signal, TickMusic& music);
    // For one object answering every step.
    ClockTick(ClockState& state, TimeScales& scales, const Clock& clock, TickSink& sink);

    // One timer event. Returns true when this call handled a new second (the steps of
    // TickSink.h ran), false when the second had been handled already.
    //
    // A new second is any second of the clock other than the last one handled (its day
    // included), so a clock set back, set forward or resumed from suspend never stalls it.
    bool Timer1_Timer();

    // Results of the last second handled: the scale time and the converted seconds of day.
    std::int32_t LastScaleTime() const { return lastScaleTime_; }
    double LastScaleSeconds() const { return lastScaleSeconds_; }

private:
    ClockState& state_;
    TimeScales& scales_;
    const Clock& clock_;
    TickDisplay& display_;
    TickSignal& signal_;
    TickMusic& music_;
    std::int32_t lastScaleTime_ = 0;
    double lastScaleSeconds_ = 0.0;
};

}  // namespace vireo
