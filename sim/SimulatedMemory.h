#pragma once

#include "sim/SimulatedInstrument.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zem::sim {

// The instrument's memories and the commands that reach them: PRAM (14, 15), the configuration
// memory, directly in PRAM or through the memory mailbox (34), the flash with its read mask
// (24, 25, 26, and 34 with an address), identity (1), version (12) and restart (13).
class SimulatedMemory {
public:
    static constexpr std::uint8_t kMascheraFlash = 0x6E;
    static constexpr std::size_t kSettoreFlash = 64;

    struct Options {
        std::uint8_t estensioni = 11;        // release, identity bits 0-4
        bool configurazioneInPRAM = true;    // false: configuration behind the mailbox
        std::uint8_t protocollo = 14;        // instrument type code
        std::size_t dimensionePRAM = 0x80000;
        std::size_t dimensioneConfigurazione = 0x10000;  // only when behind the mailbox
        std::uint32_t indirizzoMailbox = 0x7F000;
        std::uint16_t dimensioneMailbox = 260;
        std::uint16_t dimensioneIntestazione = 360;     // configuration size the version reports
        std::uint16_t versioneCPU = 312;                 // hundredths
        std::uint8_t versioneEncoder = 101;
        std::uint8_t versioneADC = 116;
        std::uint8_t opzioneVelocita = 0;
        std::size_t dimensioneFlash = 0x80000;
    };

    // What the loader answering in update mode does with a configuration write of more than one
    // byte (a PRAM frame, or a mailbox job): keep it, refuse it, or acknowledge it and keep only
    // its first byte.
    enum class Caricatore { Completo, RifiutaBlocchi, SoloPrimoByte };

    // Faults of the memory side, each for the next occurrences (counts) or for ever (flags).
    struct Faults {
        bool mailboxSempreOccupata = false;  // command 34 status keeps its busy bit
        int mailboxOccupataPerInterrogazioni = 1;  // busy answers before each job is done
        int risposteCorte = 0;               // PRAM read replies one byte short
        int ackSbagliati = 0;                // acknowledgements carry 0 instead of 1
        bool riavvioIgnorato = false;        // command 13 leaves the update mode as it was
        int rilettureFlashCorrotte = 0;      // flash reads return a wrong byte
        bool erroreMemoria = false;          // identity bit 6
        int lineaPRamBloccata = -1;          // PRAM address line stuck at 0 (-1: none)
        int lettureConsentite = -1;          // PRAM reads answered before they stop (-1: all)
        Caricatore caricatore = Caricatore::Completo;
        std::int64_t cellaDifettosa = -1;    // configuration address that keeps every byte inverted
    };

    SimulatedMemory(SimulatedInstrument& instrument, Options options);
    explicit SimulatedMemory(SimulatedInstrument& instrument) : SimulatedMemory(instrument, Options{}) {}

    std::vector<std::uint8_t>& PRAM() { return pram_; }
    // The configuration memory: PRAM itself when the configuration lives there.
    std::vector<std::uint8_t>& Configurazione() { return options_.configurazioneInPRAM ? pram_ : configurazione_; }
    std::vector<std::uint8_t>& Flash() { return flash_; }
    void CaricaConfigurazione(const std::vector<std::uint8_t>& image, std::size_t address = 0);

    bool UpdateMode() const { return updateMode_; }
    void SetUpdateMode(bool on) { updateMode_ = on; }
    Options& Opzioni() { return options_; }
    Faults& Guasti() { return faults_; }
    // Every configuration write in order (address, byte), whichever path it came by.
    const std::vector<std::pair<std::uint32_t, std::uint8_t>>& ScrittureConfigurazione() const { return scritture_; }
    void AzzeraScritture() { scritture_.clear(); }
    // Fails the configuration write number n (1 = the next one): it is not made and is not acknowledged.
    void FallisciScrittura(std::size_t n) { scritturaFallita_ = scritture_.size() + n; }
    int Riavvii() const { return riavvii_; }
    // A restart takes `seconds` on the clock `now` reads (monotonic seconds) before the instrument
    // hears anything again; without it the instrument is back at once.
    void SetDurataRiavvio(std::function<double()> now, double seconds)
    {
        adesso_ = std::move(now);
        durataRiavvio_ = seconds;
    }

private:
    using Reply = std::optional<std::vector<std::uint8_t>>;
    Reply Identita() const;
    Reply Versione() const;
    Reply LeggiPRam(std::span<const std::uint8_t> a);
    Reply ScriviPRam(std::span<const std::uint8_t> a);
    Reply Memoria(std::span<const std::uint8_t> a);
    Reply LeggiFlash(std::span<const std::uint8_t> a);
    Reply CancellaFlash(std::span<const std::uint8_t> a);
    Reply ProgrammaFlash(std::span<const std::uint8_t> a);
    Reply Riavvia();
    std::vector<std::uint8_t> Ack(bool ok);
    // The PRAM cell an address reaches, through the address lines as they are.
    std::uint32_t Cella(std::uint32_t address) const;
    bool ScriviByteConfigurazione(std::uint32_t address, std::uint8_t value);
    // How many of a configuration write's n bytes the loader keeps; nothing when it refuses them.
    std::optional<std::size_t> Accettati(std::size_t n) const;

    SimulatedInstrument& instrument_;
    Options options_;
    Faults faults_;
    std::vector<std::uint8_t> pram_;
    std::vector<std::uint8_t> configurazione_;
    std::vector<std::uint8_t> flash_;
    bool updateMode_ = false;
    int occupata_ = 0;
    int riavvii_ = 0;
    std::function<double()> adesso_;
    double durataRiavvio_ = 0;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> scritture_;
    std::size_t scritturaFallita_ = 0;
};

} // namespace zem::sim
