// Works moving between the link's model and the simulated instrument: the bytes a write leaves in
// the configuration memory and the order they go in, failures part-way, work selection on the
// wire, and reading works back.
#include "tests/works/WorksFixture.h"

namespace zem {
namespace {

using test::Bytes;
using test::Frame;

// Records of ProfiloLavori at release 11 in PRAM: 1 + 1 + 4 + 2 works keep 48 bytes after the 360
// of the configuration, blocks from 408 of 64, 66, 66 and 64 bytes: the press's 3 works from 668.
constexpr std::uint32_t kLavoriPressa = 668;
constexpr std::uint32_t kPressa = 283;

class Trasferimento : public ::testing::Test, public test::WorksLink {
protected:
    explicit Trasferimento(sim::SimulatedMemory::Options o = {}) : WorksLink(o) {}

    void SetUp() override
    {
        ASSERT_TRUE(Apri());
        for (int m = 1; m <= 4; ++m) link.SvuotaBufferLavoro(m);
        Dimentica();
    }

    static void PreparaPressa(UCZEM2& link)
    {
        link.SetNomeLavoro(1, "STAMPO A");
        link.SetForzaStop(1, 1, 100);
        link.SetLimiteForzaMax(1, 1, 150);
        link.SetQuotaStop(1, 1, 40);
        link.SetMaxPuntiCoda(1, 1, 7);
        link.SetArrestoForzaAlta(1, 1, true);
        link.SetCheckPointQuota(1, 1, 1, 20);
        link.SetCheckPointForzaMinima(1, 1, 1, 50);
        link.SetCheckPointForzaMassima(1, 1, 1, 60);
        link.AddPuntoInferiore(1, 1, 10, 20);
        link.AddPuntoInferiore(1, 1, 20, 20);
    }

    // The record the pure encoding gives for the press as PreparaPressa leaves it, rebuilt whole.
    Bytes Atteso()
    {
        const FormatoRecord formato{.tipo = 1, .livello = link.LivelloLayout(), .estensioni = link.Estensioni(),
                                    .puntiFascia = 15, .dimensione = kPressa};
        FaseLavoro f{.NomeFase = "", .ForzaStop = 100, .LimiteForzaMax = 150, .QuotaStop = 40,
                     .BordoInferiore = {{20, 10}, {20, 20}}, .BordoSuperiore = {}, .CheckPoints = {{}, {20, 50, 60}, {}, {}, {}, {}},
                     .FlagsArresto = FaseLavoro::kArrestoValoreMassimo, .MaxPuntiCoda = 7};
        auto r = RecordLavoro::Ricostruito(formato, f);
        f.Flags = FaseLavoro::kAbilitata;
        RecordLavoro::Applica(*r, *RecordLavoro::Campi(formato, 28, "STAMPO A", f, link.Scala(1)));
        return *r;
    }
};

// The same transfers with the configuration in PRAM and behind the memory mailbox.
class Memorie : public Trasferimento, public ::testing::WithParamInterface<bool> {
protected:
    Memorie() : Trasferimento({.configurazioneInPRAM = GetParam()}) {}
};

TEST_P(Memorie, ABlankRecordIsRebuiltWholeAndCommittedLast)
{
    PreparaPressa(link);
    works.SetOperazioneCorrente(1, 2);
    ASSERT_TRUE(link.ScriviLavoro(1, 2));
    const std::uint32_t a = kLavoriPressa + kPressa;
    const auto log = ScrittureIn(a, a + kPressa);
    // First the whole record, blank but for the level bytes (prescaler 1 at 50, queue 7 at 51).
    ASSERT_GT(log.size(), kPressa);
    for (std::uint32_t i = 0; i < kPressa; ++i) {
        ASSERT_EQ(log[i].first, a + i);
        ASSERT_EQ(log[i].second, i == 50 ? 1 : i == 51 ? 7 : 0) << i;
    }
    // Then the phase; the envelope offset and the phase-data offset close it.
    EXPECT_EQ(log[log.size() - 2], std::make_pair(a + 4, std::uint8_t{101}));
    EXPECT_EQ(log.back(), std::make_pair(a + 3, std::uint8_t{28}));
    EXPECT_EQ(Configurazione(a, kPressa), Atteso());
    // The other works were not touched; the instrument was told to reload the running work.
    EXPECT_EQ(link.IndirizzoRecordLavoro(1, 2), a);
    EXPECT_EQ(ScrittureIn(kLavoriPressa, a).size(), 0u);
    EXPECT_EQ(works.Selezioni(), (std::vector<sim::SimulatedWorks::Selezione>{{0, 2, true}}));
    EXPECT_EQ(works.ResetModifica(), std::vector<int>{0});
    EXPECT_FALSE(link.LavoroStrutturaModificata(1));
}

TEST_P(Memorie, ASecondWriteSendsOnlyThePhaseBetweenUncommitAndCommit)
{
    PreparaPressa(link);
    ASSERT_TRUE(link.ScriviLavoro(1, 1));
    Dimentica();
    link.SetForzaStop(1, 1, 120);
    ASSERT_TRUE(link.ScriviLavoro(1, 1));
    const auto log = ScrittureIn(kLavoriPressa, kLavoriPressa + kPressa);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), std::make_pair(kLavoriPressa + 3, std::uint8_t{0}));
    EXPECT_EQ(log.back(), std::make_pair(kLavoriPressa + 3, std::uint8_t{28}));
    // No rebuild: the curve bytes 0-2 are left alone and far fewer bytes go out.
    for (const auto& s : log) EXPECT_GE(s.first, kLavoriPressa + 3);
    EXPECT_LT(log.size(), 100u);
    EXPECT_EQ(Configurazione(kLavoriPressa + 29, 2), (Bytes{0x60, 0x09}));  // 120 x 20 = 2400

