#pragma once

#include "sim/LineFaults.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <thread>
#include <vector>

namespace zem {
class Clock;
}

namespace zem::sim {

class SimulatedInstrument;

// Serves a simulated instrument the way its Ethernet module does: on a UDP socket bound to
// 127.0.0.1 (or another loopback address), every datagram received is fed to the instrument and
// what it transmits goes back to the sender. The echo and the reply go back in one datagram, or as two when `splitReply` is set;
// each block streamed after a reply is a datagram of its own.
//
// Use it either by calling Poll() from the owner's loop (tests drive time with a fake clock) or by
// Start()ing its own thread (the clock must then be safe to read from that thread, as SystemClock
// is; leave the instrument and the faults alone until Stop()).
class UdpInstrumentServer {
public:
    static constexpr std::size_t kMaxDatagram = 4096;

    struct Options {
        std::uint16_t port = 0;        // 0 = a port chosen by the system
        std::uint32_t address = 0x7F000001;  // host order; any address of 127.0.0.0/8
        bool splitReply = false;       // echo and reply as two datagrams
        double latencySeconds = 0.0;   // added before every datagram the instrument sends
        int dropEvery = 0;             // every Nth datagram received is lost (0 = never)
        int corruptEvery = 0;          // every Nth datagram sent has its first byte flipped (0 = never)
    };

    UdpInstrumentServer(SimulatedInstrument& instrument, Clock& clock, Options options);
    UdpInstrumentServer(SimulatedInstrument& instrument, Clock& clock)
        : UdpInstrumentServer(instrument, clock, Options{}) {}
    ~UdpInstrumentServer();
    UdpInstrumentServer(const UdpInstrumentServer&) = delete;
    UdpInstrumentServer& operator=(const UdpInstrumentServer&) = delete;

    // Binds the address and port of the options; false when the socket cannot be had.
    bool Open();
    // The port served, 0 before Open.
    std::uint16_t Port() const { return port_; }

    // Faults on the way to the instrument (applied to each datagram received) and on the way
    // back (applied to each datagram sent). A delay postpones the feeding or the sending.
    LineFaults& ToInstrument() { return toInstrument_; }
    LineFaults& FromInstrument() { return fromInstrument_; }

    // Waits at most `maxWaitSeconds` for a datagram, handles every datagram waiting and sends or
    // feeds whatever has fallen due; returns the number of datagrams received.
    int Poll(double maxWaitSeconds);

    // Runs Poll on a thread of the server's own until Stop; false if the socket cannot be opened.
    bool Start();
    void Stop();

    std::uint64_t DatagramsReceived() const { return received_; }
    std::uint64_t DatagramsSent() const { return sent_; }
    std::uint64_t DatagramsRefused() const { return refused_; }  // larger than kMaxDatagram

private:
    struct Peer {
        std::uint32_t address = 0;  // network order
        std::uint16_t port = 0;     // network order
    };
    struct Pending {
        bool toInstrument;
        Peer peer;
        std::vector<std::uint8_t> bytes;
    };

    double Now();
    int ReceiveWaiting();
    void HandleDatagram(std::vector<std::uint8_t> bytes, Peer sender);
    void Feed(std::span<const std::uint8_t> bytes, Peer sender);
    void Transmit(std::vector<std::uint8_t> datagram, Peer peer);
    void SendNow(std::span<const std::uint8_t> datagram, Peer peer);
    void RunDue();

    SimulatedInstrument& instrument_;
    Clock& clock_;
    Options options_;
    LineFaults toInstrument_;
    LineFaults fromInstrument_;

    int fd_ = -1;
    int wake_[2] = {-1, -1};  // written by Stop to end the thread's wait at once
    std::uint16_t port_ = 0;

    // Monotonic seconds built from the time-of-day clock, so scheduling survives midnight.
    double now_ = 0.0;
    double lastTimeOfDay_ = -1.0;
    std::multimap<double, Pending> scheduled_;  // equal times keep their order

    std::uint64_t receivedForDrop_ = 0;
    std::uint64_t sentForCorrupt_ = 0;
    std::atomic<std::uint64_t> received_{0};
    std::atomic<std::uint64_t> sent_{0};
    std::atomic<std::uint64_t> refused_{0};

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::vector<std::uint8_t> receive_;
};

} // namespace zem::sim
