#pragma once

#include "link/LavoroMisura.h"
#include "link/ScalaMisura.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zem {

// One stored envelope entry: position raw, the force the instrument reaches along the segment, and
// the quantized slope that takes it there.
struct VoceFascia {
    std::uint16_t quota = 0;
    std::uint16_t forza = 0;
    std::uint16_t pendenza = 0;
    friend bool operator==(const VoceFascia&, const VoceFascia&) = default;
};

// Slope code bits and fields.
constexpr std::uint16_t kPendenzaQuotaPerForza = 0x8000;  // position per force, else force per position
constexpr std::uint16_t kPendenzaDiscesa = 0x4000;        // the force falls along the segment

// Encodes one border of the envelope. The points are checked first: a point behind the previous
// one ends the border, a point at the previous position moves one raw unit on, a force more than
// 4095 raw units from the first point's is limited to that distance. Points so changed, or cut,
// are changed in `punti` as well, so the model shows what the instrument holds. A border left with
// fewer than two points has no entries and no points.
std::vector<VoceFascia> CodificaBordo(std::vector<PuntoFascia>& punti, const ScalaMisura& scala);

// The points a stored border describes: each entry's position and force in engineering units.
std::vector<PuntoFascia> DecodificaBordo(std::span<const VoceFascia> voci, const ScalaMisura& scala);

} // namespace zem
