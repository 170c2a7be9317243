// The curve window as the technician sees it through the scripted host: each piece drawn with its
// verdict, the envelope of the instrument's work and the results; pause, clear, export, close.
#include "diagnosis/CurveCsv.h"
#include "diagnosis/FCurve.h"
#include "tests/curves/CurveSite.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zem::test {
namespace {

class CurveWindow : public ::testing::Test, public CurveSite {
protected:
    // Shows the window on the press over USB; `play` acts as the technician and closes it.
    void Show(std::function<void()> play)
    {
        host.OnForm("FCurve", [play](ui::Form&) { play(); });
        ASSERT_TRUE(window.LoadForm(kUsb, "/home/line1/profiles"));
        EXPECT_FALSE(bus.Instrument(0).Instrument().InFrame());
        EXPECT_FALSE(platform.bridge.IsOpen(0));
    }

    FCurve window{host, platform.Platform()};
};

TEST_F(CurveWindow, EachPieceIsDrawnWithItsVerdictOverTheEnvelopeAndTheLastOnesStayFainter)
{
    Show([this] {
        EXPECT_EQ(window.Caption(), "Curves - LINE 1");
        EXPECT_EQ(window.lblLavoro.Caption(), "Work: PRESS FIT");
        EXPECT_EQ(window.picCurva.X().label + " / " + window.picCurva.Y().label, "Position [mm] / Force [daN]");
        // Before any piece: the two borders and the check point, and the wait.
        EXPECT_EQ(window.picCurva.GetSeries().size(), 3u);
        EXPECT_EQ(window.picCurva.Message().text, "Waiting for the next piece...");
        host.AdvanceTimers(2500);
        ASSERT_EQ(window.Pezzi().size(), 1u);
        EXPECT_EQ(window.picCurva.Banner(), (ui::Plot::Note{"GOOD", 0x2E7D32}));
        const auto& serie = window.picCurva.GetSeries();
        ASSERT_EQ(serie.size(), 5u);  // borders, check point, the curve, its peak
        EXPECT_EQ(serie[3].points.size(), std::size_t(sim::SimulatedStrokes::kPunti));
        EXPECT_EQ(serie[4].style, ui::Plot::Style::Markers);
        EXPECT_EQ(serie[4].points, (std::vector<ui::Plot::Point>{{300.0, window.Pezzi()[0].results->ForzaPicco}}));
        EXPECT_LT(window.picCurva.X().min, 180.0);
        EXPECT_GT(window.picCurva.X().max, 300.0);

        host.AdvanceTimers(2000);
        ASSERT_EQ(window.Pezzi().size(), 2u);
        EXPECT_EQ(window.picCurva.Banner().text, "REJECTED");
        EXPECT_EQ(window.picCurva.GetSeries().front().opacity, 0.3);
        const auto r = window.Pezzi()[1].results;
        EXPECT_EQ(window.lblRisultati.Caption(),
                  "Piece 2: rejected\r\nPeak: " + CurveCsv::Number(r->ForzaPicco, 2) + " at 300.00\r\nReject causes: 1"
                      "\r\nCheck-point rejects: 1\r\nCheck point 1 at 285.00: "
                      + CurveCsv::Number(r->ForzeCheckPoint[1], 2) + " (17.00 - 26.00) rejected");
        host.AdvanceTimers(40000);
        EXPECT_EQ(window.Pezzi().size(), FCurve::kCurveMostrate);
        EXPECT_EQ(window.picCurva.GetSeries().size(), FCurve::kCurveMostrate - 1 + 5);
        window.cmdChiudi.UserClick();
    });
}

TEST_F(CurveWindow, TheShownCurveIsExportedAsCsvAndAsAPictureThroughTheHost)
{
    const auto folder = std::filesystem::temp_directory_path() / "zem-curve-export";
    std::filesystem::create_directories(folder);
    const std::string csv = (folder / "piece.csv").string(), png = (folder / "piece.PNG").string();
    Show([&] {
        window.cmdEsporta.UserClick();  // nothing to export yet
        host.AdvanceTimers(2500);
        host.ChooseFile(csv);
        window.cmdEsporta.UserClick();
        host.ChooseFile(png);
        window.cmdEsporta.UserClick();
        window.cmdChiudi.UserClick();
    });
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"There is no curve to export."});
    EXPECT_EQ(host.FileDialogs().at(0).fileName, "curve-1.csv");
    EXPECT_EQ(host.FileDialogs().at(0).initialFolder, "/home/line1/profiles") << "where the profiles are";
    std::ifstream file(csv, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(text, CurveCsv::Text(window.Pezzi().back()));
    EXPECT_TRUE(text.starts_with("position [mm],force [daN],result,peak position [mm],peak force [daN],reject causes,check-point rejects\r\n"
                                 "180.00,"));
    EXPECT_TRUE(text.ends_with("\r\n300.00," + CurveCsv::Number(window.Pezzi().back().curve->back().force, 2) + ",,,,,\r\n"));
    EXPECT_EQ(host.PlotPictures(), std::vector<std::string>{png});
    std::filesystem::remove_all(folder);
}

TEST_F(CurveWindow, PauseStopsThePollingAndClearLeavesTheEnvelope)
{
    Show([this] {
        host.AdvanceTimers(2500);
        window.cmdPausa.UserClick();
        EXPECT_EQ(window.cmdPausa.Caption(), "&Resume");
        const auto frames = bus.Instrument(0).Instrument().FramesExecuted();
        host.AdvanceTimers(6000);
        EXPECT_EQ(bus.Instrument(0).Instrument().FramesExecuted(), frames);
        window.cmdPulisci.UserClick();
        EXPECT_TRUE(window.Pezzi().empty());
        EXPECT_EQ(window.picCurva.GetSeries().size(), 3u);
        window.cmdPausa.UserClick();
        host.AdvanceTimers(2000);
        EXPECT_EQ(window.Pezzi().size(), 1u);
        window.cmdChiudi.UserClick();
    });
}

} // namespace
} // namespace zem::test
