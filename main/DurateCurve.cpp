#include "main/DurateCurve.h"

#include "main/IndirizziMemoria.h"
#include "profile/ProfiloZem.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace zem {

namespace {

constexpr std::int64_t kCentesimiMassimi = 10'000;  // typed durations tried up to 100 s
constexpr std::int64_t kPesoPiccolo = 4'000'000;    // total weights tried one by one (a few ms)
constexpr double kUnitaMassima = 1 << 24;           // a weight a single-precision duration still gives back
constexpr double kPassoScala = 1.1;
constexpr double kPrecisioneQuota = 1.5e-7;         // relative error of a share through a float
constexpr int kVerificheMassime = 20'000;           // candidates through the address computation
constexpr std::int64_t kScartoAmmesso = 1;          // what the single-precision share itself can be off

// A measure whose weight counts in the shares: unita x molt, unita = duration x 5000 + minimo.
struct Voce {
    int m = 0;
    std::int64_t molt = 1;    // the operations when the measure has phases
    std::int64_t minimo = 0;  // the weight of a zero duration, in units
    // Types 1, 2 and 4: the curve memory weight x F / total weight lies in [lo, hi).
    double lo = 0, hi = 0;
    std::int64_t unita = 0;   // the candidate
};

class Ricerca {
public:
    Ricerca(ProfiloZem& p, const DatiStrumento& s, const std::array<QuotaCurve, 6>& lette)
        : p_(p), s_(s), lette_(lette)
    {
    }

    DurateRicostruite Esegui()
    {
        const auto ind = CalcolaIndirizzi(p_, s_);
        if (!ind) return {};
        if (!Voci(ind->curveLibere)) return {.esatte = true};  // the shares do not depend on them
        const ProfiloZem prima = p_;
        if (!Tonde()) {
            verifiche_ = 0;
            if (!PesiPiccoli()) Scale();
        }
        // Shares no set of durations gives (a memory written otherwise) tell nothing.
        if (scarto_ > kScartoAmmesso) {
            p_ = prima;
            return {};
        }
        // The closest set tried stays; the search leaves the last one tried behind.
        DurateRicostruite r;
        r.esatte = scarto_ == 0;
        for (auto* voci : {&misure_, &semplici_})
            for (Voce& v : *voci) {
                v.unita = migliore_[static_cast<std::size_t>(v.m - 1)];
                r.ricavata[static_cast<std::size_t>(v.m - 1)] = true;
            }
        Imposta();
        return r;
    }

private:
    // The measures with a weight, and the curve memory each of types 1, 2 and 4 must get: exactly
    // the distance to the next measure's base, or for the last one what its size per operation allows.
    bool Voci(std::uint32_t libere)
    {
        libere_ = libere;
        for (int m = 1; m <= 6; ++m) {
            const int tipo = p_.TipoMisura(m);
            Voce v{m, p_.ConFasi(m) ? p_.OperazioniSelezionabili(m) : 1, tipo == 3 ? 50 : 100};
            if (tipo == 0 || v.molt <= 0) continue;
            if (tipo == 3) {
                semplici_.push_back(v);
                operazioniSemplici_ += static_cast<double>(v.molt);
                continue;
            }
            const auto i = static_cast<std::size_t>(m - 1);
            int prossima = m + 1;
            while (prossima <= 6 && p_.TipoMisura(prossima) == 0) ++prossima;
            const std::int64_t ops = p_.ConFasi(m) && p_.OperazioniSelezionabili(m) >= 2 ? p_.OperazioniSelezionabili(m) : 1;
            const std::int64_t distanza = prossima <= 6 ? std::int64_t{lette_[static_cast<std::size_t>(prossima - 1)].base} - lette_[i].base : -1;
            v.lo = static_cast<double>(distanza >= 0 ? distanza : std::int64_t{lette_[i].dimensione} * ops);
            v.hi = v.lo + static_cast<double>(distanza >= 0 ? 1 : ops);
            // The share goes through a single-precision percentage: the bounds are that loose.
            const double gioco = v.hi * kPrecisioneQuota;
            v.lo -= gioco, v.hi += gioco;
            misure_.push_back(v);
        }
        // One measure alone gets all the curve memory, whatever its duration.
        return misure_.size() > 1 || (!misure_.empty() && !semplici_.empty());
    }

