#include "link/UsbTransport.h"

#include "link/Clock.h"
#include "link/usb/GestioneUSB.h"

#include <algorithm>
#include <array>

namespace zem {

namespace {
constexpr std::uint32_t kBaudLink = 1250000;
constexpr std::size_t kScartoDopoErrore = 250;
constexpr int kByteSvuotamento = 256;
constexpr std::size_t kBlocco = 4096;  // the bridge's USB transfer size
constexpr double kPassoAttesa = 0.001;
} // namespace

bool UsbTransport::Apri(const std::string& serial)
{
    if (handle_ != 0) usb_.ChiudiDispositivoUSB(handle_);
    handle_ = usb_.ApriDispositivoUSB(serial);
    if (handle_ == 0) return false;
    serial_ = serial;
    if (!usb_.ImpostaBaudRate(handle_, kBaudLink)) {
        usb_.ChiudiDispositivoUSB(handle_);
        return false;
    }
    usb_.SvuotaRicezioneUSB(handle_);
    return true;
}

void UsbTransport::Chiudi()
{
    if (handle_ != 0) usb_.ChiudiDispositivoUSB(handle_);
    serialeEEPROM_.clear();
}

bool UsbTransport::Invia(std::span<const std::uint8_t> bytes)
{
    return usb_.ScriviBloccoUSB(handle_, bytes);
}

bool UsbTransport::Ricevi(std::span<std::uint8_t> bytes)
{
    return usb_.LeggiBloccoUSBConAttesa(handle_, bytes);
}

bool UsbTransport::RiceviEntro(std::span<std::uint8_t> bytes, double seconds)
{
    // The driver's own read time-out is longer than such a wait: the bytes are taken once they
    // are all queued, and the time between looks is slept.
    const double start = clock_.Timer();
    for (;;) {
        if (usb_.ByteInAttesaUSB(handle_) >= bytes.size()) return usb_.LeggiBloccoUSB(handle_, bytes);
        if (SecondiTrascorsi(start, clock_.Timer()) > seconds) return false;
        clock_.Attendi(kPassoAttesa);
    }
}

void UsbTransport::ConsegnaInAttesa(const Consegna& consegna)
{
    std::uint32_t inAttesa = usb_.ByteInAttesaUSB(handle_);
    while (inAttesa > 0) {
        std::array<std::uint8_t, kBlocco> blocco{};
        const std::size_t n = std::min<std::size_t>(inAttesa, blocco.size());
        if (!usb_.LeggiBloccoUSB(handle_, std::span<std::uint8_t>(blocco).first(n))) return;
        inAttesa -= static_cast<std::uint32_t>(n);
        if (!consegna(std::span<const std::uint8_t>(blocco).first(n))) return;
    }
}

void UsbTransport::ScartaDopoErrore()
{
    // Whatever arrives within the read time-out belongs to the failed attempt.
    std::array<std::uint8_t, kScartoDopoErrore> scarto{};
    usb_.LeggiBloccoUSBConAttesa(handle_, scarto);
}

bool UsbTransport::Reimposta()
{
    // A bridge that has to be reopened goes back to the link's own speed: at any other speed the
    // instrument could not be heard again.
    return usb_.ReimpostaDispositivoUSB(handle_, serial_.empty() ? serialeEEPROM_ : serial_, kBaudLink);
}

bool UsbTransport::Risincronizza()
{
    const bool primo = Reimposta();
    if (primo && usb_.ScriviByteUSB(handle_, 0) && SequenzaSvuotamento()) return true;
    const bool secondo = Reimposta();
    if (primo || secondo) SequenzaSvuotamento();
    // The bridge gives no way to tell a lost line from a quiet one: the next attempt decides.
    return true;
}

bool UsbTransport::SequenzaSvuotamento()
{
    // 256 zero bytes complete any frame the instrument's receiver is in the middle of.
    for (int i = 0; i < kByteSvuotamento; ++i) {
        usb_.SvuotaRicezioneUSB(handle_);
        if (!usb_.ScriviByteUSB(handle_, 0)) return false;
    }
    usb_.SvuotaRicezioneUSB(handle_);
    if (!usb_.ScriviByteUSB(handle_, 0)) return false;
    const double start = clock_.Timer();
    while (usb_.ByteInAttesaUSB(handle_) == 0) {
        if (TempoScaduto(start, clock_.Timer(), 0.7, 4.0)) return false;
    }
    std::uint8_t eco = 0xFF;
    return usb_.LeggiByteUSB(handle_, eco) && eco == 0;
}

void UsbTransport::Pausa(double seconds)
{
    // The bridge queues what arrives meanwhile: nothing needs the processor until the time is up.
    clock_.Attendi(seconds);
    // Whatever the instrument sent while starting up is no part of the next reply.
    usb_.SvuotaRicezioneUSB(handle_);
}

std::optional<std::string> UsbTransport::NumeroSerie()
{
    int tipoChip = 0;
    serialeEEPROM_ = usb_.LeggiSerialeEEPROM(handle_, tipoChip);
    return serialeEEPROM_;
}

} // namespace zem
