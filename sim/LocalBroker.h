#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace zem::sim {

// A mosquitto broker of our own on 127.0.0.1, on a port the system chose, for the publisher's tests
// and benchmark: the plant's broker as a real peer. It can be stopped and started again on the same
// port, the way a plant's broker goes away and comes back.
class LocalBroker {
public:
    static constexpr const char* kProgram = "/usr/sbin/mosquitto";
    static bool Installed();

    LocalBroker();
    ~LocalBroker();
    LocalBroker(const LocalBroker&) = delete;
    LocalBroker& operator=(const LocalBroker&) = delete;

    // Returns once the broker says it runs (it says so after opening its listener), 5 s at most;
    // false with what it said when it did not.
    bool Start();
    void Stop();
    // Stops answering (its machine hangs); a later Stop then kills it, with what it had not read.
    void Pause();
    int Port() const { return port_; }
    const std::string& Log() const { return log_; }

private:
    std::filesystem::path config_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool paused_ = false;
    std::string log_;
};

} // namespace zem::sim
