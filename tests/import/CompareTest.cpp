// Comparing a profile with another or with what an instrument holds: the differences in the
// setup dialogs' captions, nothing for the same settings, the fields the memory does not keep left out.
#include "tests/cli/ZemcliRun.h"
#include "tests/main/MainWindowSession.h"
#include "tests/send/SendSite.h"

#include "discovery/FSceltaStrumento.h"
#include "main/ConfrontoProfilo.h"
#include "sim/SimulatedUsbBus.h"

#include <functional>

namespace zem::test {
namespace {

TEST(Compare, NamesEachChangedFieldByItsCaptionAndNothingForTheSameProfile)
{
    ProfiloZem a;
    ASSERT_TRUE(a.ApriFile(kExampleSource));
    EXPECT_EQ(ConfrontoProfilo::Differenze(a, a), std::vector<std::string>{});
    const std::pair<std::function<void(ProfiloZem&)>, std::vector<std::string>> cases[] = {
        {[](ProfiloZem& p) { p.Nome = "Press line 4"; }, {"Name of ZEM AUTOMATION: \"Press line 3\" -> \"Press line 4\""}},
        {[](ProfiloZem& p) { p.SetForzaMassimaAssoluta(1, 24000); }, {"Measure 1 - Maximum force: 25000 -> 24000"}},
        {[](ProfiloZem& p) { p.SetTrasduttoreY(3, 5); }, {"Measure 3 - Transducer measured: 0-10V #1B -> 0-10V #2B"}},
        {[](ProfiloZem& p) { p.SetnInput(2, 1, 0); }, {"Measure 2 - Start input: 6 -> None"}},
        {[](ProfiloZem& p) { p.SetTipoMisura(4, 2); }, {"Measure 4 - Type: Not in use -> Peak to peak measure"}},
        {[](ProfiloZem& p) { p.SetMessaggio(1, 2, "Open the guard"); }, {"Measure 1 - Message 2: \"Close the guard\" -> \"Open the guard\""}},
        {[](ProfiloZem& p) { p.SetNumeroMessaggi(1, 3); }, {"Measure 1 - Messages: 2 -> 3", "Measure 1 - Message 3: (none) -> \"\""}},
    };
    for (const auto& [cambia, attese] : cases) {
        ProfiloZem b = a;
        cambia(b);
        EXPECT_EQ(ConfrontoProfilo::Differenze(a, b), attese);
    }
}

// The instrument that was sent a profile holds it; a change the memory keeps shows, one it does not keep is left out.
TEST(Compare, AnInstrumentSentTheProfileHoldsItsSettings)
{
    SendSite s;
    const ProfiloZem p = ProfiloMisto();
    ASSERT_EQ(s.Send(p, sim::BenchInstrument::UsbKey(), {ui::MsgAnswer::Yes, ui::MsgAnswer::Yes}), SendOutcome::Succeeded);
    ProfiloZem cambiato = p;
    cambiato.SetForzaMassimaAssoluta(1, 4800);
    cambiato.SetAquireSpeed(1, 500);
    for (const auto& [profilo, attese] : {std::pair{p, std::vector<std::string>{}},
                                          std::pair{cambiato, std::vector<std::string>{"Measure 1 - Maximum force: 4800 -> " + std::to_string(p.ForzaMassimaAssoluta(1))}}}) {
        const auto esito = ConfrontoProfilo(s.host, s.platform.Platform()).ConStrumento(profilo, sim::BenchInstrument::UdpKey());
        ASSERT_TRUE(esito);
        EXPECT_EQ(esito->differenze, attese);
        EXPECT_NE(ConfrontoProfilo::Dettagli(*esito).find("Measure 1: Name of the value, Acquisition speed,"), std::string::npos);
    }
}

TEST(CompareMenu, TellsTheDifferencesWithTheInstrumentChosen)
{
    MainWindowSession s;
    EXPECT_FALSE(s.window->Get<ui::Menu>("mnuConfronta").Enabled());
    sim::SimulatedUsbBus bus{s.platform.bridge, s.platform.clock};
    bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "Press line 3", {"Riveting press", "STROKE"}});
    s.Open(s.Example());
    s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
    s.host.OnForm("FSceltaStrumento", [&s](ui::Form& f) {
        s.host.AdvanceTimers(4000);
        EXPECT_EQ(f.Caption(), "Compare with instrument");
        static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(0);
        static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
    });
    ASSERT_TRUE(s.window->Get<ui::Menu>("mnuConfronta").UserClick());
    ASSERT_EQ(s.host.Messages().size(), 1u);
    const auto& shown = s.host.Messages()[0];
    EXPECT_EQ(shown.text.rfind("Profile: Press line 3\r\nInstrument: USB: MR4A0001\r\n\r\nThe instrument's settings differ from", 0), 0u) << shown.text;
    EXPECT_NE(shown.details.find("\r\nMeasure 2 - Measure name: \"Cylinder test\" -> \"STROKE\"\r\n"), std::string::npos) << shown.details;
    EXPECT_EQ(shown.details.find("Name of ZEM AUTOMATION"), std::string::npos) << shown.details;
    EXPECT_FALSE(s.window->Profilo().Modificato);
}

TEST(ZemcliDiff, AnswersAsDiffDoes)
{
    const std::string file = std::filesystem::temp_directory_path() / ("zemcli-diff-" + std::to_string(::getpid()) + ".zemp");
    const std::string modello = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
    ASSERT_EQ(RunZemcli({"--simulate", "read", "--to", "USB: MR4A1001", file, "--force"}, {}).code, 0);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;
    } cases[] = {
        {{"diff", modello, modello}, 0, ""},
        {{"diff", file, "--to", "USB: MR4A1001"}, 0, ""},
        {{"diff", file, "--to", "USB: MR4A1002"}, 1, "Name of ZEM AUTOMATION: \"LINE 1 PRESS\" -> \"LINE 2 RIVETING\"\n"},
        {{"diff", file, "--to", "USB: MR4A1004"}, 2, ""},
        {{"diff", file, file + ".missing"}, 2, ""},
        {{"diff", file}, 2, ""},
    };
    for (const auto& c : cases) {
        auto args = c.args;
        args.insert(args.begin(), "--simulate");
        const auto run = RunZemcli(args, {});
        EXPECT_EQ(run.code, c.code) << args[2] << args.back() << run.err;
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace zem::test
