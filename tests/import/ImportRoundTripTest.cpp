// Cloning: P sent to a blank instrument, read back as P', P' sent to another blank instrument; the
// two memories must match byte for byte.
#include "tests/send/SendSite.h"

#include "main/ImportaProfilo.h"

namespace zem::test {
namespace {

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

struct Banco {
    int estensioni;
    bool mailbox;
};

class ImportRoundTrip : public ::testing::TestWithParam<Banco> {};

TEST_P(ImportRoundTrip, AClonedBlankInstrumentHoldsTheSameMemoryByteForByte)
{
    const auto [estensioni, mailbox] = GetParam();
    ProfiloZem modello;
    ASSERT_TRUE(modello.ApriFile(Percorso("profile/templates/Default.ZemP")));
    ProfiloZem terzo = ProfiloMisto();  // other shares: the last measure in use has operations
    terzo.SetNomeMisura(6, "SPINTA"), terzo.SetTipoMisura(6, 2), terzo.SetConFasi(6, true), terzo.SetOperazioniSelezionabili(6, 7), terzo.SetDurataCurve(6, 0.3f);
    std::vector<ProfiloZem> profili(4, ProfiloMisto());
    ASSERT_TRUE(profili[0].ApriFile(Percorso("profile/templates/Default.ZemP")) && profili[1].ApriFile(Percorso("profile/examples/PressLine3.zemp")));
    profili[3] = terzo;
    for (const ProfiloZem& p : profili) {
        SCOPED_TRACE(p.Nome);
        SendSite primo(mailbox), secondo(mailbox);
        for (SendSite* s : {&primo, &secondo}) s->bench.memory.Opzioni().estensioni = static_cast<std::uint8_t>(estensioni);
        ASSERT_EQ(primo.Send(p, sim::BenchInstrument::UsbKey(), {ui::MsgAnswer::Yes, ui::MsgAnswer::Yes}), SendOutcome::Succeeded) << ::testing::PrintToString(primo.host.MessageTexts());

        primo.statuses.clear();
        const auto letto = ImportaProfilo(primo.host, primo.platform.Platform(), primo).Run(modello, sim::BenchInstrument::UdpKey());
        ASSERT_TRUE(letto.profilo) << letto.errore;
        // The bar runs over the measures' bytes to its end, not past it.
        EXPECT_EQ(primo.statuses, (std::vector<std::string>{"Reading the instrument's settings", "Reading the measures"}));
        EXPECT_EQ(primo.value, primo.maximum);
        for (int m = 0; m <= 6; ++m) EXPECT_EQ(Conservati(p, m, estensioni > 10), Conservati(*letto.profilo, m, estensioni > 10)) << m;
        // Typed durations come back as typed (the measures in use; one simplex measure at most here).
        for (int m = 1; m <= 6; ++m)
            if (p.TipoMisura(m) != 0) { EXPECT_EQ(p.DurataCurve(m), letto.profilo->DurataCurve(m)) << m; }
        EXPECT_EQ(ImportaProfilo::ElencoNonLetti(letto).dettagli.find("worked out from the curve memory shares") != std::string::npos,
                  !letto.ricavati.empty());

        ASSERT_EQ(secondo.Send(*letto.profilo, sim::BenchInstrument::UsbKey(), {ui::MsgAnswer::Yes, ui::MsgAnswer::Yes}), SendOutcome::Succeeded);
        EXPECT_TRUE(primo.bench.memory.Configurazione() == secondo.bench.memory.Configurazione());
    }
}

// A memory in the previous format would decode to garbage: it is refused and told, on both paths;
// a stop asked for (a signal) ends the import before its first read, and is told too.
TEST(ImportOlderFormat, IsRefusedWithItsOwnMessage)
{
    for (const auto& [mailbox, stop] : {std::pair(false, false), std::pair(true, false), std::pair(false, true)}) {
        SendSite s(mailbox);
        s.InService(stop ? '5' : '4'), s.stop = stop;
        const auto letto = ImportaProfilo(s.host, s.platform.Platform(), s).Run(ProfiloZem{}, sim::BenchInstrument::UsbKey());
        EXPECT_FALSE(letto.profilo);
        EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{stop ? DecodificaProfilo::kFermato : DecodificaProfilo::kFormatoVecchio});
    }
}

INSTANTIATE_TEST_SUITE_P(Strumenti, ImportRoundTrip, ::testing::Values(Banco{11, false}, Banco{11, true}, Banco{10, false}),
                         [](const auto& info) { return std::string(info.param.mailbox ? "Mailbox" : "Pram") + std::to_string(info.param.estensioni); });

} // namespace
} // namespace zem::test
