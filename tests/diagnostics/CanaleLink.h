#pragma once

#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem::test {

using Bytes = std::vector<std::uint8_t>;

// The default simulated instrument opened over USB (parameter true) or Ethernet, and the bytes the
// link sent it since the last Dimentica, whichever the channel.
class CanaleLink : public ::testing::TestWithParam<bool>, public sim::SimulatedLink {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Apri());
        Dimentica();
    }

    bool Apri() { return GetParam() ? link.ApriComunicazioneUSB(kSerial) : link.ApriComunicazioneETH(kHost, kPort); }

    void Dimentica()
    {
        endpoint.received.clear();
        bridge.ClearWritten(device);
    }

    Bytes Inviati() const
    {
        if (GetParam()) return bridge.Written(device);
        Bytes out;
        for (const Bytes& d : endpoint.received) out.insert(out.end(), d.begin(), d.end());
        return out;
    }

    // The request frame of a payload (command code first).
    static Bytes Frame(const Bytes& payload) { return sim::SimulatedInstrument::FrameOf(payload); }
};

inline std::string NomeCanale(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "USB" : "Ethernet";
}

} // namespace zem::test
