#pragma once

#include "link/Clock.h"

#include <cmath>

namespace zem::sim {

// A clock that only moves when told to. It keeps a monotonic count of simulated seconds beside the
// time of day it reports, so simulated events can be scheduled across midnight.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double timeOfDay = 36000.0) : startOfDay_(timeOfDay) {}

    double Timer() override
    {
        const double t = std::fmod(startOfDay_ + elapsed_, kSecondsPerDay);
        return t < 0 ? t + kSecondsPerDay : t;
    }
    void Attendi(double seconds) override { Advance(seconds); }
    double Monotonic() const { return elapsed_; }
    void Advance(double seconds) { if (seconds > 0) elapsed_ += seconds; }
    void AdvanceTo(double monotonic) { if (monotonic > elapsed_) elapsed_ = monotonic; }
    void SetTimeOfDay(double t) { startOfDay_ = t - elapsed_; }

private:
    double startOfDay_;
    double elapsed_ = 0.0;
};

} // namespace zem::sim
