#include "tests/cli/ZemcliRun.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
const std::string kUsb1 = "USB: MR4A1001";

// zemcli on its own simulated instruments; settings nobody wrote, so the password is the default.
ZemcliResult Zemcli(std::vector<std::string> args, const std::string& password = "6150")
{
    args.insert(args.begin(), "--simulate");
    return RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-send", "ZEMSETUP_PASSWORD=" + password});
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ZemcliSend, SendsTheTemplateAndTheInstrumentThenHoldsIt)
{
    const auto sent = Zemcli({"--yes", "send", kTemplate, "--to", kUsb1, "--works", "clear", "then", "info", "--to",
                           kUsb1, "then", "send", kTemplate, "--to", kUsb1, "--works", "keep"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_EQ(sent.out, "Sending profile successfully.\n"
                        "Instrument: ZEM AUTOMATION\nProtocol: 14-11\nMeasure 1: Press (Press force-position)\n"
                        "Sending profile successfully.\n");
    // The first send met works of another profile and cleared them; the second kept its own.
    EXPECT_TRUE(Has(sent.err, "Old instrument name: LINE 1 PRESS\n")) << sent.err;
    EXPECT_TRUE(Has(sent.err, "Are you sure to clear the works settings?\nYes (--works clear)")) << sent.err;
    EXPECT_TRUE(Has(sent.err, "Keep the works settings?\nYes (--works keep)")) << sent.err;
    // No terminal, no progress drawn among the messages.
    EXPECT_FALSE(Has(sent.err, "Wait...") || Has(sent.err, "Progress:")) << sent.err;
}

TEST(ZemcliSend, AnswersWhatHappenedInItsExitCode)
{
    struct Case { std::vector<std::string> args; int code; std::string said; std::string password = "6150"; };
    const Case cases[] = {
        // The works questions are never answered by --yes, and no terminal asks them.
        {{"--yes", "send", kTemplate, "--to", kUsb1}, 3, "Are you sure to clear the works settings?\n(not answered: No)"},
        {{"--yes", "send", kTemplate, "--to", kUsb1, "--works", "keep"}, 3, "No (--works keep)"},
        {{"send", kTemplate, "--to", kUsb1, "--works", "clear"}, 3, "Send profile settings to instrument?\n(not answered: No)"},
        {{"--yes", "send", kTemplate, "--to", kUsb1, "--works", "clear"}, 3, "The password is wrong.", "1111"},
        {{"--yes", "send", kTemplate, "--to", "USB: NOSUCH01", "--works", "clear"}, 1, "Communication error"},
        {{"--yes", "send", kTemplate, "--to", "IP:127.0.0.1:70000", "--works", "clear"}, 1, "Communication error"},
        {{"--yes", "send", "/nonexistent/x.zemp", "--to", kUsb1}, 1, "Open file error.\n/nonexistent/x.zemp"},
        {{"send", kTemplate, "--to", kUsb1, "--works", "maybe"}, 2, "zemcli send: "},
        {{"send", kTemplate}, 2, "zemcli send: "},
        {{"check", "--to", "USB: NOSUCH01"}, 1, "Communication error"},
        {{"check", "--to", "USB: FT000000"}, 1, "Instrument type non supported."},
        {{"check", "--to", "IP:127.0.0.1:7000"}, 2, "zemcli check: "},
        {{"check", "--to", kUsb1, "then", "inventory"}, 2, "zemcli: The following argument was not expected: inventory"},
        // A configured instrument passes quietly; an empty memory is told, and is a failure.
        {{"check", "--to", kUsb1, "then", "check", "--to", "USB: MR4A1003"}, 1, "The instrument memory is empty.\n"},
    };
    for (const auto& c : cases) {
        const auto result = Zemcli(c.args, c.password);
        EXPECT_EQ(result.code, c.code) << c.args[1] << " " << c.args.back() << "\n" << result.err;
        EXPECT_TRUE(Has(result.out + result.err, c.said)) << result.out << result.err;
        EXPECT_FALSE(Has(result.out, "Sending profile successfully.")) << result.out;
    }
}

// Each command of a chained run gets its own answers and starts without the refusal or failure of
// the one before: the memory test's question is --yes's, not the send's --works.
TEST(ZemcliSend, EachChainedCommandAnswersItsOwnQuestions)
{
    struct Case { std::vector<std::string> args; std::string told; };
    const std::string kMemory = "Are you sure to clear the instrument memory?\n";
    const Case cases[] = {
        {{"--yes", "send", kTemplate, "--to", kUsb1, "--works", "clear", "then", "send", kTemplate, "--to", kUsb1, "--works",
          "keep", "then", "memtest", "--to", kUsb1},
         kMemory + "Yes (--yes)"},
        {{"--yes", "send", kTemplate, "--to", kUsb1, "--works", "clear", "then", "memtest", "--to", kUsb1}, kMemory + "Yes (--yes)"},
        // Programming the bridge ends with a warning to replug it; the listing after it still succeeds.
        {{"usb-init", "--to", "USB: MR4A1003", "--name", "BENCH", "--serial", "70000", "then", "list", "--usb-only"},
         "USB: MR470000\t[BENCH]"},
    };
    for (const auto& c : cases) {
        const auto result = Zemcli(c.args);
        EXPECT_EQ(result.code, 0) << c.args[1] << "\n" << result.err;
        EXPECT_TRUE(Has(result.out + result.err, c.told)) << result.out << result.err;
        EXPECT_FALSE(Has(result.err, kMemory + "No") || Has(result.err, kMemory + "Yes (--works")) << result.err;
    }
}

} // namespace
} // namespace zem::test
