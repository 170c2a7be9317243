// A profile's image written into a simulated instrument through the link, byte by byte as a send
// does, then read back by a fresh connection: the same name, measures, transducers and I/O.
#include "tests/image/Profili.h"

#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <gtest/gtest.h>


namespace zem {
namespace {

struct Strumenti {
    const char* nome;
    sim::SimulatedMemory::Options opzioni;
};

sim::SimulatedMemory::Options Opzioni(std::uint8_t estensioni, bool inPRAM)
{
    sim::SimulatedMemory::Options o;
    o.estensioni = estensioni;
    o.configurazioneInPRAM = inPRAM;
    return o;
}

class RoundTrip : public ::testing::TestWithParam<Strumenti>, public sim::SimulatedLink {
protected:
    RoundTrip() : memory(instrument, GetParam().opzioni)
    {
        // An instrument in service: one measure of an earlier profile.
        sim::ImageSpec prima;
        prima.name = "VECCHIO";
        sim::MeasureSpec vecchia;
        vecchia.type = 2;
        vecchia.name = "VECCHIA";
        prima.measures = {vecchia};
        memory.CaricaConfigurazione(sim::BuildConfigurationImage(prima));
    }

    // The send's sequence: the instrument is opened and switched into update mode (a blank one
    // waits there already), the image goes in one byte a write, update mode is left, and a new
    // connection reads what is there.
    void Invia(const ProfiloZem& p, bool vuota = false)
    {
        if (vuota) memory.SetUpdateMode(true);
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        if (!vuota) {
            ASSERT_TRUE(link.SetUpdateMode(true));
        }
        ASSERT_TRUE(link.UpdateMode());
        const auto immagine = ImmagineMemoria::Costruisci(p, LeggiDatiStrumento(link, p), false);
        ASSERT_TRUE(immagine);
        for (const ScritturaImmagine& s : immagine->scritture)
            ASSERT_TRUE(link.WriteConfigBytes(s.indirizzo, std::span<const std::uint8_t>(&s.valore, 1))) << s.indirizzo;
        ASSERT_TRUE(link.SetUpdateMode(false));
        link.ChiudiComunicazione();
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
        EXPECT_FALSE(link.UpdateMode());
    }

