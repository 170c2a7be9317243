// Sends to the simulated instrument over USB and UDP: what is asked and told, what the memory holds.
#include "tests/send/SendSite.h"

#include "discovery/FSceltaStrumento.h"
#include "main/FMainZEMSETUP.h"

#include <algorithm>
#include <functional>

namespace zem::test {
namespace {

using ui::MsgAnswer;
using enum SendOutcome;
constexpr MsgAnswer Yes = MsgAnswer::Yes, No = MsgAnswer::No, Cancel = MsgAnswer::Cancel;
const std::string kSent = "Sending profile successfully.", kKeep = "Keep the works settings?", kNoLink = "Communication error",
                  kClear = "Are you sure to clear the works settings?", kFail = "Programming memory fail.",
                  kOld = "The old memory version is not supported.\r\nAre you sure to clear the instrument memory?";

enum class After { Sent, Untouched, Byte4Only, Cleared };
using Prepare = std::function<void(SendSite&, ProfiloZem&, std::string& key)>;
struct Case {  // `texts`: the messages after the confirmation
    const char* name; Prepare prepare; std::vector<MsgAnswer> answers; std::vector<std::string> texts;
    SendOutcome outcome = Succeeded; After after = After::Sent; bool updateMode = false, mailbox = false;
    std::function<bool(SendSite&, const std::string& key)> check = [](auto&, auto&) { return true; };
};

auto& Memory(SendSite& s) { return s.bench.memory; }
Prepare InService(std::function<void(SendSite&)> also = [](SendSite&) {}) { return [also](SendSite& s, auto&, auto&) { s.InService(), also(s); }; }
Prepare Edit(std::function<void(ProfiloZem&, std::string&)> edit) { return [edit](SendSite& s, auto& p, auto& k) { s.InService(), edit(p, k); }; }
// A profile sent before, and a mark in the first work record of measure 1, which keeping keeps.
std::uint8_t& Mark(SendSite& s) { auto& m = Memory(s).Configurazione(); return m[m[(m[22] | m[23] << 8) + 5] | m[(m[22] | m[23] << 8) + 6] << 8]; }
Prepare SentBefore = [](SendSite& s, ProfiloZem& p, std::string& key) { s.InService(), s.Send(p, key, {Yes, Yes}), Mark(s) = 0xA5; };

const std::vector<Case> kCases{
    {"format 5", InService(), {Yes, Yes}, {kClear, kSent}, Succeeded, After::Sent, false, false, [](SendSite& s, auto& key) {
         return s.host.MessageTexts()[0] == "Profile: LINEA 4 PRESSE\r\nInstrument: " + key + "\r\nOld instrument name: OLD\r\n\r\nSend profile settings to instrument?"; }},
    {"format 5, mailbox", InService(), {Yes, Yes}, {kClear, kSent}, Succeeded, After::Sent, false, true},
    {"format 4", [](SendSite& s, auto&, auto&) { s.InService('4'); }, {Yes, Yes}, {kClear, kSent}},
    {"unknown header", InService([](SendSite& s) { Memory(s).Configurazione()[3] = '3'; }), {Yes, Yes}, {kOld, kSent}},
    {"blank", nullptr, {Yes, Yes}, {kOld, kSent}},
    {"blank, mailbox", nullptr, {Yes, Yes}, {kOld, kSent}, Succeeded, After::Sent, false, true},
    // The calibration and transducer options of an instrument opened in update mode are carried over.
    {"found in update mode", InService([](SendSite& s) { Memory(s).SetUpdateMode(true); }), {Yes, Yes}, {kClear, kSent}, Succeeded, After::Sent, false, false,
     [](SendSite& s, auto&) { return Memory(s).Configurazione()[61] == 5 && Memory(s).Configurazione()[0x32] == 12345 % 256; }},
    {"keeping the works", SentBefore, {Yes, Yes}, {kKeep, kSent}, Succeeded, After::Sent, false, false, [](SendSite& s, auto&) { return Mark(s) == 0xA5; }},
    {"clearing the works", SentBefore, {Yes, No}, {kKeep, kSent}, Succeeded, After::Sent, false, false, [](SendSite& s, auto&) { return Mark(s) == 0; }},
    {"No to the confirmation, longest names", Edit([](ProfiloZem& p, auto&) { p.Nome.assign(20, 'N'), p.SetNomeMisura(2, std::string(23, 'M')), p.SetNomeMisura(4, ""); }), {No}, {}, Refused, After::Untouched},
    {"No to clearing the works", InService(), {Yes, No}, {kClear}, Refused, After::Untouched},
    {"Cancel to keeping the works", SentBefore, {Yes, Cancel}, {kKeep}, Refused, After::Untouched},
    {"No to clearing an old memory", nullptr, {Yes, No}, {kOld}, Refused, After::Untouched},
    {"wrong password", InService([](SendSite& s) { s.password = "6151"; }), {Yes}, {"The password is wrong."}, Refused, After::Untouched},
    // 11 characters in 21 bytes; input 1 and output 1 claimed by two functions.
    {"every profile rule", Edit([](ProfiloZem& p, auto&) { p.Nome = "ÄÖÜÄÖÜÄÖÜÄ1", p.SetNomeMisura(1, ""), p.SetNomeMisura(2, std::string(24, 'M')), p.SetnInput(3, 1, 2), p.SetnOutput(2, 4, 2); }),
     {}, {"ÄÖÜÄÖÜÄÖÜÄ1\r\nThe instrument name is too long.\r\nMax 20 characters.", "There isn't measure 1 name.", std::string(24, 'M') + "\r\nThe measure 2 name is too long.\r\nMax 23 characters.",
          "The input 1 is configured for differtent functions.", "The output 1 is configured for differtent functions."}, Failed, After::Untouched},
    {"no name", Edit([](ProfiloZem& p, auto&) { p.Nome.clear(); }), {}, {"There isn't instrument name."}, Failed, After::Untouched},
    {"type 12", InService([](SendSite& s) { Memory(s).Opzioni().protocollo = 12; }), {}, {"Instrument type non supported.\r\nType: 12\r\nRelease: 11"}, Failed, After::Untouched},
    {"release 13", InService([](SendSite& s) { Memory(s).Opzioni().estensioni = 13; }), {}, {"The instrument is not supported\r\nVersion: 3.12"}, Failed, After::Untouched},
    {"release 13, update mode", InService([](SendSite& s) { Memory(s).Opzioni().estensioni = 13, Memory(s).SetUpdateMode(true); }), {}, {"The instrument is not supported\r\nType: 14\r\nRelease: 13"}, Failed, After::Untouched, true},
    {"silent", InService([](SendSite& s) { s.bench.instrument.Faults().deaf = true; }), {}, {kNoLink}, Failed, After::Untouched},
    {"port 70000", Edit([](auto&, std::string& k) { k = "IP:127.0.0.1:70000"; }), {}, {kNoLink}, Failed, After::Untouched},
    {"no port", Edit([](auto&, std::string& k) { k = "IP:127.0.0.1"; }), {}, {kNoLink}, Failed, After::Untouched},
    {"header not cleared", InService([](SendSite& s) { s.compat = true, Memory(s).FallisciScrittura(2); }), {Yes, Yes}, {kClear, "Clearing memory fail."}, Failed, After::Byte4Only, true},
    {"image not written", InService([](SendSite& s) { Memory(s).FallisciScrittura(6); }), {Yes, Yes}, {kClear, kFail}, Failed, After::Cleared, true},
    {"update mode not entered", InService([](SendSite& s) { Memory(s).Guasti().riavvioIgnorato = true; }), {Yes, No}, {"Failed to entry in \"update\" mode.\r\nDo you want to continue?"}, Failed, After::Byte4Only},
    {"update mode not left", InService([](SendSite& s) { Memory(s).SetUpdateMode(true), Memory(s).Guasti().riavvioIgnorato = true; }), {Yes, Yes}, {kClear, "Exit update mode impossible."}, Failed, After::Sent, true},
};

class Send : public ::testing::TestWithParam<const char*> {};

TEST_P(Send, EachCaseAsksAndTellsWhatItShouldAndLeavesTheInstrumentAsItShould)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SendSite s(c.mailbox);
        ProfiloZem p = ProfiloMisto();
        std::string key = GetParam();
        if (c.prepare) c.prepare(s, p, key);
        const auto before = Memory(s).Configurazione();
        const auto shown = static_cast<std::ptrdiff_t>(s.host.Messages().size());
        EXPECT_EQ(s.Send(p, key, c.answers), c.outcome);
        auto texts = s.host.MessageTexts();
        texts.erase(texts.begin(), texts.begin() + shown + (c.answers.empty() ? 0 : 1));  // and the confirmation
        EXPECT_EQ(texts, c.texts);
        EXPECT_TRUE(s.host.PendingAnswers() == 0 && Memory(s).UpdateMode() == c.updateMode && c.check(s, key));
        const auto& after = Memory(s).Configurazione();
        EXPECT_TRUE(c.after != After::Untouched || after == before);
        EXPECT_TRUE(c.after != After::Byte4Only || std::equal(after.begin() + 5, after.end(), before.begin() + 5));
        EXPECT_EQ(s.Header(), c.after == After::Cleared ? std::string(4, '\0') : c.after == After::Sent ? "ZEM5" : s.Header());
        EXPECT_TRUE(c.after != After::Sent || (s.value <= s.maximum && s.ReadBack(key) == (c.updateMode ? std::vector<std::string>{} : kMisto)));
    }
}

