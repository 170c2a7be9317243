#pragma once

#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zem::test {

using Bytes = std::vector<std::uint8_t>;

// The request frame for a payload (command code first): count, payload, checksum.
inline Bytes Frame(const Bytes& payload) { return sim::SimulatedInstrument::FrameOf(payload); }

// A link to the simulated instrument with memories of its own, counting the resynchronisations
// and reading back the request frames it sent on either channel.
class SimLink : public sim::SimulatedLink {
public:
    explicit SimLink(sim::SimulatedMemory::Options options = {}) : memory(instrument, options)
    {
        link.Noise = [this] { ++noise; };
    }

    bool Open(bool usb) { return usb ? OpenUsb() : OpenEth(); }

    // A command that answers with its own arguments, or always with `payload`.
    void Echo(std::uint8_t code)
    {
        instrument.SetCommand(code, [](std::span<const std::uint8_t> a) { return std::optional<Bytes>(Bytes(a.begin(), a.end())); });
    }
    void Answer(std::uint8_t code, Bytes payload)
    {
        instrument.SetCommand(code, [payload](auto) { return std::optional<Bytes>(payload); });
    }

    // Sends the request `code, args...` and returns the reply payload, or nothing on failure.
    std::optional<Bytes> Send(std::uint8_t code, const Bytes& args = {})
    {
        if (!link.PreparaRichiesta(code, args) || !link.EseguiComando()) return std::nullopt;
        const auto& rx = link.BufferRX();
        return Bytes(rx.begin() + 1, rx.begin() + 1 + rx[0]);
    }

    void Forget()
    {
        bridge.ClearWritten(device);
        endpoint.received.clear();
        noise = 0;
    }

    // The request frames sent since Forget, without resynchronisation zeros.
    std::vector<Bytes> Requests() const
    {
        std::vector<Bytes> frames;
        if (link.HandlePortaUSB() == 0) {
            std::copy_if(endpoint.received.begin(), endpoint.received.end(), std::back_inserter(frames),
                         [](const Bytes& d) { return !d.empty() && d[0] != 0; });
            return frames;
        }
        const Bytes& w = bridge.Written(device);
        for (std::size_t i = 0; i < w.size();) {
            if (w[i] == 0) {
                ++i;
                continue;
            }
            const std::size_t end = std::min(w.size(), i + w[i] + 1);
            frames.emplace_back(w.begin() + static_cast<std::ptrdiff_t>(i), w.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }
        return frames;
    }

    std::vector<Bytes> Requests(std::uint8_t code) const
    {
        std::vector<Bytes> frames = Requests();
        std::erase_if(frames, [code](const Bytes& f) { return f.size() < 2 || f[1] != code; });
        return frames;
    }

    // How many of those requests carry the command code (and, when given, the first argument).
    std::size_t Count(std::uint8_t code, int firstArgument = -1) const
    {
        const auto frames = Requests();
        return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), [&](const Bytes& f) {
            return f.size() > 2 && f[1] == code && (firstArgument < 0 || f[2] == firstArgument);
        }));
    }

    sim::SimulatedMemory memory;
    int noise = 0;
};

// A SimLink as a test fixture, with its body run once on each channel (true: USB).
class ChannelTest : public ::testing::TestWithParam<bool>, public SimLink {
protected:
    explicit ChannelTest(sim::SimulatedMemory::Options options = {}) : SimLink(options) {}
    bool Open() { return SimLink::Open(GetParam()); }
    // The whole connection: identity, version and configuration read.
    bool Connect() { return GetParam() ? link.ApriComunicazioneUSB(kSerial) : link.ApriComunicazioneETH(kHost, kPort); }
    // Connected to the default instrument's configuration, with the exchange forgotten.
    void ConnectToDefault()
    {
        memory.PRAM() = model.Memory().PRAM();
        ASSERT_TRUE(Connect());
        Forget();
    }
};

// A fault put on the line or the instrument before an exchange, named for the test list.
struct Fault {
    const char* name;
    std::function<void(SimLink&)> inject;
};
inline std::string FaultName(const ::testing::TestParamInfo<Fault>& info) { return info.param.name; }

inline std::string ChannelName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "USB" : "Ethernet"; }

} // namespace zem::test