    sim::SimulatedMemory memory;
};

// The I/O tables read back are the profile's.
void VerificaIngressiUscite(const UCZEM2& link, const ProfiloZem& p)
{
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(link.FunzioneIngresso(n), p.TipoIngresso(n)) << n;
        EXPECT_EQ(link.FunzioneUscita(n), p.TipoUscita(n)) << n;
        EXPECT_EQ(link.MascheraIngresso(n), p.MascheraIngresso(n)) << n;
        EXPECT_EQ(link.MascheraUscita(n), p.MascheraUscita(n)) << n;
    }
}

TEST_P(RoundTrip, AMixedProfileReadsBackMeasureByMeasure)
{
    const ProfiloZem p = test::ProfiloMisto();
    Invia(p);
    EXPECT_EQ(link.Nome(), "LINEA 4 PRESSE");
    EXPECT_EQ(link.NumeroMisure(), 4);
    // The reader keeps 15 characters of a name.
    EXPECT_EQ(link.NomeMisura(1), "CALETTAMENTO CU");
    EXPECT_EQ(link.NomeMisura(5), "CILINDRO");
    const int tipi[] = {1, 2, 3, 0, 4, 0};
    for (int m = 1; m <= 6; ++m) EXPECT_EQ(link.TipoMisura(m), tipi[m - 1]) << m;
    EXPECT_EQ(std::pair(link.Misura(1).NumeroTrasduttoreX, link.Misura(1).NumeroTrasduttoreY), std::pair(1, 3));
    EXPECT_EQ(std::pair(link.Misura(5).NumeroTrasduttoreX, link.Misura(5).NumeroTrasduttoreY), std::pair(4, 6));
    EXPECT_EQ(link.Misura(2).NumeroTrasduttoreY, 5);
    EXPECT_TRUE(link.ConIngressoRemote(1));
    EXPECT_TRUE(link.GestioneFasi(3));
    EXPECT_EQ(link.Misura(2).numeroLavori, 3);
    EXPECT_EQ(link.Misura(3).dimensioneLavoro, 30u);
    EXPECT_EQ(link.Misura(2).NomeValoreMisura, "CORSA");
    EXPECT_EQ(link.Misura(2).decimaliTempo, 2);
    VerificaIngressiUscite(link, p);
}

TEST_P(RoundTrip, TheCalibrationTheInstrumentHadSurvivesTheSend)
{
    // First send with a calibration written into the image, as an instrument in service has it.
    const ProfiloZem p = test::ProfiloMisto();
    Invia(p);
    DatiStrumento d = LeggiDatiStrumento(link, p);
    d.taratura[2] = {.gain = 1.2345f, .reverse = false, .offset = -40, .decimali = 2, .unita = 1};
    d.taratura[1].reverse = true;
    const auto immagine = ImmagineMemoria::Costruisci(p, d, true);
    ASSERT_TRUE(immagine);
    for (const ScritturaImmagine& s : immagine->scritture)
        ASSERT_TRUE(link.WriteConfigBytes(s.indirizzo, std::span<const std::uint8_t>(&s.valore, 1)));
    // A second send from what the link then reports carries it over unchanged.
    link.ChiudiComunicazione();
    Invia(p);
    EXPECT_EQ(link.Taratura()[2].offset, -40);
    EXPECT_EQ(link.Taratura()[2].decimali, 2);
    EXPECT_TRUE(link.Taratura()[1].reverse);
    EXPECT_FLOAT_EQ(link.Misura(1).gainForza, 1.2345f);
}

// A blank instrument is found in update mode and written without a configuration read first (its
// configuration lies in PRAM: the mailbox size comes only with a full version reply).
TEST(RoundTripBlank, ABlankInstrumentTakesTheDefaultTemplate)
{
    sim::SimulatedLink l;
    sim::SimulatedMemory memory(l.instrument);
    memory.SetUpdateMode(true);
    ProfiloZem p;
    ASSERT_TRUE(p.ApriFile(test::Percorso("profile/templates/Default.ZemP")));
    ASSERT_TRUE(l.link.ApriComunicazioneETH(l.kHost, l.kPort));
    const auto immagine = ImmagineMemoria::Costruisci(p, LeggiDatiStrumento(l.link, p), false);
    ASSERT_TRUE(immagine);
    for (const ScritturaImmagine& s : immagine->scritture)
        ASSERT_TRUE(l.link.WriteConfigBytes(s.indirizzo, std::span<const std::uint8_t>(&s.valore, 1)));
    EXPECT_EQ(memory.Configurazione()[4], 0x83);
    ASSERT_TRUE(l.link.SetUpdateMode(false));
    l.link.ChiudiComunicazione();
    ASSERT_TRUE(l.link.ApriComunicazioneETH(l.kHost, l.kPort));
    EXPECT_EQ(l.link.NomeMisura(1), "Press");
    EXPECT_EQ(l.link.FunzioneIngresso(3), 7);  // top dead course
    // The blank instrument reported no version, so the image was laid out for the default sizes.
    EXPECT_EQ(l.link.Misura(1).indirizzoRecord, 366u);
}

INSTANTIATE_TEST_SUITE_P(Strumenti, RoundTrip,
                         ::testing::Values(Strumenti{"Release11Pram", Opzioni(11, true)},
                                           Strumenti{"Release11Mailbox", Opzioni(11, false)},
                                           Strumenti{"Release10", Opzioni(10, true)}),
                         [](const auto& info) { return std::string(info.param.nome); });

} // namespace
} // namespace zem
