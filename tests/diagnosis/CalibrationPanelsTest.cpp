// The calibration panels on the simulated press: live readings, typed gain and offset, the
// reverse rule, the offset over 128 readings and the unit and decimal lists by usage.
#include "PannelliSimulati.h"

#include <string>
#include <vector>

namespace zem::test {

namespace {

using Panels = PannelliSimulati;

TEST_F(Panels, TheLiveDisplayFollowsTheStrokeWithTheGainAndOffsetTyped)
{
    f.analog.SetValue(link, 1, false, dlgCalAnalogZEM::kForza);
    f.encoder.SetValue(link, 1);
    EXPECT_FALSE(f.analog.Modificato());
    f.analog.txtGain.UserType("0.5");
    f.analog.txtOffset.UserType("100");
    f.encoder.txtGain.UserType("2");
    f.encoder.txtOffset.UserType("1000");
    EXPECT_TRUE(f.analog.Modificato() && f.encoder.Modificato());

    LeggiA(1.1);  // at the bottom of the stroke
    EXPECT_EQ(f.analog.lblADC.Caption(), "3900");
    EXPECT_EQ(f.analog.lblValore.Caption(), "19.00");
    EXPECT_EQ(f.encoder.txtADC.Text(), "50000");
    EXPECT_EQ(f.encoder.txtValore.Text(), "980.00");
    LeggiA(1.9);  // back at the top
    EXPECT_EQ(f.analog.lblValore.Caption(), "0.00");
    EXPECT_EQ(f.encoder.txtValore.Text(), "-20.00");

    // A value the instrument could not hold, or a gain that is no number, shows 0.
    for (const char* gain : {"20", "abc"}) {
        f.analog.txtGain.UserType(gain);
        LeggiA(1.1);
        EXPECT_EQ(f.analog.lblValore.Caption(), "0.00") << gain;
    }
    instrument.SetCommand(23, [](auto) { return std::optional<std::vector<std::uint8_t>>{{0}}; });
    LeggiA(1.1);
    EXPECT_EQ(f.analog.lblADC.Caption() + f.analog.lblValore.Caption() + f.encoder.txtValore.Text(), "");
}

TEST_F(Panels, APotentiometerTickedAgainstTheInstrumentShowsAndAveragesTheInvertedReading)
{
    EXPECT_FALSE(f.analog.cmdCalcOffset.UserClick());  // nothing to read before the link is given
    potenziometro = true;
    f.analog.SetValue(link, 1, true, dlgCalAnalogZEM::kNonUsato);
    EXPECT_TRUE(f.analog.opReverse.Visible());
    f.analog.opReverse.UserClick();
    LeggiA(1.9);
    EXPECT_EQ(f.analog.lblADC.Caption(), "3895");  // 4095 - 200
    f.analog.cmdCalcOffset.UserClick();
    EXPECT_EQ(f.analog.txtOffset.Text(), "3895");
    EXPECT_FALSE(host.Busy());
    EXPECT_TRUE(f.analog.Reverse());

    // Once the instrument itself reverses the input, the reading shows as it comes.
    link.SetReverseADC010(1, true);
    LeggiA(1.9);
    EXPECT_EQ(f.analog.lblADC.Caption(), "200");
}

TEST_F(Panels, TheOffsetNeedsMoreThanTenGoodReadingsOfTheHundredAndTwentyEight)
{
    f.analog.SetValue(link, 1, false, dlgCalAnalogZEM::kForza);
    for (const int buone : {10, 11}) {
        int risposte = 0;
        // Load cell 1 reads 1000 on the good readings, the others come back short.
        instrument.SetCommand(23, [&](auto) {
            const bool buona = risposte++ < buone;
            return std::optional<std::vector<std::uint8_t>>{
                buona ? std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xE8, 3, 0, 0, 0, 0, 0, 0} : std::vector<std::uint8_t>{0}};
        });
        f.analog.txtOffset.UserType("7");
        f.analog.cmdCalcOffset.UserClick();
        EXPECT_EQ(risposte, 128);
        EXPECT_EQ(f.analog.txtOffset.Text(), buone > 10 ? "1000" : "7");
    }
}

TEST_F(Panels, UnitAndDecimalListsFollowTheUsageAndTheStoredValues)
{
    struct Caso {
        bool potenziometro;
        int uso;
        std::int32_t unita;
        std::int16_t decimali;
        std::vector<std::string> voci;
        int scelta;
        std::int32_t UM;
        int sceltaDecimali;
    };
    const std::vector<Caso> casi = {
        {true, 0, 2, 4, {"daN", "KN", "mm"}, 2, 1, -1},  // 4 decimals are not offered: kept as they are
        {false, 2, 1, 3, {"daN", "KN"}, 0, 0, 3},  // only "KN" (3) selects the second entry
        {false, 2, 3, 0, {"daN", "KN"}, 1, 3, 0},
        {true, 1, 0, 1, {"mm"}, 0, 1, 1},
        {false, 0, 3, 2, {"daN", "KN", "mm"}, 1, 3, 2},
        {true, 0, 0, 2, {"daN", "KN", "mm"}, 0, 0, 2},
    };
    for (const Caso& c : casi) {
        link.SetUM_ADC010(1, c.unita);
        link.SetUM_Cella(1, c.unita);
        link.SetDecimaliADC010(1, c.decimali);
        link.SetDecimaliCella(1, c.decimali);
        f.analog.SetValue(link, 1, c.potenziometro, c.uso);
        std::vector<std::string> voci;
        for (int i = 0; i < f.analog.lstUM.ListCount(); ++i) voci.push_back(f.analog.lstUM.List(i));
        EXPECT_EQ(voci, c.voci);
        EXPECT_EQ(f.analog.lstUM.ListIndex(), c.scelta);
        EXPECT_EQ(f.analog.UM(), c.UM);
        EXPECT_EQ(f.analog.lstDecimali.ListIndex(), c.sceltaDecimali);
        EXPECT_EQ(f.analog.Decimali(), c.decimali);
        EXPECT_FALSE(f.analog.Modificato());
    }
    f.analog.lstDecimali.UserChoose(0);
    EXPECT_TRUE(f.analog.Modificato());
    EXPECT_EQ(f.analog.Decimali(), 0);

    // Typed numbers by the leading-number rule; an offset too large stays for the link to refuse.
    f.analog.txtGain.UserType("1.25kg");
    f.analog.txtOffset.UserType("40000.5");
    EXPECT_FLOAT_EQ(f.analog.Gain(), 1.25f);
    EXPECT_EQ(f.analog.Offset(), 40000);
    f.encoder.SetValue(link, 2);
    EXPECT_EQ(f.encoder.UM() * 10 + f.encoder.Decimali(), 10);
    EXPECT_EQ(f.encoder.lstDecimali.Text(), "2");
}

} // namespace

} // namespace zem::test