    // A changed structure rebuilds even a valid record.
    memory.Configurazione()[kLavoriPressa] = 0x55;  // a stored curve
    link.SvuotaBufferLavoro(1);
    PreparaPressa(link);
    ASSERT_TRUE(link.ScriviLavoro(1, 1));
    EXPECT_EQ(memory.Configurazione()[kLavoriPressa], 0);
}

TEST_F(Trasferimento, AWriteThatFailsPartWayLeavesTheRecordUncommitted)
{
    PreparaPressa(link);
    ASSERT_TRUE(link.ScriviLavoro(1, 1));
    const std::size_t scrittureFase = ScrittureIn(kLavoriPressa, kLavoriPressa + kPressa).size();
    // Whole rebuilds failing in the blank record, in the phase, and at the commit byte itself.
    for (const std::size_t n : {std::size_t{1}, std::size_t{150}, std::size_t{284}, std::size_t{300}, scrittureFase}) {
        SCOPED_TRACE(n);
        test::WorksLink w;
        ASSERT_TRUE(w.Apri());
        w.link.SvuotaBufferLavoro(1);
        PreparaPressa(w.link);
        w.memory.FallisciScrittura(n);
        EXPECT_FALSE(w.link.ScriviLavoro(1, 1));
        EXPECT_EQ(w.memory.Configurazione()[kLavoriPressa + 3], 0);
        EXPECT_TRUE(w.link.LavoroStrutturaModificata(1));
        EXPECT_TRUE(w.works.Selezioni().empty());
    }
    // A phase-only write failing part-way takes the commit away too, so the next one rebuilds.
    // It sends the uncommit, the phase's writes, and the commit.
    const std::size_t soloFase = scrittureFase - kPressa + 1;
    for (const std::size_t n : {std::size_t{2}, std::size_t{20}, soloFase}) {
        SCOPED_TRACE(n);
        link.SetForzaStop(1, 1, 90);
        memory.FallisciScrittura(n);
        EXPECT_FALSE(link.ScriviLavoro(1, 1));
        EXPECT_EQ(memory.Configurazione()[kLavoriPressa + 3], 0);
        Dimentica();
        ASSERT_TRUE(link.ScriviLavoro(1, 1));
        EXPECT_EQ(ScrittureIn(kLavoriPressa, kLavoriPressa + kPressa).front().first, kLavoriPressa);
        EXPECT_EQ(memory.Configurazione()[kLavoriPressa + 3], 28);
    }
}

TEST_F(Trasferimento, WorksThatCannotBeWrittenAreRefusedWithoutAWrite)
{
    EXPECT_FALSE(link.ScriviLavoro(1, 4));
    EXPECT_FALSE(link.ScriviLavoro(3, 2));  // a measure in phases has one work
    EXPECT_TRUE(endpoint.received.empty());
    // The instrument claims 100-byte press records.
    const std::uint32_t record = link.Misura(1).indirizzoRecord;
    memory.Configurazione()[record + 7] = 100;
    memory.Configurazione()[record + 8] = 0;
    ASSERT_TRUE(Apri());
    link.SvuotaBufferLavoro(1);
    Dimentica();
    EXPECT_FALSE(link.ScriviLavoro(1, 1));
    EXPECT_FALSE(link.LeggiLavoro(1, 1));
    EXPECT_TRUE(memory.ScrittureConfigurazione().empty());
}

