#include "tests/cli/ZemcliRun.h"

#include "sim/ZemsimProcess.h"

#include <gtest/gtest.h>

#include <regex>

namespace zem::test {
namespace {

// One reading of zemsim's press over UDP: the six transducers by their diagnosis names, then the
// inputs and outputs with the functions of the instrument's configuration.
TEST(ZemcliMonitor, PrintsOneReadingOfTransducersInputsAndOutputs)
{
    ZemsimProcess sim(std::string(ZEM_BINARY_DIR) + "/zemsim", {});
    ASSERT_NE(sim.Port(), 0) << sim.Output();
    const auto once = RunZemcli({"monitor", "--to", "IP:127.0.0.1:" + std::to_string(sim.Port()), "--once"}, {});
    EXPECT_EQ(once.code, 0) << once.err;
    const std::regex lettura(
        "2mV/V analog input \\(load cell\\) #1A\t[0-9]+\n0-10V analog input #1B\t[0-9]+\n"
        "Quadrature encoder #1E\t[0-9]+\n2mV/V analog input \\(load cell\\) #2A\t2048\n"
        "0-10V analog input #2B\t1024\nQuadrature encoder #2E\t-1000\n"
        "Input 0\toff\tStart measure\nInput 1\toff\tEnable measure\n(Input [2-7]\toff\tNot used\n){6}"
        "Output 0\toff\tGood signal\nOutput 1\toff\tRejected signal\n(Output [2-7]\toff\tNot used\n){6}\n");
    EXPECT_TRUE(std::regex_match(once.out, lettura)) << once.out;

    struct Caso {
        std::vector<std::string> args;
        int code;
        std::string messaggio;
    };
    const Caso casi[] = {
        {{"--simulate", "monitor", "--to", "USB: MR4A1003", "--once"}, 1,
         "Diagnosis and calibration are not possible in update mode.\nSetting and send profile first.\n"},
        {{"monitor", "--to", "IP:127.0.0.1", "--once"}, 1, "Communication error\n"},
    };
    for (const Caso& c : casi) {
        const auto r = RunZemcli(c.args, {});
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(r.out + r.err, c.messaggio);
    }
}

} // namespace
} // namespace zem::test
