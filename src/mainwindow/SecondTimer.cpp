#include "mainwindow/SecondTimer.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

#include "timekeeping/Clock.h"

namespace vireo {

SecondTimer::SecondTimer(const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] {
        ++events_;
        emit Timeout();
        KeepOnTheSecond();
    });
}

SecondTimer::~SecondTimer() = default;

void SecondTimer::SetEnabled(bool on) {
    enabled_ = on;
    if (enabled_) Schedule();
    else timer_->stop();
}

int SecondTimer::RemainingTime() const { return enabled_ ? timer_->remainingTime() : -1; }

int SecondTimer::Interval() const { return timer_->interval(); }

void SecondTimer::Schedule() {
    if (!enabled_) return;
    // Wake just after the next whole second of the clock.
    const double s = clock_.Now().SecondsOfDay;
    const double fraction = s - std::floor(s);
    int ms = static_cast<int>(std::ceil((1.0 - fraction) * 1000.0)) + 1;
    ms = std::clamp(ms, 1, 1001);
    timer_->start(ms);
    aligned_ = false;
}

void SecondTimer::KeepOnTheSecond() {
    if (!enabled_) return;
    // Once on the second, a precise one-second period stays there without being set again;
    // it is set again only when it has slipped (the clock was set, slewed or suspended).
    const double s = clock_.Now().SecondsOfDay;
    const double pastSecond = (s - std::floor(s)) * 1000.0;
    if (pastSecond > 20.0) {
        Schedule();
        return;
    }
    if (!aligned_) {
        timer_->start(1000);
        aligned_ = true;
    }
}

}  // namespace vireo
