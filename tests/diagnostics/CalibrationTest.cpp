// The calibration table read, edited, written with the restart and read back, at every layout level.
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zem {

namespace {

// Parameter: the layout level, 0 (header format "4") or the format "5" variant 1 or 2.
class Taratura : public ::testing::TestWithParam<int>, public sim::SimulatedLink {
protected:
    void SetUp() override
    {
        spec.format = GetParam() == 0 ? '4' : '5';
        spec.variant = static_cast<std::uint8_t>(std::max(1, GetParam()));
        spec.measures = {sim::MeasureSpec{}, sim::MeasureSpec{}};
        spec.option61 = 0x0B;  // no 0-10 V input in either group, no load cell in group 2
        spec.calibration = {{{1, 3, 12345, -300}, {2, 1, 20000, 5, true}, {0, 2, 10000, -40},
                             {3, 0, 5000, -32768}, {4, 4, 65535, 32767}, {1, 2, 30000, -2}}};
        model.Memory().CaricaConfigurazione(sim::BuildConfigurationImage(spec));
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        ASSERT_EQ(link.LivelloLayout(), GetParam());
        model.Memory().AzzeraScritture();
    }

    sim::ImageSpec spec;
};

TEST_P(Taratura, AnEditedTableIsWrittenTheInstrumentRestartedAndReadBackEqual)
{
    EXPECT_EQ(link.OffsetEncoder(2), -32768);
    EXPECT_FLOAT_EQ(link.GainADC010(2), 6.5535f);
    EXPECT_EQ(link.ReverseADC010(1), GetParam() != 0);
    EXPECT_EQ((std::array<bool, 5>{link.usaADC010(1), link.usaADC010(2), link.usaCella(1), link.usaCella(2), link.usaCella(3)}),
              (std::array<bool, 5>{false, false, true, false, true}));
    const auto letta = link.Taratura();

    ASSERT_TRUE(link.SetOffsetCella(2, -1234));
    ASSERT_TRUE(link.SetGainEncoder(1, 6.5535f));
    ASSERT_TRUE(link.SetGainCella(1, 0.0001f));
    ASSERT_TRUE(link.SetUM_ADC010(1, 3));
    ASSERT_TRUE(link.SetDecimaliCella(2, 4));
    ASSERT_TRUE(link.SetReverseADC010(2, true));
    auto attesa = link.Taratura();
    ASSERT_TRUE(link.ScriviValoriTaratura());
    EXPECT_EQ(model.Memory().Riavvii(), 1);

    if (GetParam() == 0) {
        // Only offsets and gains live in the measure records, each group in its own.
        for (std::size_t k = 0; k < 6; ++k) {
            attesa[k].unita = letta[k].unita;
            attesa[k].decimali = letta[k].decimali;
            attesa[k].reverse = false;
        }
        for (const auto& [indirizzo, valore] : model.Memory().ScrittureConfigurazione()) {
            const std::uint32_t g = indirizzo >= sim::RecordAddress(spec, 2) ? 2 : 1;
            const std::uint32_t o = indirizzo - sim::RecordAddress(spec, static_cast<int>(g));
            EXPECT_TRUE((o >= 7 && o < 13) || (o >= 39 && o < 45)) << indirizzo;
        }
    }
    ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
    EXPECT_EQ(link.Taratura(), attesa);
}

TEST_P(Taratura, ValuesTheFieldsCannotHoldAreRefusedWithNothingWritten)
{
    EXPECT_FALSE(link.SetOffsetEncoder(1, 32768));
    EXPECT_FALSE(link.SetOffsetCella(2, -32769));
    EXPECT_FALSE(link.SetUM_Cella(1, 5));
    EXPECT_FALSE(link.SetDecimaliADC010(1, -1));
    EXPECT_FALSE(link.SetGainCella(3, 1.0f));
    EXPECT_EQ(link.OffsetCella(0), 0);
    EXPECT_EQ(link.OffsetEncoder(1), -300);

    for (const float gain : {6.5536f, 6.55359f, -0.1f, NAN}) {
        ASSERT_TRUE(link.SetGainADC010(2, gain));
        endpoint.received.clear();
        EXPECT_FALSE(link.ScriviValoriTaratura()) << gain;
        EXPECT_TRUE(endpoint.received.empty());
    }
    if (GetParam() == 0) {
        // A second record starting inside the first one's calibration fields.
        model.Memory().Configurazione()[58] = 20;
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        EXPECT_FALSE(link.ScriviValoriTaratura());
    }
    EXPECT_TRUE(model.Memory().ScrittureConfigurazione().empty());
    EXPECT_EQ(model.Memory().Riavvii(), 0);
}

INSTANTIATE_TEST_SUITE_P(Livelli, Taratura, ::testing::Values(0, 1, 2));

} // namespace
} // namespace zem
