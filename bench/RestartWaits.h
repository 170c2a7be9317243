#pragma once
// The restart waits of a workflow on the simulated instrument: from each restart the instrument
// executes to the first identity it answers after it, on the simulated clock. The workflow's time
// without them is what its transfers cost.
#include "sim/SimulatedInstrument.h"

#include <functional>
#include <optional>
#include <span>
#include <utility>

namespace zem::bench {

class RestartWaits {
public:
    RestartWaits(sim::SimulatedInstrument& instrument, std::function<double()> now) : now_(std::move(now))
    {
        auto restart = instrument.Command(13);
        auto identity = instrument.Command(1);
        instrument.SetCommand(13, [this, restart](std::span<const std::uint8_t> a) {
            if (!since_) since_ = now_();
            return restart(a);
        });
        instrument.SetCommand(1, [this, identity](std::span<const std::uint8_t> a) {
            auto reply = identity(a);
            if (since_ && reply) {
                seconds_ += now_() - *since_;
                since_.reset();
            }
            return reply;
        });
    }
    double Seconds() const { return seconds_; }

private:
    std::function<double()> now_;
    std::optional<double> since_;
    double seconds_ = 0;
};

} // namespace zem::bench
