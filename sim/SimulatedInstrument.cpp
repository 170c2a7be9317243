#include "sim/SimulatedInstrument.h"

namespace zem::sim {

namespace {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (const std::uint8_t b : bytes) sum += b;
    const auto c = static_cast<std::uint8_t>(sum & 0xFF);
    return c == 0 ? 1 : c;
}

void AppendEcho(std::vector<Transmission>& out, std::uint8_t byte)
{
    if (out.empty() || out.back().kind != Transmission::Kind::Echo)
        out.push_back({Transmission::Kind::Echo, {}});
    out.back().bytes.push_back(byte);
}

} // namespace

SimulatedInstrument::SimulatedInstrument() = default;

void SimulatedInstrument::SetCommand(std::uint8_t code, Handler handler)
{
    commands_[code] = std::move(handler);
}

SimulatedInstrument::Handler SimulatedInstrument::Command(std::uint8_t code) const
{
    const auto it = commands_.find(code);
    return it == commands_.end() ? Handler{} : it->second;
}

void SimulatedInstrument::RemoveCommand(std::uint8_t code)
{
    commands_.erase(code);
}

std::vector<std::uint8_t> SimulatedInstrument::FrameOf(std::span<const std::uint8_t> payload)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(payload.size() + 2);
    frame.push_back(static_cast<std::uint8_t>(payload.size() + 1));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Checksum(frame));
    return frame;
}

std::vector<Transmission> SimulatedInstrument::Receive(std::span<const std::uint8_t> bytes)
{
    std::vector<Transmission> out;
    if (faults_.deaf || (asleep_ && asleep_())) return out;
    for (const std::uint8_t b : bytes) {
        const bool startsFrame = frame_.empty();
        // An empty frame (a 0 where a count should be) is only echoed.
        if (startsFrame && b == 0) {
            AppendEcho(out, b);
            continue;
        }
        frame_.push_back(b);
        if (faults_.missingEcho == 0) AppendEcho(out, b);
        if (frame_.size() == static_cast<std::size_t>(frame_[0]) + 1) Execute(out);
    }
    return out;
}

void SimulatedInstrument::Execute(std::vector<Transmission>& out)
{
    std::vector<std::uint8_t> frame;
    frame.swap(frame_);
    if (faults_.missingEcho > 0) --faults_.missingEcho;

    const std::span<const std::uint8_t> all(frame);
    if (frame.size() < 2 || Checksum(all.first(frame.size() - 1)) != frame.back()) {
        ++framesRejected_;
        return;
    }
    ++framesExecuted_;
    if (faults_.deafAtFrame != 0 && framesExecuted_ >= faults_.deafAtFrame) {
        faults_.deaf = true;
        return;
    }
    const std::span<const std::uint8_t> payload = all.subspan(1, frame.size() - 2);
    if (faults_.silence > 0) {
        --faults_.silence;
        return;
    }
    if (payload.empty()) return;
    const auto it = commands_.find(payload[0]);
    if (it == commands_.end()) return;
    stream_.clear();
    const auto reply = it->second(payload.subspan(1));
    if (!reply) return;

    std::vector<std::uint8_t> replyFrame = FrameOf(*reply);
    if (faults_.wrongChecksum > 0) {
        --faults_.wrongChecksum;
        ++replyFrame.back();
    }
    out.push_back({Transmission::Kind::Reply, std::move(replyFrame)});
    for (auto& block : stream_) out.push_back({Transmission::Kind::Stream, std::move(block)});
    stream_.clear();
}

} // namespace zem::sim
