// The diagnosis window against the simulated press: start-up, live panels, forcing outputs,
// writing calibrations and closing.
#include "tests/diagnosis/DiagnosisBench.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

using Msg = std::vector<std::string>;
const std::string kCautela = "Caution: forcing outputs could be dangerous.";

TEST(Diagnosi, StartsUpBlockedInDiagnosticModeShowsTheInstrumentAndLeavesItOnClose)
{
    DiagnosisBench b;
    const bool valida = b.Mostra(DiagnosisBench::kNormale, [&b](FDiagnosi& w) {
        EXPECT_TRUE(w.Avviata());
        EXPECT_EQ(w.Caption(), "Diagnosis and calibration - ZEM SIMULATOR");
        EXPECT_TRUE(b.Strumento().Diagnostics().ModoDiagnostico());
        EXPECT_TRUE(b.Strumento().Acquisition().misure[0].bloccata);
        EXPECT_EQ(w.lblMisure.Caption(), "PRESS FIT\r\n        Quadrature encoder #1E\r\n"
                                         "        2mV/V analog input (load cell) #1A\r\n"
                                         "HEIGHT\r\n        0-10V analog input #1B\r\n");
        EXPECT_EQ(w.Utilizzo(), (std::array<int, 8>{0, 1, 0, 2, 0, 0, 0, 0}));
        EXPECT_EQ(w.lblProtocollo.Caption(), "14-11");
        EXPECT_EQ(w.lblVersioneCPU.Caption(), "3.12");
        std::vector<std::string> schede;
        for (int t = 0; t < w.TabStrip1.TabCount(); ++t) schede.push_back(w.TabStrip1.TabCaption(t));
        EXPECT_EQ(schede, (Msg{"Info", "In/Out", "2mV/V #1A", "Encoder #1E", "0-10V #1B", "2mV/V #2A",
                               "Encoder #2E", "0-10V #2B", "Serial port"}));
        EXPECT_EQ(w.frmCalibraPot1.Caption(), "0-10V analog input (potentiometer) #1B");
        EXPECT_TRUE(w.frmMeasureInfo.Visible() && w.frmMainInfo.Visible() && !w.frmInOut.Visible());
        w.TabStrip1.UserClickTab(FDiagnosi::kInOut);
        EXPECT_TRUE(w.frmInOut.Visible() && !w.frmMainInfo.Visible());
        w.cmdOK.UserClick();
    });
    EXPECT_TRUE(valida);
    EXPECT_EQ(b.host.MessageTexts(), Msg{kCautela});
    EXPECT_FALSE(b.Strumento().Diagnostics().ModoDiagnostico());
    EXPECT_FALSE(b.platform.bridge.IsOpen(0));
}

// Every start-up refusal: its message, whether the window stays, and that nothing can be forced.
TEST(Diagnosi, AFailedStartUpSaysWhyAndLeavesNothingToForceOrWrite)
{
    struct Caso {
        const char* nome;
        std::string chiave;
        std::function<void(sim::DefaultInstrument&)> guasto;
        std::string messaggio;
        bool restaAperta;
    };
    const std::string update = "Diagnosis and calibration are not possible in update mode.\r\nSetting and send profile first.";
    const Caso casi[] = {
        {"no link", "USB: MR4A0009", {}, "Communication error.", false},
        {"update mode", DiagnosisBench::kUpdate, {}, update, false},
        {"memory error", DiagnosisBench::kErroreMemoria, {}, update, false},
        {"blocking failed", DiagnosisBench::kNormale, [](auto& s) { s.Instrument().RemoveCommand(18); },
         "Blocking instruments failed.", true},
        {"blocking not possible", DiagnosisBench::kNormale,
         [](auto& s) { s.Acquisition().misure[1].pezzoInLavorazione = true; }, "Blocking instruments not possible.", false},
        {"diagnostic mode refused", DiagnosisBench::kNormale,
         [](auto& s) { s.Instrument().SetCommand(20, [](auto) { return std::vector<std::uint8_t>{0}; }); },
         "Communication to set diagnostic mode error.", true},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        DiagnosisBench b;
        if (c.guasto) c.guasto(b.Strumento());
        b.Mostra(c.chiave, [&](FDiagnosi& w) {
            EXPECT_EQ(w.Loaded(), c.restaAperta);
            EXPECT_FALSE(w.Avviata());
            if (!w.Loaded()) return;
            EXPECT_FALSE(w.cmdWrite.Enabled());
            w.TabStrip1.UserClickTab(FDiagnosi::kInOut);
            w.dlgInOutTest1.chkUscita[1].UserClick();
            b.host.AdvanceTimers(800);
            w.RequestClose();
        });
        EXPECT_EQ(b.host.MessageTexts(), (Msg{kCautela, c.messaggio}));
        EXPECT_EQ(b.Strumento().Diagnostics().Uscite(), 0);
        EXPECT_FALSE(b.Strumento().Diagnostics().ModoDiagnostico());
        EXPECT_FALSE(b.platform.bridge.IsOpen(0));
    }
}

TEST(Diagnosi, AKeyThatNamesNoInstrumentIsACommunicationError)
{
    for (const char* chiave : {"IP:127.0.0.1", "IP:127.0.0.1:70000", "IP:127.0.0.1:0", "MAC: 00-50", "COM1"}) {
        SCOPED_TRACE(chiave);
        DiagnosisBench b;
        FDiagnosi w(b.host, b.platform.Platform(), b.gate);
        EXPECT_FALSE(w.ShowForm(chiave));
        EXPECT_EQ(b.host.MessageTexts(), Msg{"Communication error"});
        EXPECT_TRUE(b.host.FormsShown().empty());
    }
}

