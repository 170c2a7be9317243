#include "tests/cli/ZemcliRun.h"

#include "link/Clock.h"
#include "sim/DefaultInstrument.h"
#include "sim/UdpInstrumentServer.h"
#include "sim/ZemsimProcess.h"

#include <gtest/gtest.h>

#include <atomic>
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

// `zemcli monitor | head -0`: the first reading meets a pipe nobody reads. The watch ends at once
// and the instrument is taken out of diagnostic mode before the program exits.
TEST(ZemcliMonitor, AReaderGoneEndsTheWatchWithTheInstrumentOutOfDiagnosticMode)
{
    SystemClock clock;
    sim::DefaultInstrument press(clock);
    const auto modo = press.Instrument().Command(20);
    std::atomic<int> entered{0};
    press.Instrument().SetCommand(20, [&](std::span<const std::uint8_t> a) {
        if (a.size() == 1 && a[0] == 1) ++entered;
        return modo(a);
    });
    sim::UdpInstrumentServer server(press.Instrument(), clock);
    ASSERT_TRUE(server.Start());

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    ::close(out[0]);  // the reader is gone before the first line
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::string program = std::string(ZEM_BINARY_DIR) + "/zemcli", command = "monitor", to = "--to",
                key = "IP:127.0.0.1:" + std::to_string(server.Port());
    char* argv[] = {program.data(), command.data(), to.data(), key.data(), nullptr};
    char* envp[] = {nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    server.Stop();
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(entered.load(), 1);
    EXPECT_FALSE(press.Diagnostics().ModoDiagnostico());
}

} // namespace
} // namespace zem::test
