// zemsim: the simulated instrument on UDP, bound to 127.0.0.1, for the demo, the end-to-end tests
// and the benchmarks; with --modules also two simulated Ethernet modules and their instruments. It
// prints the ports it listens on and serves until SIGINT or SIGTERM (or until its standard input
// closes, with --stdin-lifetime, so it never outlives the program that started it).

#include "link/Clock.h"
#include "sim/DefaultInstrument.h"
#include "sim/StandardModules.h"
#include "sim/UdpInstrumentServer.h"
#include "sim/UdpModuleServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

void Usage(std::FILE* to)
{
    std::fputs("usage: zemsim [--port N] [--split] [--latency-ms X] [--drop-every N]\n"
               "              [--corrupt-every N] [--silent] [--stdin-lifetime]\n"
               "              [--modules PORT [--module-reject COMMAND:CODE] [--module-silent COMMAND]]\n"
               "  --port N           UDP port on 127.0.0.1 (default 0: chosen by the system)\n"
               "  --split            send the echo and the reply as two datagrams\n"
               "  --latency-ms X     delay every datagram sent back by X milliseconds\n"
               "  --drop-every N     lose every Nth datagram received\n"
               "  --corrupt-every N  flip the first byte of every Nth datagram sent back\n"
               "  --silent           answer nothing at all\n"
               "  --stdin-lifetime   stop when standard input closes\n"
               "  --modules PORT     also serve two Ethernet modules: their commands on 127.0.0.1:PORT\n"
               "                     (0: chosen by the system; aim the broadcast there), their\n"
               "                     instruments at 127.0.0.11 and 127.0.0.12\n"
               "  --module-reject COMMAND:CODE\n"
               "                     the modules reject COMMAND with the one-character reply code CODE\n"
               "  --module-silent COMMAND\n"
               "                     the modules never answer COMMAND\n"
               "  COMMAND is one of discover, select, login, getip, logout, assign, setting\n",
               to);
}

std::optional<long> WholeNumber(const char* text, long low, long high)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<double> Milliseconds(const char* text)
{
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(value >= 0) || value > 60000) return std::nullopt;
    return value;
}

struct ModuleKnob {
    zem::sim::ModuleCommand command;
    std::optional<char> rejectCode;  // none: silent
};

struct Settings {
    zem::sim::UdpInstrumentServer::Options server;
    bool silent = false;
    bool stdinLifetime = false;
    std::optional<std::uint16_t> modulesPort;
    std::vector<ModuleKnob> moduleKnobs;
};

// "COMMAND:CODE" (a reject) or "COMMAND" (silent).
std::optional<ModuleKnob> Knob(const std::string& text, bool reject)
{
    const auto colon = text.find(':');
    if (reject != (colon != std::string::npos)) return std::nullopt;
    const auto command = zem::sim::ModuleCommandNamed(text.substr(0, colon));
    if (!command) return std::nullopt;
    if (!reject) return ModuleKnob{*command, std::nullopt};
    if (text.size() != colon + 2) return std::nullopt;
    return ModuleKnob{*command, text[colon + 1]};
}

// The settings, or the argument that could not be taken.
std::optional<Settings> Parse(int argc, char** argv, std::string& bad)
{
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bad = arg;
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--split") {
            s.server.splitReply = true;
        } else if (arg == "--silent") {
            s.silent = true;
        } else if (arg == "--stdin-lifetime") {
            s.stdinLifetime = true;
        } else if (arg == "--port" && value) {
            const auto port = WholeNumber(value, 0, 65535);
            if (!port) return std::nullopt;
            s.server.port = static_cast<std::uint16_t>(*port);
            ++i;
        } else if (arg == "--modules" && value) {
            const auto port = WholeNumber(value, 0, 65535);
            if (!port) return std::nullopt;
            s.modulesPort = static_cast<std::uint16_t>(*port);
            ++i;
        } else if ((arg == "--module-reject" || arg == "--module-silent") && value) {
            const auto knob = Knob(value, arg == "--module-reject");
            if (!knob) return std::nullopt;
            s.moduleKnobs.push_back(*knob);
            ++i;
        } else if (arg == "--latency-ms" && value) {
            const auto ms = Milliseconds(value);
            if (!ms) return std::nullopt;
            s.server.latencySeconds = *ms / 1000.0;
            ++i;
        } else if ((arg == "--drop-every" || arg == "--corrupt-every") && value) {
            const auto n = WholeNumber(value, 1, 1000000);
            if (!n) return std::nullopt;
            (arg == "--drop-every" ? s.server.dropEvery : s.server.corruptEvery) = static_cast<int>(*n);
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!s.moduleKnobs.empty() && !s.modulesPort) {
        bad = "--module-reject/--module-silent without --modules";
        return std::nullopt;
    }
    return s;
}

// Blocks until a signal arrives or, when asked, standard input reaches its end.
void WaitForTheEnd(bool watchStdin)
{
    for (;;) {
        pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int ready = ::poll(fds, watchStdin ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents != 0) return;
        if (watchStdin && fds[1].revents != 0) {
            char discard[256];
            const ssize_t got = ::read(STDIN_FILENO, discard, sizeof discard);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
    }
    std::string bad;
    const auto settings = Parse(argc, argv, bad);
    if (!settings) {
        std::fprintf(stderr, "zemsim: bad or incomplete argument \"%s\" (see --help)\n", bad.c_str());
        return 2;
    }

    if (::pipe(signalPipe) != 0) {
        std::perror("zemsim: pipe");
        return 1;
    }
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    zem::SystemClock clock;
    zem::sim::DefaultInstrument instrument(clock);
    instrument.Instrument().Faults().deaf = settings->silent;
    zem::sim::UdpInstrumentServer server(instrument.Instrument(), clock, settings->server);
    if (!server.Start()) {
        std::fprintf(stderr, "zemsim: cannot listen on 127.0.0.1:%u: %s\n",
                     static_cast<unsigned>(settings->server.port), std::strerror(errno));
        return 1;
    }
    // Every line in one write, so that a reader has them all once it has the first.
    std::string banner = "listening on 127.0.0.1:" + std::to_string(server.Port()) + "\n";

    zem::sim::SimulatedModules modules(clock);
    std::optional<zem::sim::UdpModuleServer> moduleServer;
    if (settings->modulesPort) {
        zem::sim::AddStandardModules(modules, 0);
        for (std::size_t i = 0; i < modules.Count(); ++i) {
            for (const ModuleKnob& knob : settings->moduleKnobs) {
                if (knob.rejectCode)
                    modules[i].Reject(knob.command, *knob.rejectCode);
                else
                    modules[i].Silence(knob.command);
            }
        }
        moduleServer.emplace(modules, clock, *settings->modulesPort);
        if (!moduleServer->Start()) {
            std::fprintf(stderr, "zemsim: cannot serve the modules on 127.0.0.1:%u: %s\n",
                         static_cast<unsigned>(*settings->modulesPort), std::strerror(errno));
            server.Stop();
            return 1;
        }
        banner += "modules on 127.0.0.1:" + std::to_string(moduleServer->Port()) + "\n";
        for (std::size_t i = 0; i < modules.Count(); ++i) {
            const auto& identity = modules[i].Identity();
            banner += "module " + identity.mac + " at " + identity.ip + ":" + std::to_string(identity.dataPort) + "\n";
        }
    }
    std::fputs(banner.c_str(), stdout);
    std::fflush(stdout);

    WaitForTheEnd(settings->stdinLifetime);
    if (moduleServer) moduleServer->Stop();
    server.Stop();
    return 0;
}
