#include "record/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <mutex>
#include <thread>

namespace zem {

struct HostLookup::State {
    mutable std::mutex mutex;
    bool done = false;
    std::string address, error;
};

namespace {

bool Numeric(const std::string& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), buffer) == 1 || ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

void Look(const std::string& host, std::string& address, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); rc != 0) {
        error = "cannot find the host: " + std::string(::gai_strerror(rc));
        return;
    }
    const addrinfo* chosen = found;
    for (const addrinfo* a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
    char digits[NI_MAXHOST] = {};
    if (::getnameinfo(chosen->ai_addr, chosen->ai_addrlen, digits, sizeof digits, nullptr, 0, NI_NUMERICHOST) == 0)
        address = digits;
    else
        error = "cannot find the host";
    ::freeaddrinfo(found);
}

} // namespace

HostLookup::HostLookup(const std::string& host) : state_(std::make_shared<State>())
{
    if (Numeric(host)) {
        state_->address = host;
        state_->done = true;
        return;
    }
    std::thread([state = state_, host] {
        std::string address, error;
        Look(host, address, error);
        const std::lock_guard lock(state->mutex);
        state->address = std::move(address);
        state->error = std::move(error);
        state->done = true;
    }).detach();
}

bool HostLookup::Done() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->done;
}

std::string HostLookup::Address() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->address;
}

std::string HostLookup::Error() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->error;
}

} // namespace zem
