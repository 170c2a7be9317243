#pragma once

#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedMemory.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace zem::sim {

// The acquisition side of the instrument, per measure: stopping (2), the measure status bytes
// (4), enabling and blocking (18), restarting (29), the changed-work flag (8), the curves waiting
// to be processed (16), where the results block lies (11), and the acknowledgements of the
// selection (5) and of a received curve (19). The results blocks themselves live in PRAM.
class SimulatedAcquisition {
public:
    static constexpr std::uint32_t kRisultati = 0x70000;      // PRAM address of measure 1's results
    static constexpr std::uint32_t kPassoRisultati = 0x40;    // and the distance to the next one

    struct Misura {
        bool abilitata = true;
        bool bloccata = false;
        bool arrestata = false;
        bool pezzoInLavorazione = false;  // status bit 0; a measure working a piece cannot be blocked
        bool risultatiPronti = false;     // status bit 1
        bool lavoroModificato = false;    // status bit 4
    };

    SimulatedAcquisition(SimulatedInstrument& instrument, SimulatedMemory& memory);

    std::array<Misura, 6> misure{};      // measures 1..6 at 0..5
    std::uint8_t curveDaTrattare = 0;    // bit m-1: curves of measure m wait
    std::size_t byteStato = 2;           // status bytes command 4 answers with
    // Runs before each status reply, so that a machine can bring the flags up to date.
    std::function<void()> primaDelloStato;
    // Measures in the order their stops came (as sent: 1..6, 0 for all).
    const std::vector<int>& Arresti() const { return arresti_; }

    // Puts a results block into PRAM at measure m's (1..6) results address.
    void ScriviRisultati(int misura, std::span<const std::uint8_t> blocco);
    static std::uint32_t IndirizzoRisultati(int misura) { return kRisultati + kPassoRisultati * static_cast<std::uint32_t>(misura - 1); }

private:
    using Reply = std::optional<std::vector<std::uint8_t>>;
    Reply Arresta(std::span<const std::uint8_t> a);
    Reply Stato() const;
    Reply Acquisizione(std::span<const std::uint8_t> a);
    Reply Riparti(std::span<const std::uint8_t> a);
    Reply FlagModifiche(std::span<const std::uint8_t> a);
    Reply CurveDaTrattare(std::span<const std::uint8_t> a);
    Reply Risultati(std::span<const std::uint8_t> a) const;

    SimulatedMemory& memory_;
    std::vector<int> arresti_;
};

} // namespace zem::sim
