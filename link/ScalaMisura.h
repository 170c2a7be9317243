#pragma once

#include <cstdint>

namespace zem {

// How one measure's engineering values map to the instrument's integers: gains, decimals and unit
// factors of its transducers and the acquisition base period. Every conversion rounds to the
// nearest integer, halves to even; a zero gain, factor, base period or prescaler gives 0 rather than
// a division by zero. Results are left unsaturated; Parola and Byte bring them into a field.
class ScalaMisura {
public:
    float gainForza = 1, gainQuota = 1, gainValore = 1;
    int decimaliForza = 0, decimaliQuota = 0, decimaliValore = 0;
    int decimaliTempo = 0;  // decimals of the time graph scales
    double fattoreForza = 1, fattoreQuota = 1, fattoreTempo = 1;
    int baseTempo = 0;      // sampling period in units of 50 us

    static double ArrotondaPari(double x);
    // A raw value brought into an unsigned field: below 0 (and NaN) gives 0, above the top the top.
    static std::uint16_t Parola(double raw);
    static std::uint8_t Byte(double raw);

    double ValoreARaw(float valore) const;
    float RawAValore(double raw) const;
    double ForzaARaw(float forza) const;
    float RawAForza(double raw) const;
    double QuotaARaw(float quota) const;
    float RawAQuota(double raw) const;
    double TempoACampioni(float secondi) const;
    float CampioniATempo(double campioni) const;
    double TempoPrescalatoACampioni(float secondi, int prescaler) const;
    float CampioniATempoPrescalato(double campioni, int prescaler) const;
    // Graph scales carry only the decimals of their axis, no gain.
    static double ScalaARaw(float scala, int decimali);
    static float RawAScala(double raw, int decimali);
    static double StopDelayARaw(float secondi) { return ArrotondaPari(static_cast<double>(secondi) * 10.0); }
    static float RawAStopDelay(double raw) { return static_cast<float>(raw / 10.0); }
};

} // namespace zem
