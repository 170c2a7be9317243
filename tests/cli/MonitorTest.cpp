#include "tests/cli/ZemcliRun.h"

#include "sim/DefaultInstrument.h"
#include "sim/UdpInstrumentServer.h"
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

// `zemcli monitor | :`: the reader goes at once, the watch ends on EPIPE and the instrument leaves
// diagnostic mode before the program exits.
TEST(ZemcliMonitor, AReaderGoneEndsTheWatchWithTheInstrumentOutOfDiagnosticMode)
{
    SystemClock clock;
    sim::DefaultInstrument press(clock);
    const auto modo = press.Instrument().Command(20);
    int entered = 0;  // read once the server thread has stopped
    press.Instrument().SetCommand(20, [&](std::span<const std::uint8_t> a) {
        entered += a.size() == 1 && a[0] == 1;
        return modo(a);
    });
    sim::UdpInstrumentServer server(press.Instrument(), clock);
    ASSERT_TRUE(server.Start());
    const std::string monitor = std::string(ZEM_BINARY_DIR) + "/zemcli monitor --to IP:127.0.0.1:" + std::to_string(server.Port());
    RunZemcli({"-c", monitor + " | :"}, {}, 20000, "/bin/sh");
    server.Stop();
    EXPECT_EQ(entered, 1);
    EXPECT_FALSE(press.Diagnostics().ModoDiagnostico());
}

} // namespace
} // namespace zem::test
