#pragma once

#include "link/Clock.h"

#include <cstdint>

namespace zem::sim {

// The machine the simulated instrument watches: a press stroke repeating every two seconds on the
// given clock. The ram rests at the top, goes down, rests at the bottom and comes back up; the
// force rises over the last fifth of the way down and holds at the bottom. Rests are long enough
// that a reading taken in one is exact whatever the few microseconds an exchange lasts.
class SimulatedPress {
public:
    static constexpr double kCiclo = 2.0;               // seconds from top to top
    static constexpr double kInizioDiscesa = 0.4;       // rest at the top until then
    static constexpr double kFondo = 1.0;               // at the bottom from then
    static constexpr double kInizioRisalita = 1.2;      // rest at the bottom until then
    static constexpr double kInAlto = 1.8;              // back at the top
    static constexpr std::int32_t kCorsa = 50000;       // encoder 1 counts from top to bottom
    static constexpr std::int32_t kEncoder2 = -1000;    // the second encoder, held below its zero
    static constexpr std::int16_t kCella1Riposo = 100, kCella1Massima = 3900;
    static constexpr std::int16_t kPotenziometro1Alto = 200, kPotenziometro1Basso = 3800;
    static constexpr std::int16_t kCella2 = 2048, kPotenziometro2 = 1024;

    explicit SimulatedPress(Clock& clock) : clock_(clock) {}

    double Ora() const { return clock_.Timer(); }  // the time of day the strokes follow
    double Posizione() const;  // 0 at the top, 1 at the bottom
    double Forza() const;      // 0 .. 1 of the load cell's span
    // The force the piece opposes at a position of the ram (0 top .. 1 bottom), 0 .. 1.
    static double ForzaAllaPosizione(double posizione);
    std::int32_t Encoder1() const;
    std::int16_t Cella1() const;
    std::int16_t Potenziometro1() const;

private:
    Clock& clock_;
};

} // namespace zem::sim