    // Durations as a technician types them: in whole seconds, halves, quarters, tenths, twentieths
    // or hundredths, the measure with the largest share setting the scale; of the sets that give
    // the shares back, the one that takes the fewest steps. Typed durations mostly come back as
    // they were, so that a measure added later with a typed duration still gets its fair share.
    bool Tonde()
    {
        std::int64_t menoPassi = INT64_MAX;
        std::array<std::int64_t, 6> scelta{};
        for (const std::int64_t passo : {100, 50, 25, 10, 5, 1}) {
            if (!Tonde(passo)) continue;
            std::int64_t passi = 0;
            for (auto* voci : {&misure_, &semplici_})
                for (const Voce& v : *voci) passi += (v.unita - v.minimo) / (50 * passo);
            if (passi < menoPassi) menoPassi = passi, scelta = migliore_;
        }
        if (menoPassi == INT64_MAX) return false;
        migliore_ = scelta;
        return true;
    }

    // The first set in steps of `passo` hundredths that gives the shares back, left in the measures.
    bool Tonde(std::int64_t passo)
    {
        const Voce& guida = *std::ranges::max_element(misure_, {}, &Voce::lo);
        const double f = libere_;
        auto mezzo = [](const Voce& v) { return (v.lo + v.hi) / 2; };
        // The unit weight nearest `u` whose duration is a whole number of steps: 50 a hundredth.
        const std::int64_t unitaPasso = 50 * passo;
        auto tonda = [unitaPasso](double u, std::int64_t minimo) {
            return minimo + unitaPasso * std::max<std::int64_t>(0, std::llround((u - static_cast<double>(minimo)) / static_cast<double>(unitaPasso)));
        };
        for (std::int64_t centesimi = passo; centesimi <= kCentesimiMassimi; centesimi += passo) {
            const double totale = static_cast<double>((guida.minimo + 50 * centesimi) * guida.molt) * f / mezzo(guida);
            double resto = totale;
            for (Voce& v : misure_) {
                v.unita = tonda(mezzo(v) * totale / f / static_cast<double>(v.molt), v.minimo);
                resto -= static_cast<double>(v.unita * v.molt);
            }
            for (Voce& v : semplici_) v.unita = tonda(resto / operazioniSemplici_, v.minimo);
            if (Verifica()) return true;
        }
        return false;
    }

    // Durations of any precision: every total weight up to kPesoPiccolo, each measure taking the
    // smallest weight its share allows and the rest going where it still fits.
    bool PesiPiccoli()
    {
        std::int64_t minimoSemplici = 0;
        for (const Voce& v : semplici_) minimoSemplici += v.minimo * v.molt;
        const double f = libere_;
        for (std::int64_t totale = 1; totale <= kPesoPiccolo; ++totale) {
            std::int64_t somma = 0, spazio = 0;
            bool entro = true;
            for (Voce& v : misure_) {
                const double w = static_cast<double>(totale) / f;
                v.unita = std::max(v.minimo, static_cast<std::int64_t>(std::ceil(v.lo * w / static_cast<double>(v.molt))));
                const auto massimo = static_cast<std::int64_t>(std::ceil(v.hi * w / static_cast<double>(v.molt))) - 1;
                entro = entro && v.unita <= massimo && v.unita <= kUnitaMassima;
                somma += v.unita * v.molt;
                spazio += (massimo - v.unita) * v.molt;
            }
            if (!entro) continue;
            std::int64_t resto = totale - somma;
            if (semplici_.empty() ? resto < 0 || resto > spazio : resto < minimoSemplici) continue;
            if (semplici_.empty()) Distribuisci(resto, static_cast<double>(totale) / f);
            else resto = DaiASemplici(resto);
            if (resto == 0 && Verifica()) return true;
            if (verifiche_ >= kVerificheMassime) break;
        }
        return false;
    }

