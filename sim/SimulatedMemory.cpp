#include "sim/SimulatedMemory.h"

#include <algorithm>

namespace zem::sim {

namespace {

constexpr std::size_t kMaxPRam = 18;

std::uint32_t Indirizzo(std::span<const std::uint8_t> a)
{
    return a[0] | (std::uint32_t{a[1]} << 8) | (std::uint32_t{a[2]} << 16);
}

bool Dentro(const std::vector<std::uint8_t>& memoria, std::size_t address, std::size_t n)
{
    return address <= memoria.size() && n <= memoria.size() - address;
}

} // namespace

SimulatedMemory::SimulatedMemory(SimulatedInstrument& instrument, Options options)
    : instrument_(instrument),
      options_(options),
      pram_(options.dimensionePRAM, 0),
      configurazione_(options.configurazioneInPRAM ? 0 : options.dimensioneConfigurazione, 0),
      flash_(options.dimensioneFlash, 0xFF)
{
    auto on = [this](std::uint8_t code, Reply (SimulatedMemory::*handler)(std::span<const std::uint8_t>)) {
        instrument_.SetCommand(code, [this, handler](std::span<const std::uint8_t> a) { return (this->*handler)(a); });
    };
    instrument_.SetCommand(1, [this](auto) { return Identita(); });
    instrument_.SetCommand(12, [this](auto) { return Versione(); });
    instrument_.SetCommand(13, [this](auto) { return Riavvia(); });
    on(14, &SimulatedMemory::ScriviPRam);
    on(15, &SimulatedMemory::LeggiPRam);
    on(24, &SimulatedMemory::LeggiFlash);
    on(25, &SimulatedMemory::CancellaFlash);
    on(26, &SimulatedMemory::ProgrammaFlash);
    on(34, &SimulatedMemory::Memoria);
}

void SimulatedMemory::CaricaConfigurazione(const std::vector<std::uint8_t>& image, std::size_t address)
{
    auto& memoria = Configurazione();
    if (!Dentro(memoria, address, image.size())) return;
    std::copy(image.begin(), image.end(), memoria.begin() + static_cast<std::ptrdiff_t>(address));
}

std::vector<std::uint8_t> SimulatedMemory::Ack(bool ok)
{
    if (ok && faults_.ackSbagliati > 0) {
        --faults_.ackSbagliati;
        ok = false;
    }
    return {static_cast<std::uint8_t>(ok ? 1 : 0)};
}

SimulatedMemory::Reply SimulatedMemory::Identita() const
{
    std::uint8_t flags = options_.estensioni & 0x1F;
    if (!options_.configurazioneInPRAM) flags |= 0x20;
    if (faults_.erroreMemoria) flags |= 0x40;
    if (updateMode_) flags |= 0x80;
    return std::vector<std::uint8_t>{flags, options_.protocollo};
}

SimulatedMemory::Reply SimulatedMemory::Versione() const
{
    // In update mode only the loader answers, with a single byte.
    if (updateMode_) return std::vector<std::uint8_t>{0};
    const auto cpu = options_.versioneCPU;
    const auto memoria = static_cast<std::uint32_t>(options_.indirizzoMailbox);
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(cpu), static_cast<std::uint8_t>(cpu >> 8),
                                     options_.versioneEncoder, options_.versioneADC,
                                     static_cast<std::uint8_t>(options_.dimensioneIntestazione),
                                     static_cast<std::uint8_t>(options_.dimensioneIntestazione >> 8),
                                     static_cast<std::uint8_t>(memoria), static_cast<std::uint8_t>(memoria >> 8),
                                     static_cast<std::uint8_t>(memoria >> 16),
                                     static_cast<std::uint8_t>(options_.dimensioneMailbox),
                                     static_cast<std::uint8_t>(options_.dimensioneMailbox >> 8),
                                     options_.opzioneVelocita};
}

SimulatedMemory::Reply SimulatedMemory::LeggiPRam(std::span<const std::uint8_t> a)
{
    if (a.size() != 4) return std::vector<std::uint8_t>{};
    const std::uint32_t address = Indirizzo(a);
    std::size_t n = a[3];
    if (n == 0 || n > kMaxPRam || !Dentro(pram_, address, n)) return std::vector<std::uint8_t>{};
    if (faults_.lettureConsentite == 0) return std::vector<std::uint8_t>{};
    if (faults_.lettureConsentite > 0) --faults_.lettureConsentite;
    if (faults_.risposteCorte > 0) {
        --faults_.risposteCorte;
        --n;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < n; ++i) bytes.push_back(pram_[Cella(static_cast<std::uint32_t>(address + i))]);
    return bytes;
}

std::uint32_t SimulatedMemory::Cella(std::uint32_t address) const
{
    if (faults_.lineaPRamBloccata < 0) return address;
    return address & ~(1u << faults_.lineaPRamBloccata);
}

