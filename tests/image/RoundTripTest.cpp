// A profile's image written into a simulated instrument through the link, byte by byte as a send
// does, then read back by a fresh connection: the same measures, transducers and I/O.
#include "tests/image/Profili.h"

#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zem {
namespace {

// Name, release, configuration in PRAM.
using Strumenti = std::tuple<const char*, std::uint8_t, bool>;

class RoundTrip : public ::testing::TestWithParam<Strumenti>, public sim::SimulatedLink {
protected:
    RoundTrip() : memory(instrument, {.estensioni = std::get<1>(GetParam()), .configurazioneInPRAM = std::get<2>(GetParam())})
    {
        // An instrument in service: one measure of an earlier profile.
        sim::ImageSpec prima;
        prima.name = "VECCHIO";
        prima.measures.resize(1);
        prima.measures[0].type = 2;
        prima.measures[0].name = "VECCHIA";
        memory.CaricaConfigurazione(sim::BuildConfigurationImage(prima));
    }

    void Scrivi(const ProfiloZem& p, const DatiStrumento& d, bool mantieni)
    {
        const auto immagine = ImmagineMemoria::Costruisci(p, d, mantieni);
        ASSERT_TRUE(immagine);
        for (const ScritturaImmagine& s : immagine->scritture)
            ASSERT_TRUE(link.WriteConfigBytes(s.indirizzo, std::span<const std::uint8_t>(&s.valore, 1))) << s.indirizzo;
    }

    // The send's sequence: the instrument is opened and switched into update mode, the image goes in
    // one byte a write, update mode is left, and a new connection reads what is there.
    void Invia(const ProfiloZem& p)
    {
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        ASSERT_TRUE(link.SetUpdateMode(true));
        ASSERT_TRUE(link.UpdateMode());
        Scrivi(p, LeggiDatiStrumento(link, p), false);
        ASSERT_TRUE(link.SetUpdateMode(false));
        link.ChiudiComunicazione();
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        EXPECT_FALSE(link.UpdateMode());
    }

    sim::SimulatedMemory memory;
};

// Names and types read back are pinned by the send tests; here the records behind them.
TEST_P(RoundTrip, AMixedProfileReadsBackMeasureByMeasure)
{
    const ProfiloZem p = test::ProfiloMisto();
    Invia(p);
    const int tipi[] = {1, 2, 3, 0, 4, 0};
    for (int m = 1; m <= 6; ++m) EXPECT_EQ(link.TipoMisura(m), tipi[m - 1]) << m;
    EXPECT_EQ(std::pair(link.Misura(1).NumeroTrasduttoreX, link.Misura(1).NumeroTrasduttoreY), std::pair(1, 3));
    EXPECT_EQ(std::pair(link.Misura(5).NumeroTrasduttoreX, link.Misura(5).NumeroTrasduttoreY), std::pair(4, 6));
    EXPECT_EQ(link.Misura(2).NumeroTrasduttoreY, 5);
    EXPECT_TRUE(link.ConIngressoRemote(1) && link.GestioneFasi(3));
    EXPECT_EQ(link.Misura(2).numeroLavori, 3);
    EXPECT_EQ(link.Misura(3).dimensioneLavoro, 30u);
    EXPECT_EQ(link.Misura(2).NomeValoreMisura, "CORSA");
    EXPECT_EQ(link.Misura(2).decimaliTempo, 2);
    for (int n = 0; n < 8; ++n) {
        EXPECT_TRUE(link.FunzioneIngresso(n) == p.TipoIngresso(n) && link.MascheraIngresso(n) == p.MascheraIngresso(n)) << n;
        EXPECT_TRUE(link.FunzioneUscita(n) == p.TipoUscita(n) && link.MascheraUscita(n) == p.MascheraUscita(n)) << n;
    }
}

TEST_P(RoundTrip, TheCalibrationTheInstrumentHadSurvivesTheSend)
{
    // First send with a calibration written into the image, as an instrument in service has it.
    const ProfiloZem p = test::ProfiloMisto();
    Invia(p);
    DatiStrumento d = LeggiDatiStrumento(link, p);
    d.taratura[2] = {.gain = 1.2345f, .reverse = false, .offset = -40, .decimali = 2, .unita = 1};
    d.taratura[1].reverse = true;
    Scrivi(p, d, true);
    // A second send from what the link then reports carries it over unchanged.
    link.ChiudiComunicazione();
    Invia(p);
    EXPECT_EQ(std::tuple(link.Taratura()[2].offset, link.Taratura()[2].decimali, link.Taratura()[1].reverse), std::tuple(-40, 2, true));
    EXPECT_FLOAT_EQ(link.Misura(1).gainForza, 1.2345f);
}

INSTANTIATE_TEST_SUITE_P(Strumenti, RoundTrip,
                         ::testing::Values(Strumenti{"Release11Pram", 11, true}, Strumenti{"Release11Mailbox", 11, false},
                                           Strumenti{"Release10", 10, true}),
                         [](const auto& info) { return std::string(std::get<0>(info.param)); });

} // namespace
} // namespace zem