    // Raises the measures' weights inside their shares by `resto` in all, largest steps first.
    void Distribuisci(std::int64_t& resto, double w)
    {
        std::vector<Voce*> ordine;
        for (Voce& v : misure_) ordine.push_back(&v);
        std::ranges::sort(ordine, [](const Voce* a, const Voce* b) { return a->molt > b->molt; });
        for (Voce* v : ordine) {
            const auto massimo = static_cast<std::int64_t>(std::ceil(v->hi * w / static_cast<double>(v->molt))) - 1;
            const std::int64_t passi = std::min(massimo - v->unita, resto / v->molt);
            v->unita += passi, resto -= passi * v->molt;
        }
    }

    // The simplex measures share `resto`: the smallest weight each, the rest to the first. What does
    // not divide is left over.
    std::int64_t DaiASemplici(std::int64_t resto)
    {
        for (Voce& v : semplici_) v.unita = v.minimo, resto -= v.minimo * v.molt;
        Voce& primo = semplici_.front();
        primo.unita += resto / primo.molt;
        return resto % primo.molt;
    }

    // Long durations: each measure's share placed at the same point of its range, at scales down
    // from the largest whose weights a duration still gives back.
    void Scale()
    {
        double somma = 0, larghezza = 0;
        for (const Voce& v : misure_) somma += v.lo, larghezza += v.hi - v.lo;
        const double f = libere_;
        const double t = semplici_.empty() ? std::clamp((f - somma) / larghezza, 0.02, 0.98) : 0.5;
        const double restoSemplici = std::max(f - somma - t * larghezza, 0.5);
        // Each weight at scale 1; the simplex measures share what the others leave.
        std::vector<std::pair<Voce*, double>> pesi;
        for (Voce& v : misure_) pesi.emplace_back(&v, (v.lo + t * (v.hi - v.lo)) / static_cast<double>(v.molt));
        for (Voce& v : semplici_) pesi.emplace_back(&v, restoSemplici / operazioniSemplici_);
        double scala = 1e300;
        for (const auto& [v, u] : pesi) scala = std::min(scala, kUnitaMassima / u);
        // Until every weight is at its least.
        for (;; scala /= kPassoScala) {
            bool sopra = false;
            for (const auto& [v, u] : pesi) {
                v->unita = std::max<std::int64_t>(v->minimo, std::llround(u * scala));
                sopra = sopra || v->unita > v->minimo;
            }
            if (Verifica() || !sopra || verifiche_ >= kVerificheMassime) return;
        }
    }

    void Imposta()
    {
        for (auto* voci : {&misure_, &semplici_})
            for (const Voce& v : *voci)
                p_.SetDurataCurve(v.m, static_cast<float>(static_cast<double>(v.unita - v.minimo) / 5000.0));
    }

    // The candidate through the address computation itself: true when it gives every value back.
    bool Verifica()
    {
        ++verifiche_;
        Imposta();
        const auto ind = CalcolaIndirizzi(p_, s_);
        if (!ind) return false;
        std::int64_t d = 0;
        for (std::size_t i = 0; i < 6; ++i) {
            if (p_.TipoMisura(static_cast<int>(i + 1)) == 0) continue;
            d = std::max({d, std::abs(std::int64_t{ind->baseCurve[i]} - lette_[i].base),
                          std::abs(std::int64_t{ind->dimensioneCurva[i]} - lette_[i].dimensione)});
        }
        if (d <= scarto_) {
            scarto_ = d;
            for (auto* voci : {&misure_, &semplici_})
                for (const Voce& v : *voci) migliore_[static_cast<std::size_t>(v.m - 1)] = v.unita;
        }
        return d == 0;
    }

    ProfiloZem& p_;
    const DatiStrumento& s_;
    const std::array<QuotaCurve, 6>& lette_;
    std::uint32_t libere_ = 0;
    std::vector<Voce> misure_;    // types 1, 2 and 4
    std::vector<Voce> semplici_;  // type 3: a fixed size, but a weight in the others' shares
    double operazioniSemplici_ = 0;  // the simplex measures' weight multipliers added up
    std::int64_t scarto_ = INT64_MAX;
    int verifiche_ = 0;
    std::array<std::int64_t, 6> migliore_{};
};

} // namespace

DurateRicostruite RicostruisciDurate(ProfiloZem& profilo, const DatiStrumento& strumento,
                                     const std::array<QuotaCurve, 6>& lette)
{
    return Ricerca(profilo, strumento, lette).Esegui();
}

} // namespace zem
