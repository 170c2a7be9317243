#pragma once

#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedMemory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zem::sim {

// The works side of the instrument: which operation each measure runs (command 35), selecting a
// work (command 7) against the works the configuration memory holds, and the remote-modify flag
// (command 6). The work records themselves are plain configuration memory, written through the
// memory commands like any other byte; this class finds them for tests from the header and the
// measure records, as the instrument does.
class SimulatedWorks {
public:
    struct Selezione {
        int indice = 0;   // measure index as sent (0-based)
        int lavoro = 0;
        bool accettata = false;
        friend bool operator==(const Selezione&, const Selezione&) = default;
    };

    SimulatedWorks(SimulatedInstrument& instrument, SimulatedMemory& memory);

    // Measures 1..6.
    int OperazioneCorrente(int misura) const;
    void SetOperazioneCorrente(int misura, int operazione);
    const std::vector<Selezione>& Selezioni() const { return selezioni_; }
    // Measure indices whose remote-modify flag was cleared, in order.
    const std::vector<int>& ResetModifica() const { return resetModifica_; }
    // Command 35 answers nothing for the next n requests.
    void SilenzioOperazione(int n) { silenzio35_ = n; }

    // Where the configuration memory puts work record n of a measure, and its bytes.
    std::optional<std::uint32_t> IndirizzoRecord(int misura, int n);
    std::vector<std::uint8_t> Record(int misura, int n);

private:
    struct Misura {
        std::uint32_t record = 0;
        int tipo = 0;
        bool fasi = false;
        int lavori = 0;
        std::uint32_t lavoriBase = 0;
        std::uint32_t dimensione = 0;
    };
    std::optional<Misura> LeggiMisura(int misura);
    using Reply = std::optional<std::vector<std::uint8_t>>;
    Reply OperazioneCorrenteRichiesta(std::span<const std::uint8_t> a);
    Reply SelezionaLavoro(std::span<const std::uint8_t> a);
    Reply ModificaRemota(std::span<const std::uint8_t> a);

    SimulatedMemory& memory_;
    std::array<int, 6> operazione_{};
    std::vector<Selezione> selezioni_;
    std::vector<int> resetModifica_;
    int silenzio35_ = 0;
};

} // namespace zem::sim
