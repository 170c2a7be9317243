#include "sim/LocalBroker.h"

#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace zem::sim {

namespace {

int FreeLoopbackPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    const bool ok = s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), n) == 0 &&
                    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0;
    if (s >= 0) close(s);
    return ok ? ntohs(a.sin_port) : 0;
}

} // namespace

bool LocalBroker::Installed() { return access(kProgram, X_OK) == 0; }

LocalBroker::LocalBroker()
    : config_(std::filesystem::temp_directory_path() / ("zem-broker-" + std::to_string(getpid()) + ".conf")),
      port_(FreeLoopbackPort())
{
    std::ofstream(config_) << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\nlog_dest stderr\n";
}

LocalBroker::~LocalBroker()
{
    Stop();
    std::error_code ignored;
    std::filesystem::remove(config_, ignored);
}

bool LocalBroker::Start()
{
    Stop();
    log_.clear();
    int out[2];
    if (pipe(out) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDERR_FILENO);
        execl(kProgram, kProgram, "-c", config_.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    pollfd p{out[0], POLLIN, 0};
    char buffer[512];
    while (log_.find(" running") == std::string::npos && poll(&p, 1, 5000) == 1) {
        const auto n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        log_.append(buffer, static_cast<std::size_t>(n));
    }
    // The broker keeps writing its log into a pipe nobody reads any more; it ignores the SIGPIPE.
    close(out[0]);
    return pid_ > 0 && log_.find(" running") != std::string::npos;
}

void LocalBroker::Stop()
{
    if (pid_ > 0 && kill(pid_, paused_ ? SIGKILL : SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
    paused_ = false;
}

void LocalBroker::Pause()
{
    if (pid_ > 0) paused_ = kill(pid_, SIGSTOP) == 0;
}

} // namespace zem::sim
