#pragma once

#include "link/ScalaMisura.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zem {

// The results of a measure's last measurement, decoded from the block the instrument keeps in its
// PRAM. Values are in engineering units (force, position and value units of the measure).
struct RisultatiMisura {
    static constexpr int kCheckPoint = 8;  // check points 1..8; element 0 is not used

    std::int32_t CauseScarto = 0;             // reject-cause bits, shown as a number
    std::int32_t CauseScartoCheckPoint = 0;
    float QuotaPicco = 0, ForzaPicco = 0;     // types 1 and 4
    float ValoreMinimo = 0, ValoreMassimo = 0, ValorePiccoPicco = 0;  // type 2
    float ValoreMisurato = 0;                 // types 2 and 3
    std::int16_t StatoA = 0, StatoB = 0;      // status bytes of types 1, 2 and 4
    std::array<float, kCheckPoint + 1> ForzeCheckPoint{};

    // Bytes of the results block of a measure type (0 for a type without results).
    static std::size_t Dimensione(int tipo);
    // Decodes a whole block; nothing when the block is not the type's size. `checkPoint` is the
    // number of check points the instrument keeps (NumeroMassimoCheckPoint).
    static std::optional<RisultatiMisura> Decodifica(int tipo, std::span<const std::uint8_t> blocco,
                                                     const ScalaMisura& scala, int checkPoint);
};

} // namespace zem
