#include "diagnosis/UnitaCurva.h"

#include "link/UCZEM2.h"

namespace zem {

namespace {

// The unit codes of the calibration records.
std::string NomeUnita(int codice)
{
    switch (codice) {
    case 0: return "daN";
    case 1: return "mm";
    case 3: return "KN";
    default: return "";
    }
}

} // namespace

UnitaCurva UnitaCurva::Di(const MisuraStrumento& misura)
{
    // A position is a length: a record still holding a force code is not calibrated for it.
    const std::string quota = NomeUnita(misura.umQuota);
    return {quota == "mm" ? quota : "", NomeUnita(misura.umForza)};
}

std::string ConUnita(const std::string& nome, const std::string& unita)
{
    return unita.empty() ? nome : nome + " [" + unita + "]";
}

} // namespace zem
