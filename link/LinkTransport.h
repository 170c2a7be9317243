#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace zem {

class LinkTimer;

// One channel of the instrument link as a byte pipe. The frame exchange in UCZEM2 is written once
// over this table; each channel fills it with its own waits, time-outs and line recovery. Opening
// takes channel-specific arguments, so it lives on the implementations.
class LinkTransport {
public:
    // Takes a block of waiting bytes; false once the reader wants no more.
    using Consegna = std::function<bool(std::span<const std::uint8_t>)>;

    virtual ~LinkTransport() = default;

    // Sends the bytes as one unit (one write, one datagram); false when the channel refused them.
    virtual bool Invia(std::span<const std::uint8_t> bytes) = 0;
    // Fills `bytes` within the channel's deadline; false when they did not all arrive in time.
    virtual bool Ricevi(std::span<std::uint8_t> bytes) = 0;
    // The same within `seconds`, for a probe that must not wait as long as an exchange.
    virtual bool RiceviEntro(std::span<std::uint8_t> bytes, double seconds) = 0;
    // Hands every block already waiting to `consegna`, without waiting for more.
    virtual void ConsegnaInAttesa(const Consegna& consegna) = 0;
    // Discards the input that is still arriving after a failed attempt.
    virtual void ScartaDopoErrore() = 0;
    // Brings the instrument's receiver back to the start of a frame; false when the line stays lost.
    virtual bool Risincronizza() = 0;
    // The longest an instrument may take to answer again after command 13.
    virtual double LimiteRiavvio() const = 0;
    // Lets `seconds` pass asleep on the channel, dropping what the instrument sends meanwhile.
    virtual void Pausa(double seconds) = 0;
    // The serial number the channel itself reports: nothing when the channel has none, "" when
    // it could not be read.
    virtual std::optional<std::string> NumeroSerie() = 0;
    // The timer that supervises an asynchronous reception on this channel.
    virtual LinkTimer& TimerRicezione() = 0;
    virtual void Chiudi() = 0;
};

} // namespace zem
