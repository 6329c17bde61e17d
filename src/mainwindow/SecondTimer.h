#pragma once
// The clock's tick timer: wakes just after each whole second of its clock, so that every event
// finds a new second and the work follows the second's start by far less than a tick interval.

#include <QObject>

class QTimer;

namespace vireo {

class Clock;

class SecondTimer : public QObject {
    Q_OBJECT
public:
    // The clock must outlive the timer.
    explicit SecondTimer(const Clock& clock, QObject* parent = nullptr);
    ~SecondTimer() override;

    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // Milliseconds until the next event, or -1 while disabled.
    int RemainingTime() const;
    // The period the next event was set for, in milliseconds.
    int Interval() const;

    // Events so far, and how many of them found work to do (the handler counts that).
    long EventCount() const { return events_; }
    long WorkCount() const { return work_; }
    void CountWork() { ++work_; }

signals:
    // One event; the handler runs before the timer is set for the next one.
    void Timeout();

private:
    void Schedule();
    void KeepOnTheSecond();

    const Clock& clock_;
    QTimer* timer_ = nullptr;
    bool enabled_ = false;
    bool aligned_ = false;
    long events_ = 0;
    long work_ = 0;
};

}  // namespace vireo