// The line dies at one exchange (each of the first and last 40, a stride between): never a success,
// "ZEM5" never heads a memory that is neither the old nor the new one, and the next send mends it.
TEST_P(Send, ALineDyingAnywhereIsNeverASuccessAndTheNextSendRepairsIt)
{
    auto send = [](SendSite& s) { return InvioProfilo(s.host, s.platform.Platform(), s.gate, s).Invia(ProfiloMisto(), GetParam()); };
    auto site = [](SendSite& s) { s.InService(), s.host.PressOn(), s.TypePassword(), s.gate.PasswordOK(); };
    auto memory = [](SendSite& s) { auto m = Memory(s).Configurazione(); m[4] = 0; return m; };  // but the update-mode bit
    SendSite reference;
    const auto before = (site(reference), memory(reference));
    ASSERT_EQ(send(reference), Succeeded);
    const auto after = memory(reference);
    const std::uint64_t frames = reference.bench.instrument.FramesExecuted();
    for (std::uint64_t k = 1; k <= frames; k += k <= 40 || k + 40 >= frames ? 1 : frames / 40) {
        SCOPED_TRACE(k);
        SendSite s;
        site(s), s.bench.instrument.Faults().deafAtFrame = k;
        EXPECT_NE(send(s), Succeeded);
        EXPECT_TRUE(s.Header() != "ZEM5" || memory(s) == before || memory(s) == after);
        EXPECT_TRUE((s.bench.instrument.Faults() = {}, send(s)) == Succeeded && s.ReadBack(GetParam()) == kMisto);
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, Send, ::testing::Values("USB: MR4B0001", "IP:127.0.0.1:7000"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Usb" : "Udp"); });

// The main window's menu: menus held and the bar moving; closing stops the writing, told as a failure.
TEST(MainWindowSend, SendsTheOpenProfileAndAClosingWindowStopsTheWriting)
{
    for (const bool close : {false, true}) {
        SendSite s;
        s.InService(), s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        FMainZEMSETUP w(s.host, s.settings, s.platform.Platform(), {ZEM_BINARY_DIR, "", 1, 0});
        w.LoadWindow(), (w.Profilo() = ProfiloMisto()).Vuoto = false, w.AggiornaMenu();
        s.host.OnForm("FSceltaStrumento", [&s](ui::Form& f) {
            EXPECT_EQ(f.Caption(), "Send profile to instrument");
            s.host.AdvanceTimers(4000);
            static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(0), static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
        });
        s.host.Answer(Yes), s.TypePassword(), s.host.Answer(Yes);
        s.host.AtDoEvents(10, [&] {
            EXPECT_TRUE(!w.mnuFile.Enabled() && !w.mnuConfig.Enabled() && w.ProgressBar1.Visible() && w.ProgressBar1.Value() > 9);  // by bytes, many a write
            EXPECT_TRUE(w.lblTrasferimento.Caption() == "Writing memory" && (!close || w.RequestClose()));
        });
        EXPECT_TRUE(w.mnuFormat.UserClick() && s.host.MessageTexts().back() == (close ? kFail : kSent));
        EXPECT_TRUE(w.Loaded() != close && !w.ProgressBar1.Visible() && !w.Label1.Visible() && !s.host.Busy() && w.mnuFile.Enabled());
        EXPECT_EQ(s.bench.memory.UpdateMode(), close);
    }
}

} // namespace
} // namespace zem::test
