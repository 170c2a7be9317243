// The editable model of each measure's work on the link: sized by what the instrument reports,
// flag bits that share a word, bounded borders, and indices out of range refused.
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
    EXPECT_FALSE(link.SetTempoStart(5, 1, 1.0f));  // an unused measure has no phases
    link.SvuotaBufferLavoro(3);
    EXPECT_EQ(link.TempoStart(3, 4), 0.0f);
}

TEST_F(Modello, EachFlagSetsOnlyItsOwnBit)
{
    const struct {
        bool (UCZEM2::*set)(int, int, bool);
        bool (UCZEM2::*get)(int, int) const;
        std::int16_t bit;
        bool fase;  // phase flags, else stop flags
    } casi[] = {
        {&UCZEM2::SetFaseAbilitata, &UCZEM2::FaseAbilitata, 1, true},
        {&UCZEM2::SetQuoteRelative, &UCZEM2::QuoteRelative, 2, true},
        {&UCZEM2::SetArrestoQInizioMinima, &UCZEM2::ArrestoQInizioMinima, 1, false},
        {&UCZEM2::SetArrestoPkPkMassimo, &UCZEM2::ArrestoQInizioMassima, 2, false},
        {&UCZEM2::SetArrestoForzaBassa, &UCZEM2::ArrestoValoreMinimo, 4, false},
        {&UCZEM2::SetArrestoValoreMassimo, &UCZEM2::ArrestoForzaAlta, 8, false},
        {&UCZEM2::SetArrestoTimeOut, &UCZEM2::ArrestoTimeOut, 128, false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.bit);
        link.SvuotaBufferLavoro(1);
        link.SetArrestoTimeOut(1, 1, true);
        link.SetFaseAbilitata(1, 1, true);
        ASSERT_TRUE((link.*c.set)(1, 1, true));
        ASSERT_TRUE((link.*c.set)(1, 1, true));  // the value it has: no change
        EXPECT_TRUE((link.*c.get)(1, 1));  // and its other name reads the same bit
        EXPECT_TRUE(link.FaseAbilitata(1, 1));
        EXPECT_TRUE(link.ArrestoTimeOut(1, 1));
        ASSERT_TRUE((link.*c.set)(1, 1, false));
        EXPECT_FALSE((link.*c.get)(1, 1));
        EXPECT_EQ(link.FaseAbilitata(1, 1), !(c.fase && c.bit == 1));
        EXPECT_EQ(link.ArrestoTimeOut(1, 1), c.fase || c.bit != 128);
    }
}

TEST_F(Modello, BordersHoldAtMostThePointsOfTheRecordAndNamesAreTrimmed)
{
    ASSERT_EQ(link.NumeroMassimoPuntiFascia(1), 15);
    for (int k = 1; k <= 15; ++k) ASSERT_TRUE(link.AddPuntoSuperiore(1, 1, static_cast<float>(k), 10.0f)) << k;
    EXPECT_FALSE(link.AddPuntoSuperiore(1, 1, 16.0f, 10.0f));
    EXPECT_EQ(link.PuntiBordoSuperiore(1, 1), 15);
    EXPECT_EQ(link.QuotaBordoSuperiore(1, 1, 15), 15.0f);
    ASSERT_TRUE(link.ClearFascia(1, 1));
    EXPECT_EQ(link.PuntiBordoSuperiore(1, 1), 0);
    ASSERT_TRUE(link.SetNomeLavoro(1, "  STAMPO 4  "));
    EXPECT_EQ(link.NomeLavoro(1), "STAMPO 4");
    ASSERT_TRUE(link.SetAcqPrescaler(2, 1, 10));
    EXPECT_FLOAT_EQ(link.usecAcquisizione(2, 1), 10 * 20 * 50.0f);
}

} // namespace
} // namespace zem