TEST(Diagnosi, PanelsFollowTheStrokeAndTheInputs)
{
    DiagnosisBench b;
    b.Strumento().Diagnostics().ingressi = 0x05;
    b.Mostra(DiagnosisBench::kNormale, [&b](FDiagnosi& w) {
        w.TabStrip1.UserClickTab(FDiagnosi::kEncoder1);
        // One stroke: going down, further down, coming up, back at the top.
        std::vector<int> conteggi;
        for (int i = 0; i < 5; ++i) {
            b.host.AdvanceTimers(400);
            conteggi.push_back(std::stoi(w.dlgCalEncoderZEM1.txtADC.Text()));
        }
        EXPECT_LT(0, conteggi[0]);
        EXPECT_LT(conteggi[0], conteggi[1]);
        EXPECT_GT(conteggi[2], conteggi[3]);
        EXPECT_EQ(conteggi[4], 0);
        EXPECT_EQ(w.dlgCalEncoderZEM2.txtADC.Text(), "-1000");
        // The six calibration panels of one tick share one reading of the transducers; the other
        // exchange is the window's own.
        const std::uint64_t frames = b.Strumento().Instrument().FramesExecuted();
        b.host.AdvanceTimers(400);
        EXPECT_EQ(b.Strumento().Instrument().FramesExecuted() - frames, 2u);
        w.TabStrip1.UserClickTab(FDiagnosi::kInOut);
        b.host.AdvanceTimers(400);
        for (int n = 0; n < 3; ++n)
            EXPECT_EQ(w.dlgInOutTest1.boxIngresso[n].GetPicture(), n == 1 ? ui::Picture::IndicatorOff : ui::Picture::IndicatorOn) << n;
        w.RequestClose();
    });
}

TEST(Diagnosi, AnOutputIsForcedOnlyWithThePassword)
{
    for (const bool giusta : {false, true}) {
        DiagnosisBench b;
        b.Mostra(DiagnosisBench::kNormale, [&b, giusta](FDiagnosi& w) {
            w.TabStrip1.UserClickTab(FDiagnosi::kInOut);
            b.host.AdvanceTimers(400);
            b.Password(giusta ? "6150" : "1111");
            w.dlgInOutTest1.chkUscita[2].UserClick();
            b.host.AdvanceTimers(400);
            EXPECT_EQ(w.dlgInOutTest1.boxUscita[2].GetPicture(), giusta ? ui::Picture::IndicatorOn : ui::Picture::IndicatorOff);
            w.RequestClose();
        });
        EXPECT_EQ(b.Strumento().Diagnostics().Uscite(), 0);  // given back when diagnostic mode ends
        EXPECT_EQ(b.gate.Accepted(), giusta);
    }
}

TEST(Diagnosi, ACalibrationWrittenIsReadBackAfterTheRestart)
{
    DiagnosisBench b;
    b.Mostra(DiagnosisBench::kNormale, [&b](FDiagnosi& w) {
        w.TabStrip1.UserClickTab(FDiagnosi::kCella1);
        w.dlgCalAnalogZEM1C.txtGain.UserType("2.5");
        w.dlgCalAnalogZEM1C.txtOffset.UserType("-120");
        w.TabStrip1.UserClickTab(FDiagnosi::kPot1);
        w.dlgCalAnalogZEM1P.opReverse.UserClick();
        b.Password("6150");
        b.host.Answer(ui::MsgAnswer::Yes);
        w.cmdWrite.UserClick();
        EXPECT_FALSE(w.Loaded());
    });
    EXPECT_EQ(b.Strumento().Memory().Riavvii(), 1);
    b.Mostra(DiagnosisBench::kNormale, [](FDiagnosi& w) {
        EXPECT_EQ(w.dlgCalAnalogZEM1C.txtGain.Text(), "2.5");
        EXPECT_EQ(w.dlgCalAnalogZEM1C.txtOffset.Text(), "-120");
        EXPECT_TRUE(w.dlgCalAnalogZEM1P.opReverse.Checked());
        w.cmdOK.UserClick();  // nothing changed: nothing asked
    });
    EXPECT_EQ(b.host.MessageTexts(), (Msg{kCautela, "Send change to instrument?", kCautela}));
}

// A gain the instrument's word cannot hold is refused before anything is written; changes then
// ask before the window closes, by its button or by its title bar.
TEST(Diagnosi, AGainThatCannotBeStoredIsRefusedAndChangesAskBeforeClosing)
{
    DiagnosisBench b;
    b.Mostra(DiagnosisBench::kNormale, [&b](FDiagnosi& w) {
        w.TabStrip1.UserClickTab(FDiagnosi::kEncoder2);
        w.dlgCalEncoderZEM2.txtGain.UserType("6.5536");
        b.Password("6150");
        b.host.Answer(ui::MsgAnswer::Yes);
        w.cmdWrite.UserClick();
        b.host.Answer(ui::MsgAnswer::Cancel);
        w.cmdOK.UserClick();
        EXPECT_TRUE(w.Loaded());
        b.host.Answer(ui::MsgAnswer::OK);
        EXPECT_TRUE(w.RequestClose());
    });
    EXPECT_EQ(b.host.MessageTexts(),
              (Msg{kCautela, "Send change to instrument?",
                   "Writing calibration value failed.\r\nEncoder #2E: the gain must lie between 0 and 6.5535.",
                   "Exit without send changes?", "Exit without send changes?"}));
    EXPECT_EQ(b.host.Messages()[3].defaultButton, ui::MsgAnswer::Cancel);
    EXPECT_TRUE(b.Strumento().Memory().ScrittureConfigurazione().empty());
    EXPECT_EQ(b.Strumento().Memory().Riavvii(), 0);
    EXPECT_FALSE(b.Strumento().Diagnostics().ModoDiagnostico());
}

} // namespace
} // namespace zem::test
