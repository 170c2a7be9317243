#include "tests/cli/ZemcliRun.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zem::test {
namespace {

const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";

// zemcli on its own simulated instruments, with settings of its own (the default password).
class ZemcliSend : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("zemcli-send-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "good") << "6150\n";
        std::ofstream(folder / "wrong") << "1111\n";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    ZemcliResult Run(std::vector<std::string> args, const char* password = "good")
    {
        args.insert(args.begin(), {"--simulate", "--password-file", (folder / password).string()});
        return RunZemcli(args, {"XDG_CONFIG_HOME=" + folder.string()});
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    std::filesystem::path folder;
};

TEST_F(ZemcliSend, SendsTheTemplateAndTheInstrumentThenHoldsIt)
{
    const auto sent = Run({"--yes", "send", kTemplate, "--to", "USB: MR4A1001", "--works", "clear", "then", "info",
                           "--to", "USB: MR4A1001", "then", "send", kTemplate, "--to", "USB: MR4A1001", "--works", "keep"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_EQ(sent.out, "Sending profile successfully.\n"
                        "Instrument: ZEM AUTOMATION\nProtocol: 14-11\nMeasure 1: Press (Press force-position)\n"
                        "Sending profile successfully.\n");
    // The first send met other works and cleared them; the second found its own and kept them.
    EXPECT_TRUE(Has(sent.err, "Old instrument name: LINE 1 PRESS\n")) << sent.err;
    EXPECT_TRUE(Has(sent.err, "Are you sure to clear the works settings?\nYes (--works clear)")) << sent.err;
    EXPECT_TRUE(Has(sent.err, "Keep the works settings?\nYes (--works keep)")) << sent.err;
    // No terminal, no progress drawn among the messages.
    EXPECT_FALSE(Has(sent.err, "Wait...") || Has(sent.err, "Progress:")) << sent.err;
}

TEST_F(ZemcliSend, AnswersWhatHappenedInItsExitCode)
{
    struct Case {
        std::vector<std::string> args;
        const char* password;
        int code;
        std::string said;  // a part of what it printed
    };
    const std::string usb1 = "USB: MR4A1001";
    const Case cases[] = {
        // The works question is never answered by --yes, and no terminal asks it.
        {{"--yes", "send", kTemplate, "--to", usb1}, "good", 3, "Are you sure to clear the works settings?\n(not answered: No)"},
        {{"--yes", "send", kTemplate, "--to", usb1, "--works", "keep"}, "good", 3, "No (--works keep)"},
        {{"send", kTemplate, "--to", usb1, "--works", "clear"}, "good", 3, "Send profile settings to instrument?\n(not answered: No)"},
        {{"--yes", "send", kTemplate, "--to", usb1, "--works", "clear"}, "wrong", 3, "The password is wrong."},
        {{"--yes", "send", kTemplate, "--to", "USB: NOSUCH01", "--works", "clear"}, "good", 1, "Communication error"},
        {{"--yes", "send", kTemplate, "--to", "IP:127.0.0.1:70000", "--works", "clear"}, "good", 1, "Communication error"},
        {{"--yes", "send", "/nonexistent/x.zemp", "--to", usb1}, "good", 1, "Open file error.\n/nonexistent/x.zemp"},
        {{"send", kTemplate, "--to", usb1, "--works", "maybe"}, "good", 2, "usage: zemcli send"},
        {{"send", kTemplate}, "good", 2, "usage: zemcli send"},
        {{"check", "--to", "USB: NOSUCH01"}, "good", 1, "Communication error"},
        {{"check", "--to", "USB: FT000000"}, "good", 1, "Instrument type non supported."},
        {{"check", "--to", "IP:127.0.0.1:7000"}, "good", 2, "usage: zemcli check"},
        {{"check", "--to", "USB: MR4A1001", "then", "inventory"}, "good", 2, "usage: zemcli"},
    };
    for (const auto& c : cases) {
        const auto result = Run(c.args, c.password);
        EXPECT_EQ(result.code, c.code) << c.args[1] << " " << c.args.back() << "\n" << result.err;
        EXPECT_TRUE(Has(result.out + result.err, c.said)) << result.out << result.err;
        EXPECT_FALSE(Has(result.out, "Sending profile successfully.")) << result.out;
    }
    // The check: a configured instrument ends quietly, an empty memory is told and is a failure.
    const auto check = Run({"check", "--to", usb1, "then", "check", "--to", "USB: MR4A1003"});
    EXPECT_EQ(check.code, 1);
    EXPECT_EQ(check.out, "The instrument memory is empty.\n");
}

} // namespace
} // namespace zem::test
