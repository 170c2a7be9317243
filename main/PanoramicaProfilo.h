#pragma once

#include <string>
#include <vector>

namespace zem {

class ProfiloZem;

// What the main window shows of the open profile: the instrument, then one row per measure in
// use, with the physical inputs and outputs that two measures give different functions marked.
struct PanoramicaProfilo {
    struct Riga {
        std::string misura;        // "1 - PRESS FIT"
        std::string tipo;          // "Press force-position"
        std::string trasduttori;   // "Encoder #1, 2mV/V #1"
        std::string lavori;        // the selectable works
        std::string ingressi;      // "0 Start measure, 1 Enable measure"
        std::string uscite;
    };

    std::string strumento;           // "Name: LINE 1 PRESS   Address: 1"
    std::vector<Riga> righe;
    std::string conflitti;           // "Conflicts: input 3, output 2"; empty without any

    static PanoramicaProfilo Di(const ProfiloZem& profilo);
};

} // namespace zem
