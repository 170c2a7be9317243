// A profile sent to the simulated instrument through the scripted host, over USB and UDP: what the
// technician is asked and told, what the instrument holds afterwards, what a new connection reads.
#include "tests/send/SendSite.h"

#include <algorithm>
#include <functional>

namespace zem::test {
namespace {

using ui::MsgAnswer;
using enum SendOutcome;
constexpr MsgAnswer Yes = MsgAnswer::Yes, No = MsgAnswer::No, Cancel = MsgAnswer::Cancel;
const std::string kSent = "Sending profile successfully.", kKeep = "Keep the works settings?",
                  kClear = "Are you sure to clear the works settings?",
                  kOld = "The old memory version is not supported.\r\nAre you sure to clear the instrument memory?",
                  kNoLink = "Communication error";

enum class After { Sent, Untouched, Byte4Only, Cleared };
using Prepare = std::function<void(SendSite&, ProfiloZem&, std::string& key)>;
struct Case {
    const char* name;
    Prepare prepare;
    std::vector<MsgAnswer> answers;
    std::vector<std::string> texts;  // after the confirmation
    SendOutcome outcome;
    After after = After::Sent;
    bool updateMode = false;
    bool mailbox = false;
};

void Blank(SendSite&, ProfiloZem&, std::string&) {}
void InService(SendSite& s, ProfiloZem&, std::string&) { s.InService(); }
Prepare Faulty(std::function<void(SendSite&)> fault)
{
    return [fault](SendSite& s, ProfiloZem&, std::string&) { s.InService(), fault(s); };
}

const std::vector<Case> kCases{
    {"format 5", InService, {Yes, Yes}, {kClear, kSent}, Succeeded},
    {"format 5 behind the mailbox", InService, {Yes, Yes}, {kClear, kSent}, Succeeded, After::Sent, false, true},
    {"format 4", [](SendSite& s, auto&, auto&) { s.InService('4'); }, {Yes, Yes}, {kClear, kSent}, Succeeded},
    {"unknown header", Faulty([](SendSite& s) { s.bench.memory.Configurazione()[3] = '3'; }), {Yes, Yes}, {kOld, kSent}, Succeeded},
    {"blank", Blank, {Yes, Yes}, {kOld, kSent}, Succeeded},
    {"blank behind the mailbox", Blank, {Yes, Yes}, {kOld, kSent}, Succeeded, After::Sent, false, true},
    {"found in update mode", Faulty([](SendSite& s) { s.bench.memory.SetUpdateMode(true); }), {Yes, Yes}, {kClear, kSent}, Succeeded},
    {"No to the confirmation", InService, {No}, {}, Refused, After::Untouched},
    {"No to clearing the works", InService, {Yes, No}, {kClear}, Refused, After::Untouched},
    {"Cancel to keeping the works", [](SendSite& s, ProfiloZem& p, std::string& key) { s.InService(), s.Send(p, key, {Yes, Yes}); },
     {Yes, Cancel}, {kKeep}, Refused, After::Untouched},
    {"No to clearing an old memory", Blank, {Yes, No}, {kOld}, Refused, After::Untouched},
    {"wrong password", Faulty([](SendSite& s) { s.password = "6151"; }), {Yes}, {"The password is wrong."}, Refused, After::Untouched},
    {"longest names", [](SendSite&, ProfiloZem& p, std::string&) { p.Nome.assign(20, 'N'), p.SetNomeMisura(2, std::string(23, 'M')), p.SetNomeMisura(4, ""); },
     {No}, {}, Refused, After::Untouched},
    {"every profile rule", [](SendSite&, ProfiloZem& p, std::string&) {
         p.Nome = "ÄÖÜÄÖÜÄÖÜÄ1", p.SetNomeMisura(1, ""), p.SetNomeMisura(2, std::string(24, 'M'));
         p.SetnInput(3, 1, 2), p.SetnOutput(2, 4, 2);  // input 1 and output 1 claimed twice
     }, {}, {"ÄÖÜÄÖÜÄÖÜÄ1\r\nThe instrument name is too long.\r\nMax 20 characters.", "There isn't measure 1 name.",
             std::string(24, 'M') + "\r\nThe measure 2 name is too long.\r\nMax 23 characters.",
             "The input 1 is configured for differtent functions.", "The output 1 is configured for differtent functions."},
     Failed, After::Untouched},
    {"no name", [](SendSite&, ProfiloZem& p, std::string&) { p.Nome.clear(); }, {}, {"There isn't instrument name."}, Failed, After::Untouched},
    {"type 12", Faulty([](SendSite& s) { s.bench.memory.Opzioni().protocollo = 12; }), {},
     {"Instrument type non supported.\r\nType: 12\r\nRelease: 11"}, Failed, After::Untouched},
    {"release 13", Faulty([](SendSite& s) { s.bench.memory.Opzioni().estensioni = 13; }), {},
     {"The instrument is not supported\r\nVersion: 3.12"}, Failed, After::Untouched},
    {"release 13 in update mode", Faulty([](SendSite& s) { s.bench.memory.Opzioni().estensioni = 13, s.bench.memory.SetUpdateMode(true); }),
     {}, {"The instrument is not supported\r\nType: 14\r\nRelease: 13"}, Failed, After::Untouched, true},
    {"silent", Faulty([](SendSite& s) { s.bench.instrument.Faults().deaf = true; }), {}, {kNoLink}, Failed, After::Untouched},
    {"port 70000", [](SendSite&, ProfiloZem&, std::string& key) { key = "IP:127.0.0.1:70000"; }, {}, {kNoLink}, Failed, After::Untouched},
    {"no port", [](SendSite&, ProfiloZem&, std::string& key) { key = "IP:127.0.0.1"; }, {}, {kNoLink}, Failed, After::Untouched},
    {"header not cleared", Faulty([](SendSite& s) { s.bench.memory.FallisciScrittura(2); }), {Yes, Yes},
     {kClear, "Clearing memory fail."}, Failed, After::Byte4Only, true},
    {"image not written", Faulty([](SendSite& s) { s.bench.memory.FallisciScrittura(6); }), {Yes, Yes},
     {kClear, "Programming memory fail."}, Failed, After::Cleared, true},
    {"update mode not entered", Faulty([](SendSite& s) { s.bench.memory.Guasti().riavvioIgnorato = true; }), {Yes, No},
     {"Failed to entry in \"update\" mode.\r\nDo you want to continue?"}, Failed, After::Byte4Only},
    {"update mode not left", Faulty([](SendSite& s) { s.bench.memory.SetUpdateMode(true), s.bench.memory.Guasti().riavvioIgnorato = true; }),
     {Yes, Yes}, {kClear, "Exit update mode impossible."}, Failed, After::Sent, true},
};

class Send : public ::testing::TestWithParam<const char*> {};

TEST_P(Send, EachCaseAsksAndTellsWhatItShouldAndLeavesTheInstrumentAsItShould)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SendSite s(c.mailbox);
        ProfiloZem p = ProfiloMisto();
        std::string key = GetParam();
        c.prepare(s, p, key);
        const auto before = s.bench.memory.Configurazione();
        const auto shown = static_cast<std::ptrdiff_t>(s.host.Messages().size());
        EXPECT_EQ(s.Send(p, key, c.answers), c.outcome);
        auto texts = s.host.MessageTexts();
        texts.erase(texts.begin(), texts.begin() + shown);
        if (!texts.empty() && texts[0].starts_with("Profile: ")) texts.erase(texts.begin());
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(s.host.PendingAnswers(), 0u);
        EXPECT_EQ(s.bench.memory.UpdateMode(), c.updateMode);
        const auto& after = s.bench.memory.Configurazione();
        if (c.after == After::Untouched) EXPECT_EQ(after, before);
        if (c.after == After::Byte4Only) EXPECT_TRUE(std::equal(after.begin() + 5, after.end(), before.begin() + 5));
        if (c.after == After::Cleared) EXPECT_EQ(s.Header(), std::string(4, '\0'));
        if (c.after != After::Sent) continue;
        EXPECT_EQ(s.Header(), "ZEM5");
        EXPECT_LE(s.progress.value, s.progress.maximum);
        if (!c.updateMode) EXPECT_EQ(s.ReadBack(key), kMisto);
        // The calibration and transducer options the instrument had are carried over.
        if (before[3] == '5') EXPECT_TRUE(after[61] == 5 && after[0x32] == (12345 & 0xFF) && after[0x33] == 12345 >> 8);
    }
}

TEST_P(Send, KeptWorksStayAndClearedOnesAreZeroed)
{
    SendSite s;
    s.InService();
    ASSERT_EQ(s.Send(ProfiloMisto(), GetParam(), {Yes, Yes}), Succeeded);
    EXPECT_EQ(s.host.MessageTexts()[0], "Profile: LINEA 4 PRESSE\r\nInstrument: " + std::string(GetParam())
                                            + "\r\nOld instrument name: OLD\r\n\r\nSend profile settings to instrument?");
    auto& memory = s.bench.memory.Configurazione();
    const std::size_t record = memory[22] | memory[23] << 8, works = memory[record + 5] | memory[record + 6] << 8;
    for (const MsgAnswer keep : {Yes, No}) {
        memory[works] = 0xA5;
        ASSERT_EQ(s.Send(ProfiloMisto(), GetParam(), {Yes, keep}), Succeeded);
        EXPECT_EQ(s.host.MessageTexts().end()[-2], kKeep);
        EXPECT_EQ(memory[works], keep == Yes ? 0xA5 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, Send, ::testing::Values("USB: MR4B0001", "IP:127.0.0.1:7000"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Usb" : "Udp"); });

} // namespace
} // namespace zem::test
