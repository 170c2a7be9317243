// Results blocks of each measure type, put in PRAM by the simulated instrument and read by the
// status polling once a measure asked for them and reports them ready.
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(Risultati, EachMeasureTypeDecodesItsBlockInEngineeringUnits)
{
    sim::SimulatedLink s;
    sim::ImageSpec spec;
    for (const int tipo : {1, 2, 3, 4}) spec.measures.push_back({.type = tipo, .name = "M"});
    spec.calibration[0] = {.unit = 0, .decimals = 1};  // position = raw / 10
    spec.calibration[2] = {.unit = 0, .decimals = 1};  // force and value = raw / 10
    s.model.Memory().CaricaConfigurazione(sim::BuildConfigurationImage(spec));
    ASSERT_TRUE(s.link.ApriComunicazioneETH(sim::SimulatedLink::kHost, sim::SimulatedLink::kPort));
    auto& acq = s.model.Acquisition();

    std::vector<std::uint8_t> pressa(32, 0);
    const std::vector<std::pair<std::size_t, std::uint8_t>> byte{
        {2, 0xA1}, {3, 0xB2}, {5, 0x02}, {6, 0x01}, {7, 0xD2}, {8, 0x04}, {9, 0x0C}, {10, 0xFE},
        {13, 100}, {21, 0xFF}, {22, 0xFF}, {29, 3}};
    for (const auto& [i, v] : byte) pressa[i] = v;
    acq.ScriviRisultati(1, pressa);
    acq.ScriviRisultati(2, std::vector<std::uint8_t>{0, 0, 1, 2, 0, 7, 0, 0xEC, 0xFF, 0x2C, 0x01, 0x40, 0x01, 0x96, 0});
    acq.ScriviRisultati(3, std::vector<std::uint8_t>{0, 0, 9, 0x00, 0x80});
    pressa[29] = 4;
    acq.ScriviRisultati(4, pressa);

    for (int m = 1; m <= 4; ++m) ASSERT_TRUE(s.link.LeggiValori(m));
    s.link.StartPolling();
    acq.misure[0].risultatiPronti = true;  // measure 2 not ready yet
    s.link.TimerStatus_Timer();
    EXPECT_EQ(s.link.ValoreMisurato(2), 0.0f);
    acq.misure[1].risultatiPronti = true;
    s.link.TimerStatus_Timer();

    EXPECT_EQ(s.link.IndirizzoRisultati(1), sim::SimulatedAcquisition::IndirizzoRisultati(1));
    const RisultatiMisura& r1 = s.link.Risultati(1);
    EXPECT_EQ(std::make_tuple(r1.StatoA, r1.StatoB, r1.CauseScarto, r1.CauseScartoCheckPoint),
              std::make_tuple(0xA1, 0xB2, 258, 3));
    EXPECT_FLOAT_EQ(s.link.ForzaPicco(1), 123.4f);
    EXPECT_FLOAT_EQ(s.link.QuotaPicco(1), -50.0f);
    EXPECT_FLOAT_EQ(s.link.ForzaCheckPoint(1, 1), 10.0f);
    EXPECT_FLOAT_EQ(s.link.ForzaCheckPoint(1, 5), -0.1f);
    EXPECT_EQ(s.link.ForzaCheckPoint(1, 6), 0.0f);
    EXPECT_EQ(s.link.CauseScarto(2), 7);
    EXPECT_FLOAT_EQ(s.link.ValoreMinimo(2), -2.0f);
    EXPECT_FLOAT_EQ(s.link.ValoreMassimo(2), 30.0f);
    EXPECT_FLOAT_EQ(s.link.ValorePiccoPicco(2), 32.0f);
    EXPECT_FLOAT_EQ(s.link.ValoreMisurato(2), 15.0f);
    EXPECT_EQ(s.link.CauseScarto(3), 9);
    EXPECT_FLOAT_EQ(s.link.ValoreMisurato(3), -3276.8f);
    EXPECT_EQ(s.link.CauseScartoCheckPoint(4), 4);
    EXPECT_EQ(s.link.CauseScarto(7), 0);
}

} // namespace
} // namespace zem
