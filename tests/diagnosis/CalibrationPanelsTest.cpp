// The calibration panels on the simulated press.
#include "PanelsFixture.h"

#include <string>
#include <vector>

namespace zem::test {

namespace {

using Risposta = std::optional<std::vector<std::uint8_t>>;

TEST_F(Panels, TheLiveDisplayFollowsTheStrokeWithTheGainAndOffsetTyped)
{
    f.analog.SetValue(link, 1, false, dlgCalAnalogZEM::kForza);
    f.encoder.SetValue(link, 1);
    for (auto [box, testo] : {std::pair{&f.analog.txtGain, "0.5"}, {&f.analog.txtOffset, "100"},
                              {&f.encoder.txtGain, "2"}, {&f.encoder.txtOffset, "1000"}})
        box->UserType(testo);
    EXPECT_TRUE(f.analog.Modificato() && f.encoder.Modificato());

    const auto mostrati = [this] {
        return f.analog.lblADC.Caption() + " " + f.analog.lblValore.Caption() + " " + f.encoder.txtADC.Text() + " "
               + f.encoder.txtValore.Text();
    };
    LeggiA(1.1);  // at the bottom of the stroke
    EXPECT_EQ(mostrati(), "3900 19.00 50000 980.00");
    LeggiA(1.9);  // back at the top
    EXPECT_EQ(mostrati(), "100 0.00 0 -20.00");

    for (const char* gain : {"20", "abc"}) {  // a value the instrument could not hold, or no number: 0
        f.analog.txtGain.UserType(gain);
        LeggiA(1.1);
        EXPECT_EQ(f.analog.lblValore.Caption(), "0.00") << gain;
    }
    instrument.SetCommand(23, [](auto) { return Risposta{{0}}; });
    LeggiA(1.1);
    EXPECT_EQ(mostrati(), "   ");
}

TEST_F(Panels, APotentiometerTickedAgainstTheInstrumentShowsAndAveragesTheInvertedReading)
{
    EXPECT_FALSE(f.analog.cmdCalcOffset.UserClick());  // nothing to read before the link is given
    potenziometro = true;
    f.analog.SetValue(link, 1, true, dlgCalAnalogZEM::kNonUsato);
    f.analog.opReverse.UserClick();
    LeggiA(1.9);
    EXPECT_EQ(f.analog.lblADC.Caption(), "3895");  // 4095 - 200
    f.analog.cmdCalcOffset.UserClick();
    EXPECT_EQ(f.analog.txtOffset.Text(), "3895");
    EXPECT_TRUE(f.analog.Reverse() && !host.Busy());

    link.SetReverseADC010(1, true);  // now the instrument reverses the input itself
    LeggiA(1.9);
    EXPECT_EQ(f.analog.lblADC.Caption(), "200");

    // The offset needs more than 10 good readings of the 128.
    for (const int buone : {10, 11}) {
        int risposte = 0;
        // Potentiometer 1 reads 1000 on the good readings, the others come back short.
        instrument.SetCommand(23, [&](auto) {
            return risposte++ < buone ? Risposta{{0, 0, 0, 0, 0, 0, 0, 0, 0xE8, 3, 0, 0, 0, 0}} : Risposta{{0}};
        });
        f.analog.txtOffset.UserType("7");
        f.analog.cmdCalcOffset.UserClick();
        EXPECT_EQ(f.analog.txtOffset.Text() + " " + std::to_string(risposte), buone > 10 ? "1000 128" : "7 128");
    }
}

TEST_F(Panels, UnitAndDecimalListsFollowTheUsageAndTheStoredValues)
{
    struct Caso {
        bool potenziometro;
        int uso, unita;
        std::int16_t decimali;
        std::vector<std::string> voci;
        int scelta, UM, sceltaDecimali;
    };
    for (const Caso& c : std::vector<Caso>{
             {true, 0, 2, 4, {"daN", "KN", "mm"}, 2, 1, -1},  // 4 decimals are not offered: kept as they are
             {false, 2, 1, 3, {"daN", "KN"}, 0, 0, 3},        // only "KN" (3) selects the second entry
             {false, 2, 3, 0, {"daN", "KN"}, 1, 3, 0},
             {true, 1, 0, 1, {"mm"}, 0, 1, 1},
             {false, 0, 3, 2, {"daN", "KN", "mm"}, 1, 3, 2},
             {true, 0, 0, 2, {"daN", "KN", "mm"}, 0, 0, 2}}) {
        ASSERT_TRUE(link.SetUM_ADC010(1, c.unita) && link.SetUM_Cella(1, c.unita) && link.SetDecimaliADC010(1, c.decimali)
                    && link.SetDecimaliCella(1, c.decimali));
        f.analog.SetValue(link, 1, c.potenziometro, c.uso);
        std::vector<std::string> voci;
        for (int i = 0; i < f.analog.lstUM.ListCount(); ++i) voci.push_back(f.analog.lstUM.List(i));
        EXPECT_EQ(voci, c.voci);
        EXPECT_EQ(std::vector<int>({f.analog.lstUM.ListIndex(), f.analog.UM(), f.analog.lstDecimali.ListIndex(), f.analog.Decimali()}),
                  std::vector<int>({c.scelta, c.UM, c.sceltaDecimali, c.decimali}));
        EXPECT_FALSE(f.analog.Modificato());
    }
    EXPECT_TRUE(f.analog.lstDecimali.UserChoose(0) && f.analog.Modificato());
    // Typed numbers by the leading-number rule; an offset too large stays for the link to refuse.
    f.analog.txtGain.UserType("1.25kg");
    f.analog.txtOffset.UserType("40000.5");
    EXPECT_FLOAT_EQ(f.analog.Gain(), 1.25f);
    EXPECT_EQ(f.analog.Offset(), 40000);
    f.encoder.SetValue(link, 2);
    EXPECT_EQ(f.encoder.UM() * 10 + f.encoder.Decimali(), 10);
}

} // namespace

} // namespace zem::test
