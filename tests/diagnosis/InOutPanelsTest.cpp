// The I/O test and serial debug panels on the simulated instrument.
#include "PanelsFixture.h"

#include "sim/ConfigurationImages.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zem::test {

namespace {

using Righe = std::vector<std::string>;

TEST_F(Panels, RowsShowTheFunctionsAndTheMeasuresUsingEachInputAndOutput)
{
    model.Memory().CaricaConfigurazione(sim::BuildConfigurationImage(
        {.measures = {{.type = 1, .name = "PRESS"}, {.type = 3, .name = "HEIGHT"}, {.type = 2, .name = "DEPTH"}},
         .inputFunctions = {1, 2, 0, 19}, .outputFunctions = {3, 4}, .inputMasks = {5}, .outputMasks = {0, 2}}));
    Apri();
    f.io.SetValue(link);
    const auto riga = [this](int i) {
        return Righe{f.io.lblIngresso[i].Caption(), f.io.lblMisuraIngresso[i].ToolTipText(), f.io.chkUscita[i].Caption(),
                     f.io.lblMisuraUscita[i].Caption()};
    };
    EXPECT_EQ(riga(0), (Righe{"(0) Start measure", "PRESS, DEPTH", "(0) Good signal", ""}));
    EXPECT_EQ(riga(1), (Righe{"(1) Enable measure", "", "(1) Rejected signal", "HEIGHT"}));
    EXPECT_EQ(riga(3), (Righe{"(3) Special function", "", "(3) Not used", ""}));
}

TEST_F(Panels, IndicatorsFollowTheInstrumentAndAClickedOutputIsForced)
{
    const auto accesi = [](const ui::ControlArray<ui::Image>& box) {
        std::string s;
        for (int i = 0; i < box.Count(); ++i) s += box[i].GetPicture() == ui::Picture::IndicatorOn ? '1' : '0';
        return s;
    };
    f.io.SetValue(link);
    model.Diagnostics().ingressi = 0x85;
    LeggiA(0);
    EXPECT_EQ(accesi(f.io.boxIngresso) + accesi(f.io.boxUscita), "1010000100000000");

    f.io.chkUscita[3].UserClick();
    EXPECT_EQ(model.Diagnostics().Uscite(), 0x08);
    EXPECT_EQ(accesi(f.io.boxUscita) + (f.io.chkUscita[3].Checked() ? " ticked" : ""), "00010000 ticked");
    f.io.chkUscita[3].UserClick();
    EXPECT_EQ(model.Diagnostics().Uscite() + f.io.chkUscita[3].Checked(), 0);  // off again, unticked

    // A click landing while the panel sets its own boxes forces nothing: still the two toggles
    // above, no output on, box 5 clear.
    cliccaDuranteAggiornamento = true;
    LeggiA(0);
    EXPECT_EQ(commutazioni + model.Diagnostics().Uscite() + f.io.chkUscita[5].Checked(), 2);
}

TEST_F(Panels, TheSerialStatusBlockIsDecodedOnEightLines)
{
    const std::vector<std::pair<std::vector<std::uint8_t>, Righe>> casi = {
        {{7, 6, 3, 90, 0, 14}, {"Instrument address: 7", "Status:  6 FERR:1 OERR:1", "Flags:  3 -> Receive valid message",
                                "Byte to end:  15", "", "MESSAGE: ", "", ""}},
        {{1, 0, 2, 9, 12, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {"Instrument address: 1", "Status:  0 FERR:0 OERR:0",
            "Flags:  2 -> Wait end of message", "Byte to end:  9", "", "MESSAGE:  20 1 2 3 4 5 6 7 8 9 ...", "", ""}},
        {{1, 0, 15, 9, 3, 2, 65, 66, 67}, {"Instrument address: 1", "Status:  0 FERR:0 OERR:0", "Flags:  15 -> Receive valid message",
            "Byte to end:  0", "Current check sum: 9", "BUFFER:  2 65 66", "COMUNICAZIONE SOSPESA", "MESSAGGIO RICEVUTO / RISPOSTA INVIATA"}},
        {{}, Righe(8)},  // no block to show
    };
    const auto righe = [this] {
        Righe r;
        for (int i = 0; i < 8; ++i) r.push_back(f.serial.Label1[i].Caption());
        return r;
    };
    f.serial.SetValue(link);
    for (const auto& [blocco, attese] : casi) {
        serialeRisponde = !blocco.empty();
        auto& stato = model.Diagnostics().statoSeriale;
        std::copy(blocco.begin(), blocco.end(), stato.begin());
        --stato[4];  // the instrument counts each read
        LeggiA(0);
        EXPECT_EQ(righe(), attese);
    }
    f.serial.Abilita(false);
    LeggiA(0);

    // Stopped, or on an instrument before release 7 (no status block), the panel asks nothing.
    model.Memory().Opzioni().estensioni = 6;
    Apri();
    f.serial.Abilita(true);
    LeggiA(0);
    EXPECT_EQ(f.serial.Label1[0].Caption(), "Questo strumento non supporta la diagnosi della comunicazione seriale");
    EXPECT_EQ(richiesteSeriale, 4);
}

} // namespace

} // namespace zem::test
