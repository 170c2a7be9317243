#pragma once

#include "main/DatiStrumento.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zem {

class ProfiloZem;

// Every computation of the image fails with this one message.
inline constexpr const char* kErroreIndirizzi = "Memory address error.";

// Where a profile's image goes in the instrument's memories: the general part from 0, the measure
// blocks (record and the data block after it), the works areas, then the curve memory shared out
// between the measures. Measures are indexed 0..5 here.
struct IndirizziMemoria {
    static constexpr std::uint32_t kTabellaCurve = 0x168;  // two 24-bit values a measure
    static constexpr std::uint32_t kFineGenerale = 0x168;  // the general part ends before it
    static constexpr std::uint32_t kPuntiFascia = 15;      // envelope points a border of a work record
    static constexpr std::uint32_t kMinimoCurve = 4096;    // free curve memory an image needs

    std::uint32_t numeroLavori = 0;                 // works of all measures in use (W)
    std::uint32_t baseMisure = 0;                   // the first measure block
    std::array<std::uint32_t, 6> indirizzoRecord{}; // measure blocks
    std::array<std::uint32_t, 6> dimensioneBlocco{};
    std::uint32_t baseLavori = 0;                   // works areas, right after the last block
    std::array<std::uint32_t, 6> indirizzoLavori{};
    std::array<std::uint32_t, 6> dimensioneLavoro{};  // one work record of the measure's type
    std::array<std::uint32_t, 6> numeroRecordLavoro{};
    std::uint32_t dimensioneLavori = 0;             // all works areas
    std::uint32_t inizioCurve = 0;
    std::uint32_t curveLibere = 0;                  // F
    std::array<std::uint32_t, 6> baseCurve{};       // first table: B
    std::array<std::uint32_t, 6> dimensioneCurva{}; // second table: S, per operation when the measure has them
    std::array<std::uint8_t, 6> valoreDopoRecord{}; // offset 16 of the data block
    std::array<bool, 6> voceTabella{};              // whether the entry at 0x168 is written

    // The configuration area: everything below the works areas.
    std::uint32_t dimensioneConfigurazione() const { return baseLavori; }

    static std::uint32_t DimensioneBlocco(int tipo);
    static std::uint32_t DimensioneRecordLavoro(int tipo);
    // The share of the curve memory a measure gets, in percent; 0 when no measure has a weight.
    static float PercentualeCurve(const ProfiloZem& profilo, int misura);
};

// The address computation of a profile for an instrument. Nothing when the image would not fit:
// free curve memory below 4096 bytes, an address past the memory or past 0xFFFF, a count that does
// not fit its byte, no measure in use, or from release 11 a curve-table entry past the room kept
// for it; the caller reports kErroreIndirizzi.
std::optional<IndirizziMemoria> CalcolaIndirizzi(const ProfiloZem& profilo, const DatiStrumento& strumento);

} // namespace zem
