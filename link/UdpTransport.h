#pragma once

#include "link/LinkTransport.h"

#include <cstddef>
#include <vector>

namespace zem {

class Clock;
class SocketControl;
class SocketMessagePump;

// The link's channel over the instrument's Ethernet module: one datagram per request, the reply
// fetched while the wait pumps socket events only.
class UdpTransport final : public LinkTransport {
public:
    UdpTransport(SocketControl& socket, SocketMessagePump& pump, Clock& clock, LinkTimer& timer)
        : socket_(&socket), pump_(pump), clock_(clock), timer_(timer)
    {
    }

    // Points the socket at the module, which alone is heard from then on.
    void Apri(const std::string& host, std::uint32_t port);
    SocketControl& Socket() const { return *socket_; }
    void Adotta(SocketControl& socket) { socket_ = &socket; }
    // The socket's data-arrival: with `asincrono` set (a reception running) what waits goes to
    // it, otherwise it is kept for Ricevi.
    void DatiArrivati(const Consegna& asincrono);

    bool Invia(std::span<const std::uint8_t> bytes) override;
    bool Ricevi(std::span<std::uint8_t> bytes) override { return RiceviEntro(bytes, 1.0); }
    bool RiceviEntro(std::span<std::uint8_t> bytes, double seconds) override;
    void ConsegnaInAttesa(const Consegna& consegna) override;
    void ScartaDopoErrore() override {}  // the next send drops whatever is left
    bool Risincronizza() override;
    double LimiteRiavvio() const override { return 10.0; }
    void Pausa(double seconds) override;
    std::optional<std::string> NumeroSerie() override { return std::nullopt; }
    LinkTimer& TimerRicezione() override { return timer_; }
    void Chiudi() override;

private:
    bool InAttesa() const { return ricevuti_ > 0; }
    std::uint8_t PrendiByte();
    void Svuota() { ricevuti_ = indice_ = 0; }
    void AttendiPompando(double secondi, double limiteDopoMezzanotte);

    SocketControl* socket_;
    SocketMessagePump& pump_;
    Clock& clock_;
    LinkTimer& timer_;
    std::vector<std::uint8_t> buffer_;  // the last datagram fetched from the socket
    std::size_t ricevuti_ = 0;          // valid bytes in buffer_; 0 = nothing pending
    std::size_t indice_ = 0;            // next unread byte of buffer_
};

} // namespace zem
