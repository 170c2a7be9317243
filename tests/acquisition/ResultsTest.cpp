// Results blocks in PRAM, read by the status polling once asked for and reported ready.
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(Risultati, EachMeasureTypeDecodesItsBlockInEngineeringUnits)
{
    sim::SimulatedLink s;
    sim::ImageSpec spec;
    spec.measures.assign(4, sim::MeasureSpec{});
    for (std::size_t m = 0; m < 4; ++m) spec.measures[m].type = static_cast<int>(m + 1);
    spec.calibration[0] = {.unit = 0, .decimals = 1};  // position = raw / 10
    spec.calibration[2] = {.unit = 0, .decimals = 1};  // force and value = raw / 10
    s.model.Memory().CaricaConfigurazione(sim::BuildConfigurationImage(spec));
    ASSERT_TRUE(s.link.ApriComunicazioneETH(sim::SimulatedLink::kHost, sim::SimulatedLink::kPort));
    auto& acq = s.model.Acquisition();

    // Press: status A1 B2, causes 258, peak force 1234, peak position -500, check points 1 and 5.
    std::vector<std::uint8_t> pressa{0, 0, 0xA1, 0xB2, 0, 0x02, 0x01, 0xD2, 0x04, 0x0C, 0xFE, 0, 0, 100, 0, 0,
                                     0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 3, 0, 0};
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
    const auto& l = s.link;
    EXPECT_EQ(std::make_tuple(l.ForzaPicco(1), l.QuotaPicco(1), l.ForzaCheckPoint(1, 1), l.ForzaCheckPoint(1, 5), l.ForzaCheckPoint(1, 6)),
              std::make_tuple(123.4f, -50.0f, 10.0f, -0.1f, 0.0f));
    EXPECT_EQ(std::make_tuple(l.CauseScarto(2), l.ValoreMinimo(2), l.ValoreMassimo(2), l.ValorePiccoPicco(2), l.ValoreMisurato(2)),
              std::make_tuple(7, -2.0f, 30.0f, 32.0f, 15.0f));
    EXPECT_EQ(std::make_tuple(l.CauseScarto(3), l.ValoreMisurato(3), l.CauseScartoCheckPoint(4), l.CauseScarto(7)),
              std::make_tuple(9, -3276.8f, 4, 0));
}

} // namespace
} // namespace zem
