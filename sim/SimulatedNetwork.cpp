#include "sim/SimulatedNetwork.h"

#include <algorithm>

namespace zem::sim {

namespace {
std::string KeyOf(const std::string& host, std::uint32_t port)
{
    return host + ":" + std::to_string(port);
}
} // namespace

std::unique_ptr<SimulatedSocket> SimulatedNetwork::CreateSocket(std::string localIP)
{
    return std::make_unique<SimulatedSocket>(*this, std::move(localIP));
}

std::unique_ptr<SimulatedSocket> SimulatedNetwork::CreateWindowSocket(std::string localIP)
{
    auto socket = CreateSocket(std::move(localIP));
    socket->windowSocket_ = true;
    return socket;
}

void SimulatedNetwork::AddEndpoint(const std::string& host, std::uint32_t port, Endpoint endpoint)
{
    endpoints_[KeyOf(host, port)] = std::move(endpoint);
}

void SimulatedNetwork::RemoveEndpoint(const std::string& host, std::uint32_t port)
{
    endpoints_.erase(KeyOf(host, port));
}

void SimulatedNetwork::Send(SimulatedSocket& from, std::span<const std::uint8_t> datagram)
{
    ++sent_;
    const auto it = endpoints_.find(KeyOf(from.remoteHost_, from.remotePort_));
    if (it == endpoints_.end()) return;  // nobody there: the datagram is lost, as on a real network
    const Endpoint endpoint = it->second;  // a copy: the endpoint may change the table
    endpoint(datagram, {&from, from.localIP_, from.localPort_});
}

void SimulatedNetwork::Deliver(SimulatedSocket& to, std::vector<std::uint8_t> datagram, double delaySeconds,
                               const std::string& fromHost, std::uint32_t fromPort)
{
    if (std::find(sockets_.begin(), sockets_.end(), &to) == sockets_.end()) return;
    to.inbox_.push_back({std::move(datagram), clock_.Monotonic() + std::max(0.0, delaySeconds), fromHost, fromPort});
    std::stable_sort(to.inbox_.begin(), to.inbox_.end(),
                     [](const auto& a, const auto& b) { return a.dueAt < b.dueAt; });
}

void SimulatedNetwork::Forget(SimulatedSocket& socket)
{
    sockets_.erase(std::remove(sockets_.begin(), sockets_.end(), &socket), sockets_.end());
}

bool SimulatedNetwork::PompaMessaggiSocket()
{
    for (SimulatedSocket* s : sockets_) {
        if (s->windowSocket_) continue;
        for (auto& a : s->inbox_) {
            if (!s->Due(a)) break;
            if (a.notified) continue;
            a.notified = true;
            if (s->DataArrival) s->DataArrival(a.bytes.size());
            return true;
        }
    }
    clock_.Advance(kPasso);
    return false;
}

void SimulatedNetwork::PassTime(double seconds)
{
    const double end = clock_.Monotonic() + std::max(0.0, seconds);
    for (;;) {
        // The earliest window datagram not yet announced; a handler may send, close or destroy
        // sockets, so the search starts over after each one.
        SimulatedSocket* socket = nullptr;
        SimulatedSocket::Arrival* arrival = nullptr;
        for (SimulatedSocket* s : sockets_) {
            if (!s->windowSocket_) continue;
            const auto it = std::find_if(s->inbox_.begin(), s->inbox_.end(),
                                         [](const auto& a) { return !a.notified; });
            if (it == s->inbox_.end() || it->dueAt > end) continue;
            if (arrival == nullptr || it->dueAt < arrival->dueAt) {
                socket = s;
                arrival = &*it;
            }
        }
        if (arrival == nullptr) break;
        clock_.AdvanceTo(arrival->dueAt);
        arrival->notified = true;
        const auto handler = socket->DataArrival;
        if (handler) handler(arrival->bytes.size());
    }
    clock_.AdvanceTo(end);
}

SimulatedSocket::SimulatedSocket(SimulatedNetwork& network, std::string localIP)
    : network_(network), localIP_(std::move(localIP))
{
    network_.sockets_.push_back(this);
}

SimulatedSocket::~SimulatedSocket()
{
    network_.Forget(*this);
}

void SimulatedSocket::Close()
{
    connected_ = false;
    inbox_.clear();
    localPort_ = 0;
}

bool SimulatedSocket::Bind(std::uint32_t localPort)
{
    localPort_ = localPort != 0 ? localPort : network_.NextPort();
    return true;
}

bool SimulatedSocket::SendData(std::span<const std::uint8_t> datagram)
{
    if (failSends) return false;
    if (localPort_ == 0) Bind(0);
    network_.Send(*this, datagram);
    return true;
}

std::vector<std::uint8_t> SimulatedSocket::GetData()
{
    while (connected_ && !inbox_.empty() && Due(inbox_.front())
           && (inbox_.front().fromHost != remoteHost_ || inbox_.front().fromPort != remotePort_)) {
        ++others_;
        inbox_.erase(inbox_.begin());
    }
    if (inbox_.empty() || !Due(inbox_.front())) return {};
    std::vector<std::uint8_t> bytes = std::move(inbox_.front().bytes);
    lastSender_ = inbox_.front().fromHost;
    inbox_.erase(inbox_.begin());
    return bytes;
}

} // namespace zem::sim
