#include "main/IndirizziMemoria.h"

#include "link/ScalaMisura.h"
#include "profile/ProfiloZem.h"

#include <cmath>

namespace zem {

namespace {

constexpr std::int64_t kLimite16 = 0x10000;    // configuration addresses travel in 16 bits
constexpr std::int64_t kLimite24 = 0x1000000;

bool ConOperazioni(const ProfiloZem& p, int m)
{
    return p.ConFasi(m) && p.OperazioniSelezionabili(m) >= 2;
}

std::int64_t Peso(const ProfiloZem& p, int m)
{
    const int tipo = p.TipoMisura(m);
    if (tipo == 0) return 0;
    const float base = tipo == 3 ? 50.0f : 100.0f;
    const float durata = p.DurataCurve(m) * 5000.0f + base;
    if (!std::isfinite(durata) || std::fabs(durata) > 1e15f) return -1;
    auto w = static_cast<std::int64_t>(ScalaMisura::ArrotondaPari(durata));
    if (p.ConFasi(m)) w *= p.OperazioniSelezionabili(m);
    return w;
}

} // namespace

std::uint32_t IndirizziMemoria::DimensioneBlocco(int tipo)
{
    if (tipo == 1 || tipo == 4) return 64;
    if (tipo == 2 || tipo == 3) return 66;
    return 0;
}

std::uint32_t IndirizziMemoria::DimensioneRecordLavoro(int tipo)
{
    if (tipo == 1 || tipo == 4) return (kPuntiFascia * 6 + 1) * 2 + 101;
    if (tipo == 2) return 49;
    if (tipo == 3) return 30;
    return 0;
}

float IndirizziMemoria::PercentualeCurve(const ProfiloZem& profilo, int misura)
{
    std::int64_t somma = 0;
    for (int k = 1; k <= 6; ++k) somma += Peso(profilo, k);
    if (somma <= 0) return 0;
    return static_cast<float>(static_cast<double>(Peso(profilo, misura)) / static_cast<double>(somma) * 100.0);
}

std::optional<IndirizziMemoria> CalcolaIndirizzi(const ProfiloZem& p, const DatiStrumento& s)
{
    IndirizziMemoria r;
    bool inUso = false;
    std::int64_t somma = 0;
    for (int m = 1; m <= 6; ++m) {
        const int tipo = p.TipoMisura(m);
        const int operazioni = p.OperazioniSelezionabili(m);
        // Record byte 9 carries the count, and an unknown type has no layout.
        if (tipo < 0 || tipo > 4 || operazioni < 0 || operazioni > 255) return std::nullopt;
        if (tipo == 0) continue;
        inUso = true;
        r.numeroLavori += ConOperazioni(p, m) ? static_cast<std::uint32_t>(operazioni) : 1u;
        const std::int64_t w = Peso(p, m);
        if (w < 0) return std::nullopt;
        somma += w;
    }
    if (!inUso || somma <= 0 || s.dimensioneConfigurazione <= 0 || s.dimensioneMemoria <= 0) return std::nullopt;

    std::int64_t base = s.dimensioneConfigurazione;
    if (s.estensioni >= 11) base += 6 * static_cast<std::int64_t>(r.numeroLavori);
    // The general part, names included, has to lie below the first measure block.
    if (base < IndirizziMemoria::kFineGenerale) return std::nullopt;
    std::int64_t a = base;
    for (std::size_t i = 0; i < 6; ++i) {
        const int tipo = p.TipoMisura(static_cast<int>(i + 1));
        r.indirizzoRecord[i] = static_cast<std::uint32_t>(a);
        r.dimensioneBlocco[i] = IndirizziMemoria::DimensioneBlocco(tipo);
        r.valoreDopoRecord[i] = static_cast<std::uint8_t>(tipo == 1 || tipo == 4 ? IndirizziMemoria::kPuntiFascia : 0);
        a += r.dimensioneBlocco[i];
    }
    const std::int64_t baseLavori = a;
    for (std::size_t i = 0; i < 6; ++i) {
        const int m = static_cast<int>(i + 1);
        r.indirizzoLavori[i] = static_cast<std::uint32_t>(a);
        r.dimensioneLavoro[i] = IndirizziMemoria::DimensioneRecordLavoro(p.TipoMisura(m));
        r.numeroRecordLavoro[i] = static_cast<std::uint32_t>(std::max<int>(0, p.TotaleOperazioni(m)));
        a += static_cast<std::int64_t>(r.dimensioneLavoro[i]) * r.numeroRecordLavoro[i];
    }
    const std::int64_t fineLavori = a;
    if (fineLavori > kLimite16 || fineLavori > s.dimensioneMemoria) return std::nullopt;
    r.baseMisure = static_cast<std::uint32_t>(base);
    r.baseLavori = static_cast<std::uint32_t>(baseLavori);
    r.dimensioneLavori = static_cast<std::uint32_t>(fineLavori - baseLavori);

    const std::int64_t inizio = s.configurazioneInPRAM ? fineLavori : 0;
    const std::int64_t libere = static_cast<std::int64_t>(s.dimensioneMemoria) - inizio - 1;
    if (libere < IndirizziMemoria::kMinimoCurve || libere >= kLimite24) return std::nullopt;
    r.inizioCurve = static_cast<std::uint32_t>(inizio);
    r.curveLibere = static_cast<std::uint32_t>(libere);

    std::int64_t b = inizio;
    for (std::size_t i = 0; i < 6; ++i) {
        const int m = static_cast<int>(i + 1);
        const int tipo = p.TipoMisura(m);
        const int operazioni = p.OperazioniSelezionabili(m);
        std::int64_t dimensione = 0;
        if (tipo == 3)
            dimensione = ConOperazioni(p, m) ? 5 * operazioni : 5;
        else
            dimensione = static_cast<std::int64_t>(
                std::floor(static_cast<double>(IndirizziMemoria::PercentualeCurve(p, m)) * static_cast<double>(libere) / 100.0));
        r.baseCurve[i] = static_cast<std::uint32_t>(b);
        b += dimensione;
        if (tipo > 0 && ConOperazioni(p, m)) dimensione /= operazioni;
        r.dimensioneCurva[i] = static_cast<std::uint32_t>(dimensione);
    }
    // The shares must leave the curves inside the memory.
    if (b > s.dimensioneMemoria || b >= kLimite24) return std::nullopt;

    // The curve table after the general part is indexed by measure; its entries may not reach the
    // measure blocks. From release 11 room is kept for it; before, the records carry the values.
    for (std::size_t i = 0; i < 6; ++i) {
        if (p.TipoMisura(static_cast<int>(i + 1)) == 0) continue;
        const std::int64_t fine = IndirizziMemoria::kTabellaCurve + 6 * static_cast<std::int64_t>(i + 1);
        r.voceTabella[i] = fine <= base;
        if (!r.voceTabella[i] && s.estensioni >= 11) return std::nullopt;
    }
    return r;
}

} // namespace zem
