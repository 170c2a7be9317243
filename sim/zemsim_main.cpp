// zemsim: the simulated instrument on UDP, bound to 127.0.0.1, for the demo, the end-to-end tests
// and the benchmarks; with --modules also two simulated Ethernet modules and their instruments. It
// prints the ports it listens on and serves until SIGINT or SIGTERM (or until its standard input
// closes, with --stdin-lifetime, so it never outlives the program that started it).

#include "cli/HelpFormatter.h"
#include "link/Clock.h"
#include "sim/DefaultInstrument.h"
#include "sim/StandardModules.h"
#include "sim/UdpInstrumentServer.h"
#include "sim/UdpModuleServer.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
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

struct ModuleKnob {
    zem::sim::ModuleCommand command;
    std::optional<char> rejectCode;  // none: silent
};

struct Settings {
    zem::sim::UdpInstrumentServer::Options server;
    bool silent = false;
    bool stdinLifetime = false;
    double restartSeconds = 0;
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

// The settings; nothing, with the exit code in `code`, after --help, --version or a usage error.
std::optional<Settings> Parse(int argc, char** argv, int& code)
{
    Settings s;
    CLI::App app("The simulated instrument on UDP, bound to 127.0.0.1.", "zemsim");
    app.formatter(std::make_shared<zem::cli::HelpFormatter>());
    app.add_flag_callback("--version", [] {
        std::cout << "zemsim " << ZEM_VERSION << "\n";
        throw CLI::Success();
    }, "print the version and exit");
    app.add_option("--port", s.server.port, "UDP port on 127.0.0.1 (default 0: chosen by the system)")->type_name("N");
    app.add_flag("--split", s.server.splitReply, "send the echo and the reply as two datagrams");
    app.add_option_function<double>("--latency-ms", [&s](double ms) { s.server.latencySeconds = ms / 1000.0; },
                                    "delay every datagram sent back by X milliseconds, 0 to 60000")
        ->type_name("X")
        ->check(CLI::Range(0.0, 60000.0).description(""));
    app.add_option_function<double>("--restart-ms", [&s](double ms) { s.restartSeconds = ms / 1000.0; },
                                    "stay deaf for X milliseconds after each restart, 0 to 60000")
        ->type_name("X")
        ->check(CLI::Range(0.0, 60000.0).description(""));
    app.add_option("--drop-every", s.server.dropEvery, "lose every Nth datagram received, N from 1 to 1000000")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000).description(""));
    app.add_option("--corrupt-every", s.server.corruptEvery, "flip the first byte of every Nth datagram sent back, N from 1 to 1000000")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000).description(""));
    app.add_flag("--silent", s.silent, "answer nothing at all");
    app.add_flag("--stdin-lifetime", s.stdinLifetime, "stop when standard input closes");
    auto* modules = app.add_option("--modules", s.modulesPort,
                                   "also serve two Ethernet modules: their commands on 127.0.0.1:PORT (0: chosen by "
                                   "the system; aim the broadcast there), their instruments at 127.0.0.11 and 127.0.0.12")
                        ->type_name("PORT");
    const auto knob = [&s](bool reject) {
        return [&s, reject](const std::vector<std::string>& texts) {
            for (const auto& text : texts) {
                const auto k = Knob(text, reject);
                if (!k) throw CLI::ValidationError(reject ? "--module-reject" : "--module-silent", "not a module command: " + text);
                s.moduleKnobs.push_back(*k);
            }
        };
    };
    app.add_option_function<std::vector<std::string>>("--module-reject", knob(true),
                                                      "the modules reject COMMAND with the one-character reply code CODE")
        ->type_name("COMMAND:CODE")
        ->needs(modules);
    app.add_option_function<std::vector<std::string>>("--module-silent", knob(false), "the modules never answer COMMAND")
        ->type_name("COMMAND")
        ->needs(modules);
    app.footer("COMMAND is one of discover, select, login, getip, logout, assign, setting.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {  // before Success, which it is a kind of
        code = app.exit(help, std::cout, std::cerr);
        return std::nullopt;
    } catch (const CLI::Success&) {
        code = 0;
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        std::cerr << "zemsim: " << error.what() << "\nRun \"zemsim --help\" for its usage.\n";
        code = 2;
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
    int code = 0;
    const auto settings = Parse(argc, argv, code);
    if (!settings) return code;

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
    if (settings->restartSeconds > 0)
        instrument.Memory().SetDurataRiavvio(
            [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
            settings->restartSeconds);
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
