#include "link/RisultatiMisura.h"

#include "link/ByteOrder.h"

#include <algorithm>

namespace zem {

namespace {

// Results words are signed: a force or position below the zero of the transducer is negative.
double ConSegno(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::int16_t>(Leggi16(b, at));
}

} // namespace

std::size_t RisultatiMisura::Dimensione(int tipo)
{
    switch (tipo) {
    case 1:
    case 4: return 32;
    case 2: return 15;
    case 3: return 5;
    default: return 0;
    }
}

std::optional<RisultatiMisura> RisultatiMisura::Decodifica(int tipo, std::span<const std::uint8_t> b,
                                                           const ScalaMisura& scala, int checkPoint)
{
    if (Dimensione(tipo) == 0 || b.size() != Dimensione(tipo)) return std::nullopt;
    RisultatiMisura r;
    if (tipo == 3) {
        r.CauseScarto = b[2];
        r.ValoreMisurato = scala.RawAValore(ConSegno(b, 3));
        return r;
    }
    r.StatoA = b[2];
    r.StatoB = b[3];
    r.CauseScarto = Leggi16(b, 5);
    if (tipo == 2) {
        r.ValoreMinimo = scala.RawAValore(ConSegno(b, 7));
        r.ValoreMassimo = scala.RawAValore(ConSegno(b, 9));
        r.ValorePiccoPicco = scala.RawAValore(ConSegno(b, 11));
        r.ValoreMisurato = scala.RawAValore(ConSegno(b, 13));
        return r;
    }
    r.ForzaPicco = scala.RawAForza(ConSegno(b, 7));
    r.QuotaPicco = scala.RawAQuota(ConSegno(b, 9));
    // Eight check points fill bytes 13..28; an instrument with fewer leaves the rest unused.
    const int punti = std::clamp(checkPoint, 0, kCheckPoint);
    for (int k = 1; k <= punti; ++k)
        r.ForzeCheckPoint[static_cast<std::size_t>(k)] = scala.RawAForza(ConSegno(b, 13 + 2 * static_cast<std::size_t>(k - 1)));
    r.CauseScartoCheckPoint = Leggi16(b, 29);
    return r;
}

} // namespace zem
