#pragma once

#include "main/IndirizziMemoria.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zem {

class ProfiloZem;

// One byte of the image: each goes to the instrument as a write of its own.
struct ScritturaImmagine {
    std::uint32_t indirizzo = 0;
    std::uint8_t valore = 0;
    friend bool operator==(const ScritturaImmagine&, const ScritturaImmagine&) = default;
};

// A profile's configuration image: the writes in the order they go out. Header bytes 0-3 are
// cleared first and "ZEM5" is written last, so a transfer cut short leaves a memory no reader
// takes for valid; between them come the measure blocks, the cleared works areas when the works
// are not kept, and the general part.
struct ImmagineMemoria {
    IndirizziMemoria indirizzi;
    std::vector<ScritturaImmagine> scritture;

    // Builds the image; nothing (report kErroreIndirizzi) when the address computation fails.
    static std::optional<ImmagineMemoria> Costruisci(const ProfiloZem& profilo, const DatiStrumento& strumento,
                                                     bool mantieniLavori);
};

} // namespace zem
