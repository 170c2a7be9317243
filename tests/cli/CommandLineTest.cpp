// zemcli's command line as a script meets it: help, usage errors, where options may stand, JSON
// on stdout, --quiet and --verbose.
#include "tests/cli/ZemcliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>
#include <sstream>

namespace zem::test {
namespace {

const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
const std::string kUsb1 = "USB: MR4A1001";

ZemcliResult Simulated(std::vector<std::string> args)
{
    args.insert(args.begin(), "--simulate");
    return RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-line", "XDG_DATA_HOME=/nonexistent/zemcli-line",
                            "ZEMSETUP_PASSWORD=6150"});
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ZemcliCommandLine, EachCommandPrintsItsHelpOnStdoutWithoutTheParsersBookkeeping)
{
    const std::regex noise("\\([0-9]+x\\)| TEXT |:(INT|FLOAT|POSITIVE|\\{)");
    for (const char* command : {"list", "eth-setup", "monitor", "curve", "send", "check", "info", "usb-init",
                                "sn-list", "read", "backup", "restore", "memtest", "diff", "record", "stats"}) {
        const auto help = RunZemcli({command, "--help"}, {});
        EXPECT_EQ(help.code, 0) << command << help.err;
        EXPECT_TRUE(Has(help.out, std::string("Usage: zemcli ") + command)) << help.out;
        EXPECT_EQ(help.err, "") << command;
        EXPECT_FALSE(std::regex_search(help.out, noise)) << help.out;
    }
}

TEST(ZemcliCommandLine, OptionsStandAnywhereAndErrorsNameTheCulprit)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string said;  // on stdout when the command ran, else on stderr
    };
    const Case cases[] = {
        {{"list", "--usb-only", "--bogus"}, 2, "zemcli list: The following argument was not expected: --bogus"},
        {{"info", "--to", kUsb1, "--measure=3"}, 2, "--measure"},
        {{"info", "--to=" + kUsb1}, 0, "Protocol: 14-11"},
        {{"info", "--quiet", "--to", kUsb1}, 0, "Protocol: 14-11"},
        {{"diff", "--", kTemplate, kTemplate}, 0, ""},
        {{"diff", kTemplate}, 2, "zemcli diff: FILES: two profiles, or one and --to KEY"},
    };
    for (const auto& c : cases) {
        const auto r = Simulated(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[0] << " " << c.args[1] << "\n" << r.err;
        EXPECT_TRUE(Has(c.code == 0 ? r.out : r.err, c.said)) << r.out << r.err;
    }
}

TEST(ZemcliCommandLine, EachDataCommandWritesJsonLines)
{
    const std::string profile = std::filesystem::temp_directory_path() / ("zemcli-json-" + std::to_string(::getpid()) + ".zemp");
    const auto r = Simulated({"--yes", "list", "--json", "then", "info", "--json", "--to", kUsb1, "then", "monitor",
                              "--once", "--json", "--to", kUsb1, "then", "check", "--json", "--to", kUsb1, "then",
                              "sn-list", "--json", "then", "read", "--json", "--force", "--to", kUsb1, profile, "then",
                              "send", "--json", profile, "--to", kUsb1, "--works", "clear"});
    std::filesystem::remove(profile);
    EXPECT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<nlohmann::json> documents;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_TRUE(nlohmann::json::accept(line)) << line;
        documents.push_back(nlohmann::json::parse(line));
    }
    ASSERT_EQ(documents.size(), 7u) << r.out;
    EXPECT_TRUE(documents[0].is_array());
    EXPECT_EQ(documents[6]["outcome"], "succeeded") << documents[6];
    const auto& exchanges = documents[6]["exchanges"];
    EXPECT_GT(exchanges["exchanges"].get<int>(), 100) << exchanges;
    EXPECT_GE(exchanges["frames"], exchanges["exchanges"]);
    EXPECT_EQ(exchanges["failed"], 0);
    EXPECT_GT(documents[6]["seconds"].get<double>(), 0.0);
}

TEST(ZemcliCommandLine, QuietLeavesTheDataAndVerboseCountsTheExchanges)
{
    const auto quiet = Simulated({"--yes", "--quiet", "send", kTemplate, "--to", kUsb1, "--works", "clear"});
    EXPECT_EQ(quiet.code, 0) << quiet.err;
    EXPECT_EQ(quiet.out + quiet.err, "");

    const auto verbose = Simulated({"info", "--to", kUsb1, "--verbose", "then", "check", "--to", "USB: NOSUCH01"});
    EXPECT_EQ(verbose.code, 1);
    const std::regex counted("zemcli: info: ([1-9][0-9]*) exchanges, \\1 frames, 0 retries, 0 resyncs, 0 time-outs, "
                             "0 bad replies, 0 given up; [0-9.]+ s\n");
    EXPECT_TRUE(std::regex_search(verbose.err, counted)) << verbose.err;
    EXPECT_TRUE(Has(verbose.err, "zemcli: check: 0 exchanges")) << verbose.err;
}

TEST(ZemcliCommandLine, VerboseSummarisesEachStepOfASendAndTheStepsAddUpToTheCommand)
{
    const auto r = Simulated({"--yes", "--verbose", "send", kTemplate, "--to", kUsb1, "--works", "clear"});
    const std::regex line("zemcli: ([a-z ]+): ([1-9][0-9]*) exchanges, \\2 frames, 0 retries, [^\n]*\n");
    std::vector<std::string> steps;
    long uncounted = 0;  // the command's exchanges less its steps'
    for (std::sregex_iterator it(r.err.begin(), r.err.end(), line), end; it != end; ++it) {
        steps.push_back((*it)[1]);
        uncounted += std::stol((*it)[2]) * (steps.back() == "send" ? 1 : -1);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"opening", "restarting the instrument", "reading the instrument",
                                               "writing memory", "verifying", "writing header",
                                               "restarting the instrument", "opening", "send"})) << r.err;
    EXPECT_EQ(uncounted, 0) << r.err;
}

} // namespace
} // namespace zem::test
