// The editable model of each measure's work on the link: sizing by what the instrument reports,
// the flag bits, points and check points, and the refusal of indices out of range.
#include "tests/works/WorksFixture.h"

namespace zem {
namespace {

class Modello : public ::testing::Test, public test::WorksLink {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Apri());
        for (int m = 1; m <= 6; ++m) link.SvuotaBufferLavoro(m);
    }
};

TEST_F(Modello, PhasesFollowWhatTheInstrumentReports)
{
    // Plain measures have their works, measures in phases one work of their phases.
    const struct {
        int misura, fasi, lavori;
        bool selezionabili;
    } casi[] = {{1, 1, 3, true}, {2, 1, 2, true}, {3, 4, 1, false}, {4, 2, 1, false}, {5, 1, 0, false}};
    for (const auto& c : casi) {
        EXPECT_EQ(link.NumeroMassimoFasi(c.misura), c.fasi) << c.misura;
        EXPECT_EQ(link.TotaleLavori(c.misura), c.lavori) << c.misura;
        EXPECT_EQ(link.LavoriSelezionabili(c.misura), c.selezionabili) << c.misura;
        EXPECT_EQ(link.LavoroStrutturaModificata(c.misura), c.misura <= 4) << c.misura;
    }
    EXPECT_TRUE(link.SetTempoStart(3, 4, 1.0f));
    EXPECT_FALSE(link.SetTempoStart(3, 5, 1.0f));
    EXPECT_FALSE(link.SetTempoStart(1, 2, 1.0f));
    EXPECT_FALSE(link.SetTempoStart(5, 1, 1.0f));  // an unused measure has no phases
    // A reset gives fresh phases.
    link.SvuotaBufferLavoro(3);
    EXPECT_EQ(link.TempoStart(3, 4), 0.0f);
}

TEST_F(Modello, IndicesOutOfRangeAreRefused)
{
    for (const auto& [m, f] : {std::pair{0, 1}, {7, 1}, {1, 0}, {1, 2}, {-1, -1}}) {
        EXPECT_FALSE(link.SetForzaStop(m, f, 5.0f)) << m << "," << f;
        EXPECT_EQ(link.ForzaStop(m, f), 0.0f);
        EXPECT_FALSE(link.SetNomeFase(m, f, "X"));
        EXPECT_FALSE(link.SetFaseAbilitata(m, f, true));
        EXPECT_FALSE(link.FaseAbilitata(m, f));
        EXPECT_FALSE(link.AddPuntoInferiore(m, f, 1, 1));
        EXPECT_FALSE(link.ClearFascia(m, f));
        EXPECT_FALSE(link.EliminaCheckPoint(m, f));
    }
    EXPECT_FALSE(link.SetNomeLavoro(0, "X"));
    EXPECT_EQ(link.NomeLavoro(9), "");
    // Check points 1..5 (release 11), points 1..count.
    EXPECT_TRUE(link.SetCheckPointQuota(1, 1, 5, 2.0f));
    EXPECT_FALSE(link.SetCheckPointQuota(1, 1, 6, 2.0f));
    EXPECT_FALSE(link.SetCheckPointQuota(1, 1, 0, 2.0f));
    EXPECT_FALSE(link.SetCheckPointQuota(2, 1, 1, 2.0f));  // peak to peak has none
    ASSERT_TRUE(link.AddPuntoInferiore(1, 1, 3.0f, 4.0f));
    EXPECT_EQ(link.QuotaBordoInferiore(1, 1, 1), 3.0f);
    EXPECT_EQ(link.ForzaBordoInferiore(1, 1, 1), 4.0f);
    EXPECT_EQ(link.QuotaBordoInferiore(1, 1, 2), 0.0f);
    EXPECT_EQ(link.QuotaBordoInferiore(1, 1, 0), 0.0f);
}