TEST_F(Trasferimento, CambiaLavoroOnTheWire)
{
    ASSERT_TRUE(link.CambiaLavoro(2, 2));
    EXPECT_EQ(Requests(7), std::vector<Bytes>{Frame({7, 1, 2})});
    EXPECT_EQ(works.OperazioneCorrente(2), 2);
    EXPECT_EQ(link.OperazioneCorrente(2), 2);
    // Works past those stored, or of an unused measure, are not asked for.
    EXPECT_FALSE(link.CambiaLavoro(2, 3));
    EXPECT_FALSE(link.CambiaLavoro(5, 1));
    EXPECT_EQ(Count(7), 1u);
    // A measure in phases selects the operation it runs.
    endpoint.received.clear();
    works.SetOperazioneCorrente(3, 3);
    ASSERT_TRUE(link.CambiaLavoro(3, 9));
    EXPECT_EQ(Requests(35), (std::vector<Bytes>{Frame({35, 3})}));
    EXPECT_EQ(Requests(7), (std::vector<Bytes>{Frame({7, 2, 3})}));
    // An instrument that does not answer the operation gets no selection.
    endpoint.received.clear();
    works.SilenzioOperazione(4);
    EXPECT_FALSE(link.CambiaLavoro(3, 1));
    EXPECT_TRUE(Count(7) == 0);
}

TEST_P(Memorie, WorksReadBackAsTheyWereWritten)
{
    PreparaPressa(link);
    link.SetStopDelay(1, 1, 1.5f);
    ASSERT_TRUE(link.ScriviLavoro(1, 3));
    link.SetNomeLavoro(2, "PICCO B");
    link.SetTempoStop(2, 1, 2.0f);
    link.SetLimitePkPkMax(2, 1, 5.0f);
    ASSERT_TRUE(link.ScriviLavoro(2, 2));
    link.SetNomeLavoro(3, "ALTEZZE");
    for (int f = 1; f <= 4; ++f) {
        link.SetNomeFase(3, f, "FASE " + std::to_string(f));
        link.SetLimiteMax(3, f, 10.0f * f);
    }
    ASSERT_TRUE(link.ScriviLavoro(3, 1));

    for (int m = 1; m <= 4; ++m) link.SvuotaBufferLavoro(m);
    ASSERT_TRUE(link.LeggiLavoro(1, 3));
    EXPECT_EQ(link.NomeLavoro(1), "STAMPO A");
    EXPECT_FLOAT_EQ(link.StopDelay(1, 1), 1.5f);
    EXPECT_TRUE(link.ArrestoForzaAlta(1, 1));
    EXPECT_FLOAT_EQ(link.CheckPointForzaMassima(1, 1, 1), 60.0f);
    EXPECT_FLOAT_EQ(link.QuotaBordoInferiore(1, 1, 2), 20.0f);
    ASSERT_TRUE(link.LeggiLavoro(2, 2));
    EXPECT_FLOAT_EQ(link.TempoStop(2, 1), 2.0f);
    EXPECT_FLOAT_EQ(link.LimitePkPkMax(2, 1), 5.0f);
    ASSERT_TRUE(link.LeggiLavoro(3, 1));
    EXPECT_EQ(link.NomeLavoro(3), "ALTEZZE");
    for (int f = 1; f <= 4; ++f) {
        EXPECT_EQ(link.NomeFase(3, f), "FASE " + std::to_string(f));
        EXPECT_FLOAT_EQ(link.LimiteMax(3, f), 10.0f * f);
    }
    // Names are read where they were written: the work record, or the data block of a measure
    // in phases.
    EXPECT_EQ(link.LeggiNomeLavoro(2, 2), "PICCO B");
    EXPECT_EQ(link.LeggiNomeLavoro(1, 1), "");
    EXPECT_EQ(link.LeggiNomeLavoro(3, 1), "ALTEZZE");
}

INSTANTIATE_TEST_SUITE_P(Canali, Memorie, ::testing::Values(true, false),
                         [](const auto& i) { return i.param ? "PRAM" : "Mailbox"; });

} // namespace
} // namespace zem
