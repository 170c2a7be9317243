#include "tests/cli/ZemcliRun.h"

#include "sim/StandardModules.h"
#include "sim/ZemsimProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <regex>

namespace zem::test {
namespace {

const std::string kZemsim = std::string(ZEM_BINARY_DIR) + "/zemsim";

// zemcli against the modules zemsim serves on loopback, with settings of its own (the default
// password) and the password in a file.
class Zemcli : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("zemcli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "good") << "6150\n";
        std::ofstream(folder / "wrong") << "1111\n";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    ZemcliResult Run(ZemsimProcess& sim, std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--broadcast", "127.0.0.1:" + std::to_string(sim.ModulesPort())});
        return RunZemcli(args, {"XDG_CONFIG_HOME=" + folder.string()});
    }
    std::string File(const char* name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(Zemcli, ListsTheModulesAndTheirInstruments)
{
    ZemsimProcess sim(kZemsim, {"--modules", "0"});
    ASSERT_NE(sim.ModulesPort(), 0) << sim.Output();
    const auto macs = Run(sim, {"list", "--network-only"});
    EXPECT_EQ(macs.code, 0) << macs.err;
    EXPECT_TRUE(std::regex_match(macs.out, std::regex("MAC: 00-50-C2-5A-10-01\t\\[ZEM-ETH-1\\]\tIP:127.0.0.11:[0-9]+\n"
                                                      "MAC: 00-50-C2-5A-10-02\t\\[ZEM-ETH-2\\]\tIP:127.0.0.12:[0-9]+\n")))
        << macs.out;
    const auto json = Run(sim, {"list", "--json"});
    EXPECT_EQ(json.code, 0) << json.err;
    const auto list = nlohmann::json::parse(json.out);
    ASSERT_EQ(list.size(), 2u) << json.out;
    for (const auto& entry : list) {
        EXPECT_TRUE(std::regex_match(entry["key"].get<std::string>(), std::regex("IP:127.0.0.1[12]:[0-9]+"))) << entry;
        EXPECT_EQ(entry["name"], "ZEM SIMULATOR (PRESS FIT & HEIGHT)");
        EXPECT_EQ(entry["info"], "Protocol: 14-11");
    }
}

TEST_F(Zemcli, SetsAModuleAddressAndAnswersWhatHappenedInItsExitCode)
{
    ZemsimProcess sim(kZemsim, {"--modules", "0"});
    ASSERT_NE(sim.ModulesPort(), 0) << sim.Output();
    const auto done = Run(sim, {"--password-file", File("good"), "eth-setup", std::string("MAC: ") + sim::kModuleMac2,
                                "--ip", "127.0.0.42"});
    EXPECT_EQ(done.code, 0) << done.err;
    EXPECT_EQ(done.out, "address read: 127.0.0.12\nEthernet setup successfully.\n");

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;  // what stderr begins with
    };
    const Case cases[] = {
        {{"--password-file", File("wrong"), "eth-setup", sim::kModuleMac1, "--ip", "127.0.0.43"}, 3, ""},
        {{"eth-setup", sim::kModuleMac1, "--ip", "127.0.0.43"}, 3, "zemcli: no password given"},
        {{"--password-file", folder.string(), "eth-setup", sim::kModuleMac1, "--ip", "127.0.0.43"}, 3,
         "zemcli: cannot read the password file " + folder.string() + ": Is a directory\n"},
        {{"--password-file", File("good"), "eth-setup", sim::kModuleMac1, "--ip", "224.1.2.3"}, 1,
         "The IP address is not valid."},
        {{"--password-file", File("good"), "eth-setup", "00-00-00-00-00-09", "--ip", "127.0.0.43"}, 1,
         "Timeout step 1"},
        {{"eth-setup", sim::kModuleMac1}, 2, "zemcli eth-setup: "},
        {{"eth-setup", "USB: MR4A1001", "--ip", "127.0.0.43"}, 2,
         "zemcli eth-setup: MODULE: not an Ethernet module's \"MAC: MAC-TEXT\": USB: MR4A1001"},
        {{"list", "--usb-only", "--network-only"}, 2, "zemcli list: "},
        {{"inventory"}, 2, "zemcli: The following argument was not expected: inventory"},
    };
    for (const auto& c : cases) {
        const auto result = Run(sim, c.args);
        EXPECT_EQ(result.code, c.code) << c.args[c.args.size() > 2 ? 2 : 0] << "\n" << result.err;
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
    }
    // The module now answers with its new address.
    const auto list = Run(sim, {"list", "--network-only"});
    EXPECT_NE(list.out.find("MAC: 00-50-C2-5A-10-02\t[ZEM-ETH-2]\tIP:127.0.0.42:"), std::string::npos) << list.out;
    EXPECT_EQ(RunZemcli({"--broadcast", "127.0.0.1:0", "list"}, {}).code, 2);
}

} // namespace
} // namespace zem::test