TEST_F(Modello, EachFlagSetsOnlyItsOwnBit)
{
    const struct {
        const char* nome;
        bool (UCZEM2::*set)(int, int, bool);
        bool (UCZEM2::*get)(int, int) const;
        std::int16_t bit;
        bool flags;  // phase flags, else stop flags
    } casi[] = {
        {"FaseAbilitata", &UCZEM2::SetFaseAbilitata, &UCZEM2::FaseAbilitata, 1, true},
        {"QuoteRelative", &UCZEM2::SetQuoteRelative, &UCZEM2::QuoteRelative, 2, true},
        {"ArrestoQInizioMinima", &UCZEM2::SetArrestoQInizioMinima, &UCZEM2::ArrestoQInizioMinima, 1, false},
        {"ArrestoPkPkMassimo", &UCZEM2::SetArrestoPkPkMassimo, &UCZEM2::ArrestoPkPkMassimo, 2, false},
        {"ArrestoQInizioMassima", &UCZEM2::SetArrestoQInizioMassima, &UCZEM2::ArrestoQInizioMassima, 2, false},
        {"ArrestoValoreMinimo", &UCZEM2::SetArrestoValoreMinimo, &UCZEM2::ArrestoValoreMinimo, 4, false},
        {"ArrestoForzaBassa", &UCZEM2::SetArrestoForzaBassa, &UCZEM2::ArrestoForzaBassa, 4, false},
        {"ArrestoValoreMassimo", &UCZEM2::SetArrestoValoreMassimo, &UCZEM2::ArrestoValoreMassimo, 8, false},
        {"ArrestoForzaAlta", &UCZEM2::SetArrestoForzaAlta, &UCZEM2::ArrestoForzaAlta, 8, false},
        {"ArrestoTimeOut", &UCZEM2::SetArrestoTimeOut, &UCZEM2::ArrestoTimeOut, 128, false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        link.SvuotaBufferLavoro(1);
        link.SetArrestoTimeOut(1, 1, true);
        link.SetFaseAbilitata(1, 1, true);
        ASSERT_TRUE((link.*c.set)(1, 1, true));
        ASSERT_TRUE((link.*c.set)(1, 1, true));  // again: no change
        EXPECT_TRUE((link.*c.get)(1, 1));
        // The other bits stayed as they were: phase enabled, time-out stop.
        EXPECT_TRUE(link.FaseAbilitata(1, 1));
        EXPECT_TRUE(link.ArrestoTimeOut(1, 1));
        ASSERT_TRUE((link.*c.set)(1, 1, false));
        EXPECT_FALSE((link.*c.get)(1, 1));
        EXPECT_EQ(link.FaseAbilitata(1, 1), !(c.flags && c.bit == 1));
        EXPECT_EQ(link.ArrestoTimeOut(1, 1), c.flags || c.bit != 128);
    }
    EXPECT_FALSE(UCZEM2::ContaDopoReazione(1, 1));
}

TEST_F(Modello, BordersHoldAtMostThePointsOfTheRecord)
{
    ASSERT_EQ(link.NumeroMassimoPuntiFascia(1), 15);
    for (int k = 1; k <= 15; ++k) ASSERT_TRUE(link.AddPuntoSuperiore(1, 1, static_cast<float>(k), 10.0f)) << k;
    EXPECT_FALSE(link.AddPuntoSuperiore(1, 1, 16.0f, 10.0f));
    EXPECT_EQ(link.PuntiBordoSuperiore(1, 1), 15);
    EXPECT_EQ(link.QuotaBordoSuperiore(1, 1, 15), 15.0f);
    EXPECT_TRUE(link.AddPuntoInferiore(1, 1, 1.0f, 2.0f));
    ASSERT_TRUE(link.ClearFascia(1, 1));
    EXPECT_EQ(link.PuntiBordoSuperiore(1, 1), 0);
    EXPECT_EQ(link.PuntiBordoInferiore(1, 1), 0);
}

TEST_F(Modello, NamesCheckPointsAndAcquisitionPeriod)
{
    ASSERT_TRUE(link.SetNomeLavoro(1, "  STAMPO 4  "));
    EXPECT_EQ(link.NomeLavoro(1), "STAMPO 4");
    for (int p = 1; p <= 5; ++p) {
        link.SetCheckPointQuota(4, 2, p, 1.0f * p);
        link.SetCheckPointForzaMinima(4, 2, p, 2.0f * p);
        link.SetCheckPointForzaMassima(4, 2, p, 3.0f * p);
    }
    EXPECT_EQ(link.CheckPointForzaMassima(4, 2, 5), 15.0f);
    ASSERT_TRUE(link.EliminaCheckPoint(4, 2));
    for (int p = 1; p <= 5; ++p) {
        EXPECT_EQ(link.CheckPointQuota(4, 2, p), 0.0f);
        EXPECT_EQ(link.CheckPointForzaMinima(4, 2, p), 0.0f);
        EXPECT_EQ(link.CheckPointForzaMassima(4, 2, p), 0.0f);
    }
    ASSERT_TRUE(link.SetAcqPrescaler(2, 1, 10));
    EXPECT_FLOAT_EQ(link.usecAcquisizione(2, 1), 10 * 20 * 50.0f);
}

} // namespace
} // namespace zem
