#include "diagnosis/DescrizioneTrasduttore.h"

#include "link/UCZEM2.h"

namespace zem {

namespace {

// Analog input k (1 = #1A, 2 = #1B, 3 = #2A, 4 = #2B) by the kind the instrument reports.
std::string Analogico(const UCZEM2& link, int k, const char* nome, const char* proprio)
{
    if (link.Ingresso20mA(k)) return std::string("0-20mA analog input ") + nome;
    if (link.Ingresso010V(k)) return std::string("0-10V analog input ") + nome;
    return std::string(proprio) + nome;
}

} // namespace

std::string DescrizioneTrasduttore(const UCZEM2& link, int codice)
{
    switch (codice) {
    case 1: return "Quadrature encoder #1E";
    case 2: return Analogico(link, 2, "#1B", "Analog input ");
    case 3: return Analogico(link, 1, "#1A", "2mV/V analog input (load cell) ");
    case 4: return "Quadrature encoder #2E";
    case 5: return Analogico(link, 4, "#2B", "Analog input ");
    case 6: return Analogico(link, 3, "#2A", "2mV/V analog input (load cell) ");
    case 7: return "Time";
    default: return {};
    }
}

} // namespace zem
