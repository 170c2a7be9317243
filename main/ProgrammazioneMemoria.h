#pragma once

#include "main/ImmagineMemoria.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zem {

namespace ui {
class Host;
}
class TransferProgress;
class UCZEM2;

// A run of consecutive configuration addresses, written as one transfer.
struct BloccoMemoria {
    std::uint32_t indirizzo = 0;
    std::vector<std::uint8_t> dati;
    friend bool operator==(const BloccoMemoria&, const BloccoMemoria&) = default;
};

// The writes grouped into runs of consecutive addresses, in the order they come.
std::vector<BloccoMemoria> Blocchi(std::span<const ScritturaImmagine> scritture);

// Programming a configuration memory that counts only once it has been read back: the 4-byte
// header cleared, the body written in blocks, the whole read back and compared, and only then the
// header written. The send and the restore of a backup both run it on a link in update mode.
class ProgrammazioneMemoria {
public:
    static constexpr std::size_t kIntestazione = 4;

    ProgrammazioneMemoria(ui::Host& host, TransferProgress& progress);

    // The bar shows `didascalia` with the step under way ("Writing memory", "Verifying", "Writing
    // header"), and moves by bytes up to `massimo` while writing, then again while reading back.
    // A failure is shown ("Clearing memory fail.", "Programming memory fail." with the first
    // differing address, or "Closing memory fail." when the header is not found written) and
    // leaves the header cleared; true once the header is written, even when only reading it back
    // shows that.
    bool Programma(UCZEM2& link, std::span<const BloccoMemoria> corpo,
                   const std::array<std::uint8_t, kIntestazione>& intestazione, const std::string& didascalia,
                   int massimo);

private:
    bool Scrivi(UCZEM2& link, std::span<const BloccoMemoria> corpo);
    bool Verifica(UCZEM2& link, std::span<const BloccoMemoria> corpo, const std::string& didascalia);
    bool IntestazioneScritta(UCZEM2& link, const std::array<std::uint8_t, kIntestazione>& intestazione);

    ui::Host& host_;
    TransferProgress& progress_;
};

} // namespace zem