bool SimulatedMemory::ScriviByteConfigurazione(std::uint32_t address, std::uint8_t value)
{
    if (scritturaFallita_ != 0 && scritture_.size() + 1 == scritturaFallita_) {
        scritturaFallita_ = 0;
        return false;
    }
    if (address == faults_.cellaDifettosa) value = static_cast<std::uint8_t>(~value);
    Configurazione()[address] = value;
    scritture_.emplace_back(address, value);
    return true;
}

std::optional<std::size_t> SimulatedMemory::Accettati(std::size_t n) const
{
    if (n <= 1 || !updateMode_) return n;
    switch (faults_.caricatore) {
    case Caricatore::RifiutaBlocchi: return std::nullopt;
    case Caricatore::SoloPrimoByte: return 1;
    default: return n;
    }
}

SimulatedMemory::Reply SimulatedMemory::ScriviPRam(std::span<const std::uint8_t> a)
{
    if (a.size() < 4) return Ack(false);
    const std::uint32_t address = Indirizzo(a);
    std::size_t n = a[3];
    if (n == 0 || n > kMaxPRam || a.size() != 4 + n || !Dentro(pram_, address, n)) return Ack(false);
    if (options_.configurazioneInPRAM) {
        const auto accettati = Accettati(n);
        if (!accettati) return Ack(false);
        n = *accettati;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto at = Cella(static_cast<std::uint32_t>(address + i));
        if (options_.configurazioneInPRAM) {
            if (!ScriviByteConfigurazione(at, a[4 + i])) return Ack(false);
        } else {
            pram_[at] = a[4 + i];
        }
    }
    return Ack(true);
}

SimulatedMemory::Reply SimulatedMemory::Memoria(std::span<const std::uint8_t> a)
{
    if (a.size() == 3) return Ack(true);  // copy of a flash sector into its RAM copy
    if (a.size() != 1) return std::nullopt;
    const std::uint8_t code = a[0];
    if (code == 0) {
        const bool occupata = faults_.mailboxSempreOccupata || occupata_ > 0;
        if (occupata_ > 0) --occupata_;
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(occupata ? 1 : 0)};
    }
    if (code != 3 && code != 5) return std::vector<std::uint8_t>{0};
    const std::size_t mb = options_.indirizzoMailbox;
    if (!Dentro(pram_, mb, 4u + 255u)) return std::nullopt;
    if (pram_[mb + 2] != 0) return std::nullopt;
    const std::uint32_t address = pram_[mb] | (std::uint32_t{pram_[mb + 1]} << 8);
    const std::size_t n = pram_[mb + 3];
    if (n + 4 > options_.dimensioneMailbox || !Dentro(Configurazione(), address, n)) return std::nullopt;
    if (code == 3) {
        std::copy_n(Configurazione().begin() + address, n, pram_.begin() + static_cast<std::ptrdiff_t>(mb + 4));
    } else {
        const auto accettati = Accettati(n);
        if (!accettati) return std::vector<std::uint8_t>{};
        for (std::size_t i = 0; i < *accettati; ++i)
            if (!ScriviByteConfigurazione(static_cast<std::uint32_t>(address + i), pram_[mb + 4 + i])) return std::nullopt;
    }
    occupata_ = faults_.mailboxOccupataPerInterrogazioni;
    return std::vector<std::uint8_t>{1};
}

SimulatedMemory::Reply SimulatedMemory::LeggiFlash(std::span<const std::uint8_t> a)
{
    if (a.size() != 3 || !Dentro(flash_, Indirizzo(a), 1)) return std::vector<std::uint8_t>{};
    std::uint8_t b = flash_[Indirizzo(a)] ^ kMascheraFlash;
    if (faults_.rilettureFlashCorrotte > 0) {
        --faults_.rilettureFlashCorrotte;
        b ^= 0x01;
    }
    return std::vector<std::uint8_t>{b};
}

SimulatedMemory::Reply SimulatedMemory::CancellaFlash(std::span<const std::uint8_t> a)
{
    if (a.size() != 3) return Ack(false);
    const std::uint32_t address = Indirizzo(a);
    if (address % kSettoreFlash != 0 || !Dentro(flash_, address, kSettoreFlash)) return Ack(false);
    std::fill_n(flash_.begin() + address, kSettoreFlash, 0xFF);
    return Ack(true);
}

SimulatedMemory::Reply SimulatedMemory::ProgrammaFlash(std::span<const std::uint8_t> a)
{
    if (a.size() != 3 + 8) return Ack(false);
    const std::uint32_t address = Indirizzo(a);
    if (address % 8 != 0 || !Dentro(flash_, address, 8)) return Ack(false);
    // Programming can only clear bits, as on the chip.
    for (std::size_t i = 0; i < 8; ++i) flash_[address + i] &= a[3 + i];
    return Ack(true);
}

SimulatedMemory::Reply SimulatedMemory::Riavvia()
{
    ++riavvii_;
    if (adesso_ && durataRiavvio_ > 0)
        instrument_.SetAsleep([this, sveglia = adesso_() + durataRiavvio_] { return adesso_() < sveglia; });
    if (!faults_.riavvioIgnorato && Configurazione().size() > 4) updateMode_ = (Configurazione()[4] & 0x80) != 0;
    return std::nullopt;
}

} // namespace zem::sim
