// Diagnostic commands: request bytes on the wire and reply decoding.
#include "tests/SimLink.h"

namespace zem::test {
namespace {

class Diagnostica : public ChannelTest {
    void SetUp() override { ConnectToDefault(); }
};

TEST_P(Diagnostica, EachCommandGoesOnTheWireAsItsFrameAndOutOfRangeIndicesSendNothing)
{
    ASSERT_TRUE(link.SetDiagnosticMode(true));
    // An empty payload: refused without sending.
    const std::vector<std::pair<std::function<bool()>, Bytes>> casi{
        {[&] { return link.SetDiagnosticMode(false); }, {20, 0}},
        {[&] { return link.LeggiIngressiUscite().has_value(); }, {21}},
        {[&] { return link.ForzaUscita(3, true); }, {22, 3, 1}},
        {[&] { return link.LeggiTrasduttori().has_value(); }, {23}},
        {[&] { return link.LeggiStatoSeriale().has_value(); }, {31}},
        {[&] { return link.LeggiIngressiAux(2); }, {36, 2, 0, 0}},
        {[&] { return link.SegnalazioneAbilitazioneUscitaAux(1, 2, true); }, {36, 1, 0, 128}},
        {[&] { return link.CambiaUscitaAuxA(1, 3, true); }, {36, 1, 0x40, 0}},
        {[&] { return link.CambiaUscitaAuxA(6, 3, false); }, {36, 6, 0x04, 0}},
        // Fast range at 0.2 s, pattern 3 x 2; 3 s is slow index round(6) - 1 = 5, limited to 3.
        {[&] { return link.AttivaUscitaAuxLampeggiante(1, 1, 0.2f, 3, false); }, {36, 1, 0, 3 * 16 + 6}},
        {[&] { return link.AttivaUscitaAuxLampeggiante(1, 1, 3.0f, -1, true); }, {36, 1, 0, 7 * 16 + 15 + 128}},
        {[&] { return link.AttivaUscitaAuxLampeggiante(1, 1, 1.0f, 9, false); }, {36, 1, 0, 5 * 16 + 14}},
        {[&] { return link.AttivaUscitaAuxLampeggiante(1, 1, 3.0f, 0, false); }, {36, 1, 0, 112}},
        {[&] { return link.ForzaUscita(8, true); }, {}},
        {[&] { return link.CambiaUscitaAuxA(1, 5, true); }, {}},
        {[&] { return link.LeggiIngressiAux(0); }, {}},
    };
    for (const auto& [chiamata, payload] : casi) {
        link.SetDiagnosticMode(true);
        Forget();
        EXPECT_EQ(chiamata(), !payload.empty()) << ::testing::PrintToString(payload);
        EXPECT_EQ(Requests(), payload.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{Frame(payload)});
    }
}

TEST_P(Diagnostica, TransducerRepliesDecodeOnlyTheBytesTheyHold)
{
    const std::vector<std::pair<Bytes, std::optional<Trasduttori>>> casi{
        // Complemented high bytes: FF 12 is 18; 13 payload bytes leave A4 at 0.
        {{1, 0, 0, 0xFF, 0xFF, 0xFF, 0x12, 0xFF, 0x34, 0x02, 0xFF, 0x8F, 0x77},
         Trasduttori{18, 0x70FF, 0x0234, 0, 1, -1}},
        {{0, 0, 0x80, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0xFF, 0x0F},
         Trasduttori{0, 0, 0, 0x0FFF, -8388608, 8388607}},
        {Bytes(12, 0), std::nullopt},
    };
    for (const auto& [risposta, atteso] : casi) {
        instrument.SetCommand(23, [&](auto) { return std::optional(risposta); });
        EXPECT_EQ(link.LeggiTrasduttori(), atteso);
    }
}

TEST_P(Diagnostica, OutputsFollowForcingOnlyInDiagnosticModeAndAReceptionGetsTheLastValues)
{
    model.Diagnostics().ingressi = 0xA5;
    EXPECT_FALSE(link.ForzaUscita(3, true));
    ASSERT_TRUE(link.SetDiagnosticMode(true));
    ASSERT_TRUE(link.ForzaUscita(3, true));
    EXPECT_EQ(link.LeggiIngressiUscite(), (IngressiUscite{0xA5, 0x08}));

    model.Diagnostics().ingressi = 0;
    link.TimerAquireEth.Enabled = true;
    Forget();
    EXPECT_EQ(link.LeggiIngressiUscite(), (IngressiUscite{0xA5, 0x08}));
    EXPECT_TRUE(Requests().empty());
    link.TimerAquireEth.Enabled = false;
    EXPECT_EQ(link.LeggiIngressiUscite(), (IngressiUscite{0, 0x08}));
}

TEST_P(Diagnostica, AShortSerialStatusIsRefusedAndAuxiliaryRepliesAreKept)
{
    instrument.SetCommand(31, [](auto) { return std::optional(Bytes(14, 0)); });
    EXPECT_FALSE(link.LeggiStatoSeriale());

    model.Diagnostics().ingressiAux[1] = 0x05;
    ASSERT_TRUE(link.CambiaUscitaAuxA(2, 2, true));
    ASSERT_TRUE(link.SegnalazioneAbilitazioneUscitaAux(2, 0, true));
    EXPECT_EQ(link.IngressiAux(2), 5);
    EXPECT_EQ(link.UsciteAux(2), 2);
    EXPECT_EQ(link.AltoNibbleAux(2), 1);
    EXPECT_EQ(link.UsciteAux(1), 0);
}

INSTANTIATE_TEST_SUITE_P(Canali, Diagnostica, ::testing::Values(false, true), ChannelName);

} // namespace
} // namespace zem::test
