// "Record..." in the curve window: the pieces the window shows go into the chosen file, the count
// shows beside them, and the recording ends with the window.
#include "diagnosis/FCurve.h"
#include "record/MemoryPieceStore.h"
#include "record/WindowRecording.h"
#include "tests/curves/CurveSite.h"

namespace zem::test {
namespace {

class CurveWindowRecording : public ::testing::Test, public CurveSite {
protected:
    CurveWindowRecording() { window.SetRecording(&recording); }

    std::vector<std::string> opened;
    MemoryPieceStore* store = nullptr;  // the file's store while it is open
    WindowRecording recording{[this](const std::string& file, std::string&) {
        opened.push_back(file);
        auto s = std::make_unique<MemoryPieceStore>();
        store = s.get();
        return s;
    }};
    FCurve window{host, platform.Platform()};
};

TEST_F(CurveWindowRecording, TheShownPiecesGoIntoTheChosenFileUntilTheWindowCloses)
{
    host.OnForm("FCurve", [this](ui::Form&) {
        EXPECT_TRUE(window.cmdRegistra.Visible());
        host.ChooseFile("/home/line1/profiles/line1.db");
        window.cmdRegistra.UserClick();
        EXPECT_EQ(window.cmdRegistra.Caption(), "Stop &recording");
        EXPECT_EQ(window.lblRegistrazione.Caption(), "Recording: 0 pieces: 0 good, 0 rejected");
        host.AdvanceTimers(4500);
        ASSERT_EQ(window.Pezzi().size(), 2u);
        EXPECT_EQ(window.lblRegistrazione.Caption(), "Recording: 2 pieces: 1 good, 1 rejected");
        ASSERT_EQ(store->Size(), 2u);
        PieceFilter all;
        all.withCurves = true;
        std::size_t i = 0;
        store->ForEach(all, [&](const PieceRecord& p) {
            EXPECT_EQ(p.verdict, window.Pezzi()[i].Verdict());
            EXPECT_EQ(p.curve.size(), window.Pezzi()[i].curve->size());
            EXPECT_FLOAT_EQ(p.results[0].value, window.Pezzi()[i].results->ForzaPicco);
            return ++i, true;
        });
        window.cmdChiudi.UserClick();
    });
    ASSERT_TRUE(window.LoadForm(kUsb, "/home/line1/profiles"));
    EXPECT_EQ(host.FileDialogs().at(0).initialFolder, "/home/line1/profiles");
    EXPECT_EQ(opened, std::vector<std::string>{"/home/line1/profiles/line1.db"});
    EXPECT_EQ(recording.Count(), "") << "the recording ended with the window";
}

} // namespace
} // namespace zem::test
