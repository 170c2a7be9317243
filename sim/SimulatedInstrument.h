#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace zem::sim {

// One transmission of the instrument: the echo of received bytes, a framed reply, or one block of
// data streamed after a reply (curve download); over UDP each stream block is a datagram of its own.
struct Transmission {
    enum class Kind { Echo, Reply, Stream };
    Kind kind;
    std::vector<std::uint8_t> bytes;
};

// Faults of the instrument itself, each counting the frames it still applies to.
struct InstrumentFaults {
    int missingEcho = 0;     // the next frames are answered without their echo
    int wrongChecksum = 0;   // the next replies carry a checksum off by one
    int silence = 0;         // the next frames get their echo but no reply
    bool deaf = false;       // nothing at all comes back, not even the echo of a 00 byte
    // The line goes dead at this executed frame (counted from 1, 0 = never), which is neither
    // carried out nor answered: a cable pulled in the middle of a transfer.
    std::uint64_t deafAtFrame = 0;
};

// The instrument's side of the frame protocol. Its receiver echoes every byte it takes; a byte of
// 0 where a frame would start is an empty frame (only echoed), which is what brings the receiver
// back to the start of a frame after the host's resynchronisation bytes. A complete frame with a
// good checksum is handed to the command table; the handler's payload goes back as a reply frame.
class SimulatedInstrument {
public:
    // Returns the reply payload (command code not included), or nothing for no reply at all.
    using Handler = std::function<std::optional<std::vector<std::uint8_t>>(std::span<const std::uint8_t> payload)>;

    SimulatedInstrument();

    // Feeds bytes received from the host; returns what the instrument transmits in answer, in order.
    std::vector<Transmission> Receive(std::span<const std::uint8_t> bytes);

    // The command table; later features add their commands here.
    void SetCommand(std::uint8_t code, Handler handler);
    // The handler of a command (empty when there is none), for a benchmark to wrap.
    Handler Command(std::uint8_t code) const;
    void RemoveCommand(std::uint8_t code);

    InstrumentFaults& Faults() { return faults_; }
    // While `asleep` answers true the instrument takes nothing in (it is starting up); empty: awake.
    void SetAsleep(std::function<bool()> asleep) { asleep_ = std::move(asleep); }

    // Called by a handler: a block to transmit after the handler's reply.
    void EmitStream(std::vector<std::uint8_t> block) { stream_.push_back(std::move(block)); }

    // Frames executed (with a good checksum), for tests and benchmarks.
    std::uint64_t FramesExecuted() const { return framesExecuted_; }
    // Frames received with a bad checksum, for tests.
    std::uint64_t FramesRejected() const { return framesRejected_; }
    // True while the receiver is inside a frame.
    bool InFrame() const { return !frame_.empty(); }

    // The frame the instrument would send for a reply payload: count, payload, checksum.
    static std::vector<std::uint8_t> FrameOf(std::span<const std::uint8_t> payload);

private:
    void Execute(std::vector<Transmission>& out);

    std::map<std::uint8_t, Handler> commands_;
    InstrumentFaults faults_;
    std::function<bool()> asleep_;
    std::vector<std::uint8_t> frame_;  // count byte and the bytes taken so far
    std::vector<std::vector<std::uint8_t>> stream_;
    std::uint64_t framesExecuted_ = 0;
    std::uint64_t framesRejected_ = 0;
};

} // namespace zem::sim
