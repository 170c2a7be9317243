#pragma once

#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedPress.h"

#include <array>
#include <cstdint>

namespace zem::sim {

// The diagnostics side of the instrument: diagnostic mode (20), digital inputs and outputs (21:
// the mode flag, inputs, outputs), forcing an output (22, only in diagnostic mode), the live transducer readings of the press
// (23), the serial-line status block (31) and the auxiliary outputs of each measure (36).
class SimulatedDiagnostics {
public:
    // Serial status block: address, error bits, message flags, checksum, message byte count,
    // end index and buffer. The count goes up at every read, as messages keep arriving.
    static constexpr std::size_t kStatoSeriale = 15;

    SimulatedDiagnostics(SimulatedInstrument& instrument, const SimulatedPress& press);

    bool ModoDiagnostico() const { return diagnostico_; }
    std::uint8_t ingressi = 0;  // bit n: input n, set by tests
    std::uint8_t Uscite() const { return uscite_; }
    std::array<std::uint8_t, kStatoSeriale> statoSeriale{1, 0, 0x08, 0, 0, 5};
    // Auxiliary inputs of measure 1..6 (index 0..5), set by tests.
    std::array<std::uint8_t, 6> ingressiAux{};
    // Last action code of command 36 per measure, and the auxiliary output states (low nibble).
    std::array<std::uint8_t, 6> azioneAux{};
    std::array<std::uint8_t, 6> usciteAux{};

private:
    using Reply = std::optional<std::vector<std::uint8_t>>;
    Reply ModoDiagnostico(std::span<const std::uint8_t> a);
    Reply ForzaUscita(std::span<const std::uint8_t> a);
    Reply Trasduttori() const;
    Reply StatoSeriale();
    Reply UsciteAux(std::span<const std::uint8_t> a);

    const SimulatedPress& press_;
    bool diagnostico_ = false;
    std::uint8_t uscite_ = 0;
    std::array<std::uint8_t, 6> segnalazione_{};
};

} // namespace zem::sim
