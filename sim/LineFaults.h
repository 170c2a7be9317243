#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

namespace zem::sim {

// What can go wrong with one transmission on one direction of the line (a write of the host, a
// transmission of the instrument, or a datagram).
enum class FaultKind {
    Drop,       // bytes [index, index + count) are lost; the default count loses the rest
    Corrupt,    // byte `index` is XORed with `mask`
    Delay,      // the whole transmission arrives `delaySeconds` late
    Duplicate,  // the whole transmission arrives twice
    Split,      // the transmission is cut before byte `index`; the tail arrives `delaySeconds` later
};

struct LineFault {
    FaultKind kind = FaultKind::Drop;
    std::size_t index = 0;
    std::size_t count = std::numeric_limits<std::size_t>::max();
    std::uint8_t mask = 0xFF;
    double delaySeconds = 0.0;
};

// A piece of a transmission as it reaches the other side.
struct Delivery {
    std::vector<std::uint8_t> bytes;
    double delaySeconds = 0.0;  // extra delay on top of the line's own timing
};

// Faults queued for one direction: each transmission consumes the first queued fault, if any.
// `skip` lets a test aim a fault at a later transmission.
class LineFaults {
public:
    void Queue(LineFault fault, int skip = 0);
    bool Empty() const { return queue_.empty(); }
    void Clear() { queue_.clear(); }

    // Applies the next fault (if any) to one transmission. A transmission that is dropped whole
    // yields no delivery.
    std::vector<Delivery> Apply(std::vector<std::uint8_t> bytes);

private:
    struct Entry {
        int skip;
        LineFault fault;
    };
    std::deque<Entry> queue_;
};

} // namespace zem::sim
