#pragma once

// Runs the zemsim program for end-to-end tests and benchmarks: starts it with --stdin-lifetime
// (so it can never outlive the caller), reads the ports it prints and stops it by its pid.

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zem::test {

class ZemsimProcess {
public:
    ZemsimProcess(const std::string& program, std::vector<std::string> args, int startMs = 5000)
    {
        args.insert(args.begin(), {program, "--stdin-lifetime"});
        int in[2], out[2];
        if (::pipe(in) != 0) return;
        if (::pipe(out) != 0) {
            CloseBoth(in);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        if (pid_ > 0) ReadPort(startMs);
    }
    ~ZemsimProcess() { Stop(); }
    ZemsimProcess(const ZemsimProcess&) = delete;
    ZemsimProcess& operator=(const ZemsimProcess&) = delete;

    std::uint16_t Port() const { return port_; }
    // Where the modules take their commands (with --modules), else 0.
    std::uint16_t ModulesPort() const { return PortAfter("modules on 127.0.0.1:"); }
    const std::string& Output() const { return output_; }

    // Ends the program with `how` (a signal, or 0 to close its standard input) and returns its exit
    // status, or -1 when it did not end within `ms`.
    int Stop(int how = SIGTERM, int ms = 5000)
    {
        if (pid_ <= 0) return status_;
        if (how == 0) {
            ::close(stdin_);
            stdin_ = -1;
        } else {
            ::kill(pid_, how);
        }
        // Its standard output closes as it exits: that is the bounded wait.
        pollfd p{stdout_, POLLIN, 0};
        char discard[256];
        bool ended = false;
        while (!ended && ::poll(&p, 1, ms) == 1) ended = ::read(stdout_, discard, sizeof discard) <= 0;
        if (!ended) ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        status_ = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        CloseAll();
        return status_;
    }

private:
    static void CloseBoth(int fds[2])
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    void CloseAll()
    {
        for (int* fd : {&stdin_, &stdout_})
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
    }
    void ReadPort(int ms)
    {
        const std::string prefix = "listening on 127.0.0.1:";
        pollfd p{stdout_, POLLIN, 0};
        // The banner comes in one write: once its first line is here, the rest is too.
        while ((output_.find('\n') == std::string::npos && ::poll(&p, 1, ms) == 1)
               || (output_.find('\n') != std::string::npos && ::poll(&p, 1, 0) == 1)) {
            char chunk[128];
            const ssize_t got = ::read(stdout_, chunk, sizeof chunk);
            if (got <= 0) break;
            output_.append(chunk, static_cast<std::size_t>(got));
        }
        if (output_.rfind(prefix, 0) != 0) return;
        port_ = PortAfter(prefix);
    }
    std::uint16_t PortAfter(const std::string& prefix) const
    {
        const auto at = output_.find(prefix);
        if (at == std::string::npos) return 0;
        const unsigned long port = std::strtoul(output_.c_str() + at + prefix.size(), nullptr, 10);
        return port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::uint16_t port_ = 0;
    int status_ = -1;
    std::string output_;
};

} // namespace zem::test
