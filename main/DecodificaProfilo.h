#pragma once

#include "main/CampoProfilo.h"
#include "profile/ProfiloZem.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem {

class TransferProgress;
class UCZEM2;

// An instrument's configuration memory read back into a profile: the inverse of the memory image.
// What the image does not keep (messages, acquisition speed, fields a measure type has no room
// for) comes from the template, and the names of those fields are listed. The curve durations are
// worked out from the curve-memory shares, which fix them only up to a common scale.
class DecodificaProfilo {
public:
    struct Esito {
        std::optional<ProfiloZem> profilo;  // nothing when refused; `errore` says why
        std::vector<CampoProfilo> nonLetti;  // fields that kept the template's value
        std::vector<CampoProfilo> ricavati;  // fields worked out from others: the curve durations
        std::string errore;
    };

    // Reads the general part and the measure blocks through an open link, in block reads along
    // whichever memory path the instrument uses. The bar runs over each of the two by bytes; a
    // stop asked for between two reads gives no profile (`kFermato`).
    static Esito Leggi(UCZEM2& link, const ProfiloZem& modello, TransferProgress& progress);

    // The decoding of bytes already read: `generale` from address 0, `misure` from `baseMisure`.
    static Esito Decodifica(std::span<const std::uint8_t> generale, std::uint32_t baseMisure,
                            std::span<const std::uint8_t> misure, const UCZEM2& link, const ProfiloZem& modello);

    // End of the general part read: the curve table of six entries of 6 bytes at 0x168.
    static constexpr std::uint32_t kFineGenerale = 0x168 + 36;

    static constexpr const char* kFermato = "Import stopped: the profile was not changed.";
    static constexpr const char* kFormatoVecchio =
        "The instrument memory holds an older configuration format, which cannot be read back into a profile.";
};

} // namespace zem
