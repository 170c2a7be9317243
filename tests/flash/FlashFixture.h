#pragma once

#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace zem {

enum class Canale { USB, ETH };

inline void PrintTo(Canale canale, std::ostream* os) { *os << (canale == Canale::USB ? "USB" : "Ethernet"); }

inline std::string NomeCanale(const ::testing::TestParamInfo<Canale>& info)
{
    return info.param == Canale::USB ? "Usb" : "Eth";
}

using Bytes = std::vector<std::uint8_t>;

// The request frame for a payload (command code first): count, payload, checksum.
inline Bytes Frame(const Bytes& payload)
{
    return sim::SimulatedInstrument::FrameOf(payload);
}

// A link to a simulated instrument with its memories, recording the requests it sends.
class FlashLink : public sim::SimulatedLink {
public:
    explicit FlashLink(sim::SimulatedMemory::Options options = {}) : memory(instrument, options)
    {
        link.Noise = [this] { ++noise; };
    }

    bool Apri(Canale canale) { return canale == Canale::USB ? OpenUsb() : OpenEth(); }

    void DimenticaRichieste()
    {
        bridge.ClearWritten(device);
        endpoint.received.clear();
    }

    // The request frames sent since the last DimenticaRichieste, without resynchronisation zeros.
    std::vector<Bytes> Richieste() const
    {
        std::vector<Bytes> frames;
        if (link.HandlePortaUSB() == 0) {
            for (const Bytes& d : endpoint.received)
                if (!d.empty() && d[0] != 0) frames.push_back(d);
            return frames;
        }
        const Bytes& w = bridge.Written(device);
        for (std::size_t i = 0; i < w.size();) {
            if (w[i] == 0) {
                ++i;
                continue;
            }
            const std::size_t fine = std::min(w.size(), i + w[i] + 1);
            frames.emplace_back(w.begin() + static_cast<std::ptrdiff_t>(i), w.begin() + static_cast<std::ptrdiff_t>(fine));
            i = fine;
        }
        return frames;
    }

    // How many of those requests carry the command code.
    std::size_t Conta(std::uint8_t code) const
    {
        std::size_t n = 0;
        for (const Bytes& f : Richieste())
            if (f.size() > 1 && f[1] == code) ++n;
        return n;
    }

    sim::SimulatedMemory memory;
    int noise = 0;
};

// One test body for each channel, on a freshly opened link.
class FlashTest : public ::testing::TestWithParam<Canale>, public FlashLink {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Apri(GetParam()));
        DimenticaRichieste();
        noise = 0;
    }
};

} // namespace zem
