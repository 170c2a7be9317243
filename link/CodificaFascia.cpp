#include "link/CodificaFascia.h"

#include <cmath>
#include <cstdlib>

namespace zem {

namespace {

constexpr int kMassimoMantissa = 4095;
constexpr int kMassimoScarto = 4095;  // force distance from the first point
constexpr int kMassimoRaw = 65535;

struct Pendenza {
    std::uint16_t codice = 0;
    double rapporto = 1;   // the quantized ratio r'
};

// The ratio r >= 1 as mantissa and exponent: r' = 1 + m / 16^e, the finest e whose next step
// would no longer fit the 12-bit mantissa.
Pendenza Quantizza(double r)
{
    const double s = r - 1.0;
    int e = 3;
    for (int prova = 0; prova < 3; ++prova) {
        if (ScalaMisura::ArrotondaPari(s * std::pow(16.0, prova + 1)) > kMassimoMantissa) {
            e = prova;
            break;
        }
    }
    const double potenza = std::pow(16.0, e);
    const double mantissa = std::min<double>(ScalaMisura::ArrotondaPari(s * potenza), kMassimoMantissa);
    Pendenza p;
    p.codice = static_cast<std::uint16_t>(mantissa + e * 4096);
    p.rapporto = 1.0 + mantissa / potenza;
    return p;
}

} // namespace

std::vector<VoceFascia> CodificaBordo(std::vector<PuntoFascia>& punti, const ScalaMisura& scala)
{
    struct Raw {
        int q, f;
    };
    std::vector<Raw> raw;
    raw.reserve(punti.size());
    for (std::size_t k = 0; k < punti.size(); ++k) {
        const double q0 = scala.QuotaARaw(punti[k].Quota);
        const double f0 = scala.ForzaARaw(punti[k].Forza);
        Raw r{ScalaMisura::Parola(q0), ScalaMisura::Parola(f0)};
        if (k > 0) {
            const Raw& prima = raw.back();
            // A point behind the previous one, or with no room left after it, ends the border.
            if (r.q < prima.q || (r.q == prima.q && prima.q == kMassimoRaw)) break;
            if (r.q == prima.q) r.q = prima.q + 1;
            const int riferimento = raw.front().f;
            if (r.f > riferimento + kMassimoScarto) r.f = riferimento + kMassimoScarto;
            if (r.f < riferimento - kMassimoScarto) r.f = riferimento - kMassimoScarto;
        }
        if (r.q != q0 || r.f != f0) punti[k] = PuntoFascia{scala.RawAForza(r.f), scala.RawAQuota(r.q)};
        raw.push_back(r);
    }
    if (raw.size() < 2) {
        punti.clear();
        return {};
    }
    punti.resize(raw.size());

    std::vector<VoceFascia> voci;
    voci.reserve(raw.size());
    voci.push_back({static_cast<std::uint16_t>(raw[0].q), static_cast<std::uint16_t>(raw[0].f), 0});
    long forza = raw[0].f;  // the force the instrument has reached so far
    for (std::size_t k = 1; k < raw.size(); ++k) {
        const long dq = raw[k].q - raw[k - 1].q;
        const long df = raw[k].f - forza;
        const bool forzaPerQuota = std::labs(dq) < std::labs(df);
        const double r = forzaPerQuota ? std::fabs(static_cast<double>(df) / static_cast<double>(dq))
                         : df == 0     ? 4096.0
                                       : std::fabs(static_cast<double>(dq) / static_cast<double>(df));
        const Pendenza p = Quantizza(r);
        const auto passo = static_cast<long>(
            ScalaMisura::ArrotondaPari(forzaPerQuota ? dq * p.rapporto : dq / p.rapporto));
        const bool discesa = raw[k].f < forza;
        forza = discesa ? forza - passo : forza + passo;
        std::uint16_t codice = p.codice;
        if (!forzaPerQuota) codice |= kPendenzaQuotaPerForza;
        if (discesa) codice |= kPendenzaDiscesa;
        voci.push_back({static_cast<std::uint16_t>(raw[k].q), ScalaMisura::Parola(static_cast<double>(forza)), codice});
    }
    return voci;
}

std::vector<PuntoFascia> DecodificaBordo(std::span<const VoceFascia> voci, const ScalaMisura& scala)
{
    std::vector<PuntoFascia> punti;
    punti.reserve(voci.size());
    for (const VoceFascia& v : voci) punti.push_back({scala.RawAForza(v.forza), scala.RawAQuota(v.quota)});
    return punti;
}

} // namespace zem
