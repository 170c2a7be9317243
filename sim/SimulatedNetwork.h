#pragma once

#include "link/net/SocketControl.h"
#include "sim/FakeClock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zem::sim {

class SimulatedSocket;

// An in-process UDP network on simulated time. Sockets send to endpoints by host and port;
// endpoints answer by delivering datagrams to the sender at a later simulated time. It is also the
// message pump of the link sockets: a pump call raises the data arrival of one datagram that is
// due, and when none is due it lets 1 ms of simulated time pass, which is how the link's waits move
// the clock. Window sockets are left to the host, which lets their datagrams arrive as it lets
// time pass (PassTime); so nothing of a window runs inside a link exchange.
class SimulatedNetwork final : public SocketMessagePump {
public:
    struct Sender {
        SimulatedSocket* socket;
        std::string host;
        std::uint32_t port;
    };
    using Endpoint = std::function<void(std::span<const std::uint8_t> datagram, const Sender& from)>;

    static constexpr double kPasso = 0.001;

    explicit SimulatedNetwork(FakeClock& clock) : clock_(clock) {}

    std::unique_ptr<SimulatedSocket> CreateSocket(std::string localIP = "127.0.0.1");
    // A socket the link pump never dispatches.
    std::unique_ptr<SimulatedSocket> CreateWindowSocket(std::string localIP = "127.0.0.1");
    void AddEndpoint(const std::string& host, std::uint32_t port, Endpoint endpoint);
    void RemoveEndpoint(const std::string& host, std::uint32_t port);

    // Delivers a datagram to a socket `delaySeconds` from now.
    void Deliver(SimulatedSocket& to, std::vector<std::uint8_t> datagram, double delaySeconds,
                 const std::string& fromHost, std::uint32_t fromPort);

    bool PompaMessaggiSocket() override;
    // Lets `seconds` of simulated time pass, raising the data arrival of each window-socket
    // datagram when it falls due, in time order.
    void PassTime(double seconds);
    FakeClock& Clock() { return clock_; }
    std::uint64_t DatagramsSent() const { return sent_; }

private:
    friend class SimulatedSocket;
    void Send(SimulatedSocket& from, std::span<const std::uint8_t> datagram);
    void Forget(SimulatedSocket& socket);
    std::uint32_t NextPort() { return nextPort_++; }

    FakeClock& clock_;
    std::map<std::string, Endpoint> endpoints_;
    std::vector<SimulatedSocket*> sockets_;
    std::uint32_t nextPort_ = 40000;
    std::uint64_t sent_ = 0;
};

// A socket of the simulated network.
class SimulatedSocket final : public SocketControl {
public:
    SimulatedSocket(SimulatedNetwork& network, std::string localIP);
    ~SimulatedSocket() override;

    void Close() override;
    void SetProtocol(int protocol) override { protocol_ = protocol; }
    void SetRemoteHost(const std::string& host) override { remoteHost_ = host; }
    void SetRemotePort(std::uint32_t port) override { remotePort_ = port; }
    std::string RemoteHost() const override { return remoteHost_; }
    std::uint32_t RemotePort() const override { return remotePort_; }
    bool Bind(std::uint32_t localPort) override;
    std::uint32_t LocalPort() const override { return localPort_; }
    std::string LocalIP() const override { return localIP_; }
    bool SendData(std::span<const std::uint8_t> datagram) override;
    std::vector<std::uint8_t> GetData() override;
    std::string RemoteHostIP() const override { return lastSender_; }
    void Connect() override { connected_ = true; }
    std::uint64_t DatagramsFromOthers() const override { return others_; }

    int Protocol() const { return protocol_; }
    bool WindowSocket() const { return windowSocket_; }
    // Makes sends fail, as a socket error would.
    bool failSends = false;
    std::size_t Waiting() const { return inbox_.size(); }

private:
    friend class SimulatedNetwork;
    struct Arrival {
        std::vector<std::uint8_t> bytes;
        double dueAt;  // monotonic simulated time
        std::string fromHost;
        std::uint32_t fromPort = 0;
        bool notified = false;
    };
    bool Due(const Arrival& a) const { return a.dueAt <= network_.Clock().Monotonic(); }

    SimulatedNetwork& network_;
    std::string localIP_;
    std::uint32_t localPort_ = 0;
    std::string remoteHost_;
    std::uint32_t remotePort_ = 0;
    int protocol_ = 0;
    std::vector<Arrival> inbox_;
    std::string lastSender_;
    bool windowSocket_ = false;
    bool connected_ = false;
    std::uint64_t others_ = 0;
};

} // namespace zem::sim
