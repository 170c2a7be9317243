#include "link/ScalaMisura.h"

#include <cmath>

namespace zem {

namespace {

double Potenza10(int decimali)
{
    return std::pow(10.0, decimali);
}

// a / b, or 0 when b leaves nothing to divide by.
double Dividi(double a, double b)
{
    return b == 0.0 || !std::isfinite(b) ? 0.0 : a / b;
}

} // namespace

double ScalaMisura::ArrotondaPari(double x)
{
    if (!std::isfinite(x)) return x;
    const double basso = std::floor(x);
    const double resto = x - basso;
    if (resto < 0.5) return basso;
    if (resto > 0.5) return basso + 1.0;
    return std::fmod(basso, 2.0) == 0.0 ? basso : basso + 1.0;
}

std::uint16_t ScalaMisura::Parola(double raw)
{
    if (!(raw > 0.0)) return 0;  // also NaN
    if (raw >= 65535.0) return 65535;
    return static_cast<std::uint16_t>(ArrotondaPari(raw));
}

std::uint8_t ScalaMisura::Byte(double raw)
{
    if (!(raw > 0.0)) return 0;
    if (raw >= 255.0) return 255;
    return static_cast<std::uint8_t>(ArrotondaPari(raw));
}

double ScalaMisura::ValoreARaw(float valore) const
{
    return ArrotondaPari(Dividi(valore * Potenza10(decimaliValore), gainValore));
}

float ScalaMisura::RawAValore(double raw) const
{
    return static_cast<float>(Dividi(raw * gainValore, Potenza10(decimaliValore)));
}

double ScalaMisura::ForzaARaw(float forza) const
{
    return ArrotondaPari(Dividi(Dividi(forza * Potenza10(decimaliForza), fattoreForza), gainForza));
}

float ScalaMisura::RawAForza(double raw) const
{
    return static_cast<float>(Dividi(raw * gainForza * fattoreForza, Potenza10(decimaliForza)));
}

double ScalaMisura::QuotaARaw(float quota) const
{
    return ArrotondaPari(Dividi(Dividi(quota * Potenza10(decimaliQuota), fattoreQuota), gainQuota));
}

float ScalaMisura::RawAQuota(double raw) const
{
    return static_cast<float>(Dividi(raw * gainQuota * fattoreQuota, Potenza10(decimaliQuota)));
}

double ScalaMisura::TempoACampioni(float secondi) const
{
    return ArrotondaPari(Dividi(secondi * 1000.0, baseTempo * 50.0) * 1000.0);
}

float ScalaMisura::CampioniATempo(double campioni) const
{
    return static_cast<float>((baseTempo * 50.0 / 1000.0) * (campioni / 1000.0));
}

double ScalaMisura::TempoPrescalatoACampioni(float secondi, int prescaler) const
{
    return ArrotondaPari(Dividi(Dividi(secondi * 1000.0, baseTempo * 50.0 * prescaler) * 1000.0, fattoreTempo));
}

float ScalaMisura::CampioniATempoPrescalato(double campioni, int prescaler) const
{
    return static_cast<float>(campioni * fattoreTempo * (baseTempo * 50.0 * prescaler) / 1e6);
}

double ScalaMisura::ScalaARaw(float scala, int decimali)
{
    return ArrotondaPari(scala * Potenza10(decimali));
}

float ScalaMisura::RawAScala(double raw, int decimali)
{
    return static_cast<float>(Dividi(raw, Potenza10(decimali)));
}

} // namespace zem
