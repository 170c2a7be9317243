// The I/O test and serial debug panels on the simulated instrument: rows captioned from its
// configuration, indicators following its inputs and outputs, forcing, the serial status lines.
#include "PannelliSimulati.h"

#include "sim/ConfigurationImages.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zem::test {

namespace {

using Panels = PannelliSimulati;

TEST_F(Panels, RowsShowTheFunctionsAndTheMeasuresUsingEachInputAndOutput)
{
    sim::ImageSpec spec;
    spec.measures = {{.type = 1, .name = "PRESS"}, {.type = 3, .name = "HEIGHT"}, {.type = 2, .name = "DEPTH"}};
    spec.inputFunctions = {1, 2, 0, 19};
    spec.outputFunctions = {3, 4};
    spec.inputMasks = {5};
    spec.outputMasks = {0, 2};
    model.Memory().CaricaConfigurazione(sim::BuildConfigurationImage(spec));
    Apri();
    f.io.SetValue(link);
    const auto riga = [this](int i) {
        return std::vector<std::string>{f.io.lblIngresso[i].Caption(), f.io.lblMisuraIngresso[i].Caption(),
                                        f.io.chkUscita[i].Caption(), f.io.lblMisuraUscita[i].ToolTipText()};
    };
    EXPECT_EQ(riga(0), (std::vector<std::string>{"(0) Start measure", "PRESS, DEPTH", "(0) Good signal", ""}));
    EXPECT_EQ(riga(1), (std::vector<std::string>{"(1) Enable measure", "", "(1) Rejected signal", "HEIGHT"}));
    EXPECT_EQ(riga(3), (std::vector<std::string>{"(3) Special function", "", "(3) Not used", ""}));
    EXPECT_EQ(f.io.lblMisuraIngresso[0].ToolTipText(), "PRESS, DEPTH");
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
    EXPECT_EQ(accesi(f.io.boxIngresso), "10100001");
    EXPECT_EQ(accesi(f.io.boxUscita), "00000000");

    f.io.chkUscita[3].UserClick();
    EXPECT_EQ(model.Diagnostics().Uscite(), 0x08);
    EXPECT_EQ(accesi(f.io.boxUscita), "00010000");
    EXPECT_TRUE(f.io.chkUscita[3].Checked());
    f.io.chkUscita[3].UserClick();
    EXPECT_EQ(model.Diagnostics().Uscite(), 0);
    EXPECT_FALSE(f.io.chkUscita[3].Checked());
    EXPECT_EQ(commutazioni, 2);

    // A click landing while the panel sets its own boxes forces nothing.
    cliccaDuranteAggiornamento = true;
    LeggiA(0);
    EXPECT_EQ(commutazioni, 2);
    EXPECT_EQ(model.Diagnostics().Uscite(), 0);
    EXPECT_FALSE(f.io.chkUscita[5].Checked());
}

TEST_F(Panels, TheSerialStatusBlockIsDecodedOnEightLines)
{
    struct Caso {
        std::vector<std::uint8_t> blocco;  // byte 4 as the instrument sends it after counting
        std::vector<std::string> righe;
    };
    const std::vector<Caso> casi = {
        {{7, 6, 3, 90, 0, 14}, {"Instrument address: 7", "Status:  6 FERR:1 OERR:1", "Flags:  3 -> Receive valid message",
                                "Byte to end:  15", "", "MESSAGE: ", "", ""}},
        {{1, 0, 2, 9, 12, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {"Instrument address: 1", "Status:  0 FERR:0 OERR:0",
            "Flags:  2 -> Wait end of message", "Byte to end:  9", "",
            "MESSAGE:  20 1 2 3 4 5 6 7 8 9 ...", "", ""}},
        {{1, 0, 15, 9, 3, 2, 65, 66, 67}, {"Instrument address: 1", "Status:  0 FERR:0 OERR:0",
            "Flags:  15 -> Receive valid message", "Byte to end:  0", "Current check sum: 9", "BUFFER:  2 65 66",
            "COMUNICAZIONE SOSPESA", "MESSAGGIO RICEVUTO / RISPOSTA INVIATA"}},
    };
    f.serial.SetValue(link);
    const auto righe = [this] {
        std::vector<std::string> r;
        for (int i = 0; i < 8; ++i) r.push_back(f.serial.Label1[i].Caption());
        return r;
    };
    for (const Caso& c : casi) {
        model.Diagnostics().statoSeriale = {};
        std::copy(c.blocco.begin(), c.blocco.end(), model.Diagnostics().statoSeriale.begin());
        --model.Diagnostics().statoSeriale[4];  // the instrument counts each read
        LeggiA(0);
        EXPECT_EQ(righe(), c.righe);
    }
    serialeRisponde = false;
    LeggiA(0);
    EXPECT_EQ(righe(), std::vector<std::string>(8));

    f.serial.Abilita(false);
    LeggiA(0);
    EXPECT_EQ(richiesteSeriale, 4);

    // An instrument before release 7 has no status block to ask for.
    model.Memory().Opzioni().estensioni = 6;
    Apri();
    f.serial.Abilita(true);
    LeggiA(0);
    EXPECT_EQ(f.serial.Label1[0].Caption(), "Questo strumento non supporta la diagnosi della comunicazione seriale");
    EXPECT_EQ(richiesteSeriale, 4);
}

} // namespace

} // namespace zem::test
