#pragma once

// Runs zemcli as a script would: no terminal on standard input, its output and its errors
// collected, the exit code returned; killed if it has not ended within the bound.

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zem::test {

struct ZemcliResult {
    int code = -1;
    std::string out;
    std::string err;
};

inline ZemcliResult RunZemcli(std::vector<std::string> args, std::vector<std::string> environment, int ms = 20000,
                              std::string program = std::string(ZEM_BINARY_DIR) + "/zemcli")
{
    args.insert(args.begin(), std::move(program));
    int out[2], err[2];
    ZemcliResult result;
    if (::pipe(out) != 0 || ::pipe(err) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    for (const int fd : {out[0], out[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.out, &result.err};
    int open = started ? 2 : 0;
    while (open > 0 && ::poll(fds, 2, ms) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char chunk[512];
            const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                texts[i]->append(chunk, static_cast<std::size_t>(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const auto& f : fds)
        if (f.fd >= 0) ::close(f.fd);
    if (!started) return result;
    if (open > 0) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.code = open == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace zem::test
