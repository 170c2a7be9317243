#pragma once

#include "link/LinkTransport.h"
#include "link/usb/D2xx.h"

#include <string>

namespace zem {

class Clock;
class GestioneUSB;

// The link's channel over the instrument's USB bridge: polled, with the driver's time-outs.
class UsbTransport final : public LinkTransport {
public:
    UsbTransport(GestioneUSB& usb, Clock& clock, LinkTimer& timer) : usb_(usb), clock_(clock), timer_(timer) {}

    // Opens and configures the bridge at the link's speed and drops its stale input.
    bool Apri(const std::string& serial);
    FT_HANDLE Handle() const { return handle_; }
    // Takes a handle opened elsewhere (0 forgets the bridge without closing it).
    void Adotta(FT_HANDLE handle) { handle_ = handle; }
    // After the channel moved to the socket, a later reopen must not pick this bridge again.
    void DimenticaSeriale()
    {
        serial_.clear();
        serialeEEPROM_.clear();
    }

    bool Invia(std::span<const std::uint8_t> bytes) override;
    bool Ricevi(std::span<std::uint8_t> bytes) override;
    bool RiceviEntro(std::span<std::uint8_t> bytes, double seconds) override;
    void ConsegnaInAttesa(const Consegna& consegna) override;
    void ScartaDopoErrore() override;
    bool Risincronizza() override;
    double LimiteRiavvio() const override { return 1.0; }
    void Pausa(double seconds) override;
    std::optional<std::string> NumeroSerie() override;
    LinkTimer& TimerRicezione() override { return timer_; }
    void Chiudi() override;

private:
    bool Reimposta();
    bool SequenzaSvuotamento();

    GestioneUSB& usb_;
    Clock& clock_;
    LinkTimer& timer_;
    FT_HANDLE handle_ = 0;
    std::string serial_;         // the serial the bridge was opened with, for reopening it
    std::string serialeEEPROM_;  // what the bridge's EEPROM reported, for reopening an adopted one
};

} // namespace zem
