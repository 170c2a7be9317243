#include "sim/SimulatedStrokes.h"

#include "link/RecordLavoro.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zem::sim {

namespace {

using P = SimulatedPress;

// The work in instrument integers: borders as (position, force), the check point as position,
// minimum and maximum force.
constexpr std::array<std::array<std::int32_t, 2>, 3> kBordoSuperiore{{{24000, 400}, {27000, 1800}, {30000, 3400}}};
constexpr std::array<std::array<std::int32_t, 2>, 3> kBordoInferiore{{{25000, 0}, {28000, 1000}, {30000, 2600}}};
constexpr std::array<std::int32_t, 3> kCheckPoint{28500, 1700, 2600};
constexpr double kRaw = 100.0;  // two decimals, gain 1
constexpr double kInizioCurva = 0.6;  // the curve is kept from this share of the way down

// The border's force at x, or nothing where the border does not reach.
template <std::size_t N>
std::optional<double> Bordo(const std::array<std::array<std::int32_t, 2>, N>& b, std::int32_t x)
{
    for (std::size_t i = 1; i < N; ++i)
        if (x >= b[i - 1][0] && x <= b[i][0])
            return b[i - 1][1] + double(b[i][1] - b[i - 1][1]) * (x - b[i - 1][0]) / (b[i][0] - b[i - 1][0]);
    return std::nullopt;
}

void Parola(std::vector<std::uint8_t>& b, std::size_t at, int v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace

SimulatedStrokes::SimulatedStrokes(SimulatedPress& press, SimulatedCurves& curves, SimulatedAcquisition& acquisition,
                                   SimulatedMemory& memory, SimulatedWorks& works)
    : press_(press), curves_(curves), acquisition_(acquisition), memory_(memory), works_(works)
{
}

FaseLavoro SimulatedStrokes::Lavoro()
{
    FaseLavoro f;
    f.NomeFase = "PRESS FIT";
    f.Flags = FaseLavoro::kAbilitata;
    for (const auto& p : kBordoSuperiore) f.BordoSuperiore.push_back({float(p[1] / kRaw), float(p[0] / kRaw)});
    for (const auto& p : kBordoInferiore) f.BordoInferiore.push_back({float(p[1] / kRaw), float(p[0] / kRaw)});
    f.CheckPoints.assign(6, CheckPoint{});
    f.CheckPoints[1] = {float(kCheckPoint[0] / kRaw), float(kCheckPoint[1] / kRaw), float(kCheckPoint[2] / kRaw)};
    return f;
}

bool SimulatedStrokes::Avvia()
{
    misure_.clear();
    for (int m = 1; m <= static_cast<int>(acquisition_.misure.size()); ++m)
        if (PreparaLavoro(m)) misure_.push_back(m);
        else if (m == 1) return false;
    acquisition_.primaDelloStato = [this] { Aggiorna(); };
    const long ciclo = static_cast<long>(std::floor(press_.Ora() / P::kCiclo));
    primo_ = press_.Ora() - ciclo * P::kCiclo <= P::kInizioDiscesa ? ciclo : ciclo + 1;
    return true;
}

// False when the measure is no press force-position measure or its work does not fit.
bool SimulatedStrokes::PreparaLavoro(int misura)
{
    auto& c = memory_.Configurazione();
    const std::size_t h = 22 + 2 * static_cast<std::size_t>(misura - 1);
    const std::uint32_t r = c.size() > h + 1 ? std::uint32_t(c[h] | (c[h + 1] << 8)) : 0;
    const std::uint32_t lavori = kIndirizzoLavori + kDimensioneLavoro * static_cast<std::uint32_t>(misura - 1);
    if (r == 0 || r + 10 > c.size() || c[r + 2] != 1 || lavori + kDimensioneLavoro > c.size()) return false;
    // The measure record says where its one work lies.
    c[r + 5] = static_cast<std::uint8_t>(lavori);
    c[r + 6] = static_cast<std::uint8_t>(lavori >> 8);
    c[r + 7] = static_cast<std::uint8_t>(kDimensioneLavoro);
    c[r + 8] = static_cast<std::uint8_t>(kDimensioneLavoro >> 8);
    c[r + 9] = 1;

    const FormatoRecord formato{1, 2, memory_.Opzioni().estensioni, 15, kDimensioneLavoro};
    FaseLavoro fase = Lavoro();
    ScalaMisura scala;
    scala.decimaliForza = scala.decimaliQuota = 2;
    auto record = RecordLavoro::Ricostruito(formato, fase);
    const auto campi = RecordLavoro::Campi(formato, RecordLavoro::OffsetRicostruzione(1, 2), "PRESS FIT", fase, scala);
    if (!record || !campi) return false;
    RecordLavoro::Applica(*record, *campi);
    std::copy(record->begin(), record->end(), c.begin() + lavori);
    works_.SetOperazioneCorrente(misura, 1);
    return true;
}

void SimulatedStrokes::Aggiorna()
{
    const double ora = press_.Ora();
    const long ciclo = static_cast<long>(std::floor(ora / P::kCiclo));
    const double t = ora - ciclo * P::kCiclo;
    const bool inLavoro = ciclo >= *primo_ && t >= P::kInizioDiscesa && t < P::kInizioRisalita;
    // The last stroke whose ram has started back up.
    const long completo = t >= P::kInizioRisalita ? ciclo : ciclo - 1;
    if (completo >= *primo_ && completo > ultimo_) {
        ultimo_ = completo;
        const int pezzo = pezzi_++;
        for (const int m : misure_) Completa(m, completo, pezzo);
    }
    for (const int m : misure_) {
        SimulatedAcquisition::Misura& stato = acquisition_.misure[static_cast<std::size_t>(m - 1)];
        stato.pezzoInLavorazione = inLavoro;
        stato.risultatiPronti = !inLavoro && ultimo_ >= 0;
    }
}

// The instrument keeps only the last piece: its curve, and its results in the results block.
void SimulatedStrokes::Completa(int misura, long ciclo, int pezzo)
{
    const bool duro = scartoOgni > 0 && pezzo % scartoOgni == scartoOgni - 1;
    // Each piece differs a little from the last, the same way on every run.
    const double picco = (duro ? kPiccoScarto : kPiccoBuono) + 40.0 * ((ciclo * 7) % 5 - 2) + kPassoMisura * (misura - 1);
    std::vector<SimulatedCurves::Point> punti;
    std::uint16_t cause = 0;
    std::int16_t forzaPicco = 0, forzaCheckPoint = 0;
    std::int32_t quotaPicco = 0;
    for (int i = 0; i < kPunti; ++i) {
        const double p = kInizioCurva + (1.0 - kInizioCurva) * i / (kPunti - 1);
        const auto x = static_cast<std::int32_t>(std::lround(p * kCorsa));
        const double rumore = 6.0 * std::sin(i * 1.7 + ciclo);
        const auto y = static_cast<std::int16_t>(std::lround(P::ForzaAllaPosizione(p) * picco + rumore));
        punti.push_back({x, y});
        if (y > forzaPicco) {
            forzaPicco = y;
            quotaPicco = x;
        }
        if (std::abs(x - kCheckPoint[0]) <= (1.0 - kInizioCurva) * kCorsa / (2 * (kPunti - 1))) forzaCheckPoint = y;
        if (const auto sopra = Bordo(kBordoSuperiore, x); sopra && y > *sopra) cause |= kSopraFascia;
        if (const auto sotto = Bordo(kBordoInferiore, x); sotto && y < *sotto) cause |= kSottoFascia;
    }
    curves_.SetCurve(misura, std::move(punti));

    std::vector<std::uint8_t> blocco(32, 0);
    blocco[2] = cause == 0 ? 1 : 2;
    Parola(blocco, 5, cause);
    Parola(blocco, 7, forzaPicco);
    Parola(blocco, 9, quotaPicco);
    Parola(blocco, 13, forzaCheckPoint);
    const bool fuori = forzaCheckPoint < kCheckPoint[1] || forzaCheckPoint > kCheckPoint[2];
    Parola(blocco, 29, fuori ? 1 : 0);
    acquisition_.ScriviRisultati(misura, blocco);
    // Flagged until the host says it has processed the curve.
    acquisition_.curveDaTrattare = static_cast<std::uint8_t>(acquisition_.curveDaTrattare | 1u << (misura - 1));
}

} // namespace zem::sim
