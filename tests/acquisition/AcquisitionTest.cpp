// Acquisition control: request frames, reported flags, blocking, stops deferred by a reception.
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedWorks.h"
#include "tests/SimLink.h"

namespace zem::test {
namespace {

class Acquisizione : public ChannelTest {
    void SetUp() override { ConnectToDefault(); }
};

TEST_P(Acquisizione, EachCommandGoesOnTheWireAsItsFrameAndOutOfRangeMeasuresSendNothing)
{
    const std::vector<std::pair<std::function<bool()>, Bytes>> casi{
        {[&] { return link.AbilitaAcquisizione(2); }, {18, 1, 1}},
        {[&] { return link.DisabilitaAcquisizione(2); }, {18, 1, 0}},
        {[&] { return link.Riparti(3); }, {29, 2, 0}},
        {[&] { return link.SetModificaRemota(1); }, {6, 0, 1}},
        {[&] { return link.ClearFlagModifiche(6); }, {8, 5, 255}},
        {[&] { return link.ResetCurveDaTrattare(3); }, {16, 2}},
        {[&] { return link.LeggiCurveDaTrattare(3).has_value(); }, {16}},
        {[&] { return link.LeggiLavoroModificato(1).has_value(); }, {4}},
        {[&] { return link.ArrestaMisura(0); }, {2, 0}},
        {[&] { return link.AbilitaAcquisizione(0); }, {}},
        {[&] { return link.ArrestaMisura(7); }, {}},
        {[&] { return link.LeggiValori(0); }, {}},
    };
    for (const auto& [chiamata, payload] : casi) {
        Forget();
        EXPECT_EQ(chiamata(), !payload.empty()) << ::testing::PrintToString(payload);
        EXPECT_EQ(Requests(), payload.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{Frame(payload)});
    }
}

TEST_P(Acquisizione, FlagsAndBlockingAreReadFromTheMeasureTheyBelongTo)
{
    auto& acq = model.Acquisition();
    acq.curveDaTrattare = 0x04;
    EXPECT_EQ(link.LeggiCurveDaTrattare(3), true);
    EXPECT_EQ(link.LeggiCurveDaTrattare(2), false);
    acq.byteStato = 6;
    acq.misure[5].lavoroModificato = true;
    EXPECT_EQ(link.LeggiLavoroModificato(6), true);
    ASSERT_TRUE(link.ClearFlagModifiche(6));
    EXPECT_EQ(link.LeggiLavoroModificato(6), false);
    acq.byteStato = 2;
    EXPECT_FALSE(link.LeggiLavoroModificato(3));

    acq.misure[1].pezzoInLavorazione = true;
    EXPECT_EQ(link.BloccaStrumento(), false);
    acq.misure[1].pezzoInLavorazione = false;
    EXPECT_EQ(link.BloccaStrumento(), true);
    EXPECT_TRUE(acq.misure[0].bloccata && acq.misure[1].bloccata);
}

TEST_P(Acquisizione, AStopDuringAReceptionGoesOutWhenItEndsUnlessTheMeasureIsStoppedAlready)
{
    curves.SetCurve(1, std::vector<sim::SimulatedCurves::Point>(30, {5, 7}));
    ASSERT_TRUE(link.RichiediCurva(1));
    Forget();
    EXPECT_TRUE(link.ArrestaMisura(2));
    EXPECT_TRUE(link.ArrestaMisura(0));
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(link.ArrestoInSospeso(0));
    EXPECT_FALSE(link.ArrestoInSospeso(2));
    ASSERT_TRUE(link.AspettaPerRicezioneInCorso());
    EXPECT_EQ(model.Acquisition().Arresti(), std::vector<int>{0});
    EXPECT_FALSE(link.ArrestoInSospeso(0));

    for (const bool riparti : {false, true}) {
        ASSERT_TRUE(!riparti || link.Riparti(1));
        ASSERT_TRUE(link.RichiediCurva(1));
        EXPECT_TRUE(link.ArrestaMisura(1));
        ASSERT_TRUE(link.AspettaPerRicezioneInCorso());
        EXPECT_FALSE(link.ArrestoInSospeso(1));
    }
    EXPECT_EQ(model.Acquisition().Arresti(), (std::vector<int>{0, 1}));
}

TEST_P(Acquisizione, StoredCurvesKeepThePieceInWorkUntilTheMeasureIsSelectedAndAreCleared)
{
    sim::SimulatedWorks works{instrument, memory};
    works.SetOperazioneCorrente(1, 1);
    const std::array<std::uint8_t, 6> tabella{0x00, 0x00, 0x06, 0x00, 0x01, 0x00};  // curves at 0x60000, 256 bytes each
    std::copy(tabella.begin(), tabella.end(), memory.Configurazione().begin() + 0x168);
    memory.PRAM()[0x60000] = 1;
    model.Acquisition().misure[0].risultatiPronti = true;
    bool valido = false;
    ASSERT_TRUE(link.LeggiInfoMisure(valido));

    EXPECT_EQ(link.ScaricaCurveInMemoria(1), true);
    EXPECT_TRUE(link.RichiestaCurva(1, 1));
    bool inLavorazione = false;
    Forget();
    EXPECT_TRUE(link.LeggiPezzoInLavorazione(1, inLavorazione) && inLavorazione);
    EXPECT_TRUE(Requests().empty());
    ASSERT_TRUE(link.SelezionaMisura(1));
    EXPECT_TRUE(link.LeggiPezzoInLavorazione(1, inLavorazione));
    EXPECT_FALSE(inLavorazione);

    ASSERT_TRUE(link.CancellaCurveInMemoria(1));
    EXPECT_EQ(link.ScaricaCurveInMemoria(1), false);
}

INSTANTIATE_TEST_SUITE_P(Canali, Acquisizione, ::testing::Values(false, true), ChannelName);

} // namespace
} // namespace zem::test
