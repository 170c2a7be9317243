#pragma once

#include <string>

namespace zem {

struct MisuraStrumento;

// The units a measure's curves are drawn, read out and exported in, as the calibration of its
// transducers names them; empty where the code names no unit of that quantity.
struct UnitaCurva {
    std::string quota;
    std::string forza;

    static UnitaCurva Di(const MisuraStrumento& misura);
};

// "Position [mm]"; the bare name without a unit.
std::string ConUnita(const std::string& nome, const std::string& unita);

} // namespace zem
