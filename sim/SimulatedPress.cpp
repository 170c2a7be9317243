#include "sim/SimulatedPress.h"

#include <cmath>

namespace zem::sim {

namespace {

constexpr double kInizioForza = 0.8;  // share of the way down where the ram meets the piece

std::int32_t Intero(double v)
{
    return static_cast<std::int32_t>(std::lround(v));
}

} // namespace

double SimulatedPress::Posizione() const
{
    const double t = std::fmod(clock_.Timer(), kCiclo);
    if (t < kInizioDiscesa || t >= kInAlto) return 0.0;
    if (t < kFondo) return (t - kInizioDiscesa) / (kFondo - kInizioDiscesa);
    if (t < kInizioRisalita) return 1.0;
    return (kInAlto - t) / (kInAlto - kInizioRisalita);
}

double SimulatedPress::Forza() const
{
    return ForzaAllaPosizione(Posizione());
}

double SimulatedPress::ForzaAllaPosizione(double p)
{
    return p <= kInizioForza ? 0.0 : (p - kInizioForza) / (1.0 - kInizioForza);
}

std::int32_t SimulatedPress::Encoder1() const
{
    return Intero(Posizione() * kCorsa);
}

std::int16_t SimulatedPress::Cella1() const
{
    return static_cast<std::int16_t>(kCella1Riposo + Intero(Forza() * (kCella1Massima - kCella1Riposo)));
}

std::int16_t SimulatedPress::Potenziometro1() const
{
    return static_cast<std::int16_t>(kPotenziometro1Alto + Intero(Posizione() * (kPotenziometro1Basso - kPotenziometro1Alto)));
}

} // namespace zem::sim
