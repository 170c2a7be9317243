#pragma once

#include <chrono>

namespace zem {

constexpr double kSecondsPerDay = 86400.0;

// Every wait of the link measures time on a seconds-since-midnight clock, the way the instrument
// software always has; injecting it lets tests run the time-outs without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, 0 <= t < 86400.
    virtual double Timer() = 0;
    // Lets `seconds` pass without using the processor; a simulated clock just moves on.
    virtual void Attendi(double seconds);
};

// The wall clock of this machine, read as a steady count from the time of day it started at: a
// reading costs no time-zone lookup, and setting the system clock (NTP, summer time) moves no wait.
class SystemClock final : public Clock {
public:
    SystemClock();
    double Timer() override;

private:
    std::chrono::steady_clock::time_point start_;
    double startOfDay_;
};

// True once more than `limit` seconds have passed since `start`. When the clock has wrapped past
// midnight (now earlier than start) the wait ends once the clock passes `boundAfterWrap`.
inline bool TempoScaduto(double start, double now, double limit, double boundAfterWrap)
{
    if (now < start) return now > boundAfterWrap;
    return now - start > limit;
}

// Seconds from start to now, counted on across midnight, for waits that must end whenever they begin.
inline double SecondiTrascorsi(double start, double now)
{
    const double t = now - start;
    return t < 0 ? t + kSecondsPerDay : t;
}

} // namespace zem
