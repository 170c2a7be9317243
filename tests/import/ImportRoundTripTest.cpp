#include "tests/image/Profili.h"

#include "main/DecodificaProfilo.h"
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

struct Strumento : sim::SimulatedLink {
    Strumento(std::uint8_t estensioni, bool inPRAM)
        : memory(instrument, {.estensioni = estensioni, .configurazioneInPRAM = inPRAM})
    {
        memory.CaricaConfigurazione(sim::BuildConfigurationImage({.measures = {{.type = 2}}}));
    }
    void Scrivi(const ImmagineMemoria& immagine)
    {
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort) && link.SetUpdateMode(true));
        for (const ScritturaImmagine& s : immagine.scritture)
            ASSERT_TRUE(link.WriteConfigBytes(s.indirizzo, std::span<const std::uint8_t>(&s.valore, 1)));
        ASSERT_TRUE(link.SetUpdateMode(false));
        link.ChiudiComunicazione();
        ASSERT_TRUE(link.ApriComunicazioneETH(kHost, kPort));
    }
    sim::SimulatedMemory memory;
};

// Every field the memory keeps exactly: general ones as measure 0, a measure's by its type.
auto Conservati(const ProfiloZem& p, int m, bool recente)
{
    if (m == 0) return std::tuple(p.Nome, int{p.TipoSinottico}, std::vector<int>{p.IndirizzoRS485, p.nInputDato, p.nInputClock, p.nOutputClear}, false, false, false, false, 0, 0, std::string(), 0, 0, 0, false, false, false, 0, 0);
    const int t = p.TipoMisura(m);
    std::vector<int> io;
    for (int k = 1; t != 0 && k <= 16; ++k) io.push_back(p.nInput(m, k));
    for (int k = 1; t != 0 && k <= 12; ++k) io.push_back(recente || k != 11 ? p.nOutput(m, k) : 0);
    const bool pressa = t == 1 || t == 4, uno = t == 1;
    return std::tuple(p.NomeMisura(m), t, io, t && p.ExternalStop(m), t && p.RequireComputer(m), t && p.ConFasi(m),
                      t && p.SelOpOnStart(m), t ? p.OperazioniSelezionabili(m) : 0, t ? p.TrasduttoreY(m) : 0,
                      pressa ? std::string() : p.NomeValore(m), pressa ? p.TrasduttoreX(m) : 0,
                      pressa ? p.ForzaMassimaAssoluta(m) : 0, pressa ? p.PresetPositionTrasd(m) : 0,
                      pressa && p.AutoOffset(m), pressa && p.AspettaQuotaZero(m), uno && p.QuotaInizioOnStart(m),
                      uno ? p.CoeffA(m) : 0, uno ? p.CoeffB(m) : 0);
}

class ImportRoundTrip : public ::testing::TestWithParam<std::pair<int, bool>> {};

TEST_P(ImportRoundTrip, AClonedInstrumentHoldsTheSameConfigurationButForTheCurveShares)
{
    const auto [estensioni, inPRAM] = GetParam();
    ProfiloZem modello;
    ASSERT_TRUE(modello.ApriFile(test::Percorso("profile/templates/Default.ZemP")));
    for (const char* percorso : {"profile/templates/Default.ZemP", "profile/examples/PressLine3.zemp", ""}) {
        SCOPED_TRACE(percorso);
        ProfiloZem p = test::ProfiloMisto();
        if (*percorso) ASSERT_TRUE(p.ApriFile(test::Percorso(percorso)));
        Strumento primo(estensioni, inPRAM), secondo(estensioni, inPRAM);
        ASSERT_TRUE(primo.link.ApriComunicazioneETH(primo.kHost, primo.kPort));
        const DatiStrumento dati = LeggiDatiStrumento(primo.link, p);
        const auto immagine = ImmagineMemoria::Costruisci(p, dati, false);
        ASSERT_TRUE(immagine);
        primo.Scrivi(*immagine);

        const auto letto = DecodificaProfilo::Leggi(primo.link, modello);
        ASSERT_TRUE(letto.profilo) << letto.errore;
        const ProfiloZem& copia = *letto.profilo;
        for (int m = 0; m <= 6; ++m) EXPECT_EQ(Conservati(p, m, estensioni > 10), Conservati(copia, m, estensioni > 10)) << m;

        const auto clone = ImmagineMemoria::Costruisci(copia, dati, false);
        ASSERT_TRUE(clone && clone->scritture.size() == immagine->scritture.size());
        secondo.Scrivi(*clone);
        // The shares come from the curve durations, which the memory does not keep: the curve
        // table and the record bytes that repeat it are left out.
        const IndirizziMemoria& ind = immagine->indirizzi;
        auto quota = [&](std::uint32_t a) {
            bool q = a >= IndirizziMemoria::kTabellaCurve && a < DecodificaProfilo::kFineGenerale;
            for (int m = 1, t = p.TipoMisura(1); m <= 6; t = p.TipoMisura(std::min(++m, 6)))
                q = q || (t != 0 && a - ind.indirizzoRecord[m - 1] - (t == 2 || t == 3 ? 25 : 31) < 6);
            return q;
        };
        for (const ScritturaImmagine& s : clone->scritture)
            if (!quota(s.indirizzo))
                EXPECT_EQ(primo.memory.Configurazione()[s.indirizzo], secondo.memory.Configurazione()[s.indirizzo]) << s.indirizzo;
    }
}

INSTANTIATE_TEST_SUITE_P(Strumenti, ImportRoundTrip,
                         ::testing::Values(std::pair(11, true), std::pair(11, false), std::pair(10, true)));

} // namespace
} // namespace zem
