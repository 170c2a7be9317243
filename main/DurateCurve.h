#pragma once

#include "main/DatiStrumento.h"

#include <array>
#include <cstdint>

namespace zem {

class ProfiloZem;

// A measure's two curve-memory values as the instrument keeps them: base and size (per operation
// when the measure has operations).
struct QuotaCurve {
    std::uint32_t base = 0;
    std::uint32_t dimensione = 0;
};

struct DurateRicostruite {
    std::array<bool, 6> ricavata{};  // the measure's duration was worked out (measures 1..6)
    bool esatte = false;             // the worked-out durations give back every value read
};

// The memory keeps each measure's curve-memory share, not the curve durations the shares come
// from, and the shares fix the durations only up to a common scale. Sets durations of the measures
// in use that give the values `lette` back, searching the smallest total weight first; when no
// exact set is found, the closest one tried if no value is off by more than one byte. Nothing is
// worked out (the durations stay) when no measure of type 1, 2 or 4 has a weight, since then the
// shares do not depend on the durations, or when no set comes that close.
DurateRicostruite RicostruisciDurate(ProfiloZem& profilo, const DatiStrumento& strumento,
                                     const std::array<QuotaCurve, 6>& lette);

} // namespace zem
