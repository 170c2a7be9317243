#include "sim/LineFaults.h"

#include <algorithm>

namespace zem::sim {

void LineFaults::Queue(LineFault fault, int skip)
{
    queue_.push_back({skip, fault});
}

std::vector<Delivery> LineFaults::Apply(std::vector<std::uint8_t> bytes)
{
    if (queue_.empty()) return {{std::move(bytes), 0.0}};
    if (queue_.front().skip > 0) {
        --queue_.front().skip;
        return {{std::move(bytes), 0.0}};
    }
    const LineFault f = queue_.front().fault;
    queue_.pop_front();

    switch (f.kind) {
    case FaultKind::Drop: {
        if (f.index < bytes.size()) {
            const std::size_t n = std::min(f.count, bytes.size() - f.index);
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(f.index),
                        bytes.begin() + static_cast<std::ptrdiff_t>(f.index + n));
        }
        if (bytes.empty()) return {};
        return {{std::move(bytes), 0.0}};
    }
    case FaultKind::Corrupt:
        if (f.index < bytes.size()) bytes[f.index] ^= f.mask;
        return {{std::move(bytes), 0.0}};
    case FaultKind::Delay:
        return {{std::move(bytes), f.delaySeconds}};
    case FaultKind::Duplicate:
        return {{bytes, 0.0}, {bytes, 0.0}};
    case FaultKind::Split: {
        if (f.index == 0 || f.index >= bytes.size()) return {{std::move(bytes), 0.0}};
        std::vector<std::uint8_t> tail(bytes.begin() + static_cast<std::ptrdiff_t>(f.index), bytes.end());
        bytes.resize(f.index);
        return {{std::move(bytes), 0.0}, {std::move(tail), f.delaySeconds}};
    }
    }
    return {{std::move(bytes), 0.0}};
}

} // namespace zem::sim
