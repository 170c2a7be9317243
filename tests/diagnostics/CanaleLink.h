#pragma once

#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem::test {

using Bytes = std::vector<std::uint8_t>;

// The default instrument opened over USB (true) or Ethernet; Inviati: the bytes sent since Dimentica.
class CanaleLink : public ::testing::TestWithParam<bool>, public sim::SimulatedLink {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GetParam() ? link.ApriComunicazioneUSB(kSerial) : link.ApriComunicazioneETH(kHost, kPort));
        Dimentica();
    }

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
};

inline std::string NomeCanale(const ::testing::TestParamInfo<bool>& info) { return info.param ? "USB" : "Ethernet"; }

} // namespace zem::test
