// "Send profile to instrument..." on the main window: the selection, the send on the window's
// progress bar with the menus held, and a close request while the memory is being written.
#include "tests/send/SendSite.h"

#include "discovery/FSceltaStrumento.h"
#include "main/FMainZEMSETUP.h"

namespace zem::test {
namespace {

TEST(MainWindowSend, SendsTheOpenProfileAndAClosingWindowStopsTheWriting)
{
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close);
        SendSite s;
        s.InService();
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        FMainZEMSETUP w(s.host, s.settings, s.platform.Platform(), {ZEM_BINARY_DIR, "", 1, 0});
        w.LoadWindow();
        w.Profilo() = ProfiloMisto();
        w.Profilo().Vuoto = false;
        w.AggiornaMenu();
        ASSERT_TRUE(w.mnuFormat.Enabled());

        s.host.OnForm("FSceltaStrumento", [&s](ui::Form& f) {
            auto& scelta = static_cast<FSceltaStrumento&>(f);
            EXPECT_EQ(f.Caption(), "Send profile to instrument");
            s.host.AdvanceTimers(4000);
            scelta.ListView1.UserClickItem(0);
            scelta.cmdOK.UserClick();
        });
        s.host.Answer(ui::MsgAnswer::Yes);
        s.TypePassword();
        s.host.Answer(ui::MsgAnswer::Yes);
        s.host.AtDoEvents(10, [&] {
            EXPECT_FALSE(w.mnuFile.Enabled());
            EXPECT_FALSE(w.mnuConfig.Enabled());
            EXPECT_TRUE(w.ProgressBar1.Visible());
            EXPECT_EQ(w.lblTrasferimento.Caption(), "Progress:");
            EXPECT_EQ(w.ProgressBar1.Value(), 9);
            if (close) {
                EXPECT_TRUE(w.RequestClose());
            }
        });
        w.mnuFormat.UserClick();

        EXPECT_EQ(s.host.MessageTexts().back(), close ? "Programming memory fail." : "Sending profile successfully.");
        EXPECT_EQ(w.Loaded(), !close);
        EXPECT_FALSE(w.ProgressBar1.Visible());
        EXPECT_FALSE(w.Label1.Visible());
        EXPECT_FALSE(s.host.Busy());
        EXPECT_TRUE(w.mnuFile.Enabled());
        EXPECT_EQ(s.bench.memory.UpdateMode(), close);
        EXPECT_EQ(s.Header() == "ZEM5", !close);
    }
}

} // namespace
} // namespace zem::test
