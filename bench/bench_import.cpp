// Reading an instrument's configuration back into a profile, as "Import profile from instrument..."
// and `zemcli read` do:
//
//   BM_ImportThroughBridge/mailbox  the simulated USB bridge with the 1.25 Mbaud wire and a 1 ms
//                                   latency, on simulated time, configuration in PRAM (0) or behind
//                                   the mailbox (1): exchanges from the opening to the closing and
//                                   the simulated seconds they take.
//   BM_DurateCurve/memory           working the curve durations out of the shares of a six-measure
//                                   profile (durations typed to 0.05 s) on the simulated memory (0)
//                                   and on a 16 MB one (1): CPU time per recovery.

#include "main/DurateCurve.h"
#include "main/ImmagineMemoria.h"
#include "main/ImportaProfilo.h"
#include "profile/ProfiloZem.h"
#include "sim/BenchInstrument.h"
#include "ui/ScriptedHost.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zem;

ProfiloZem SeiMisure()
{
    ProfiloZem p;
    p.Nome = "BENCH";
    const struct {
        int tipo, operazioni;
        bool fasi;
        float durata;
    } misure[] = {{1, 8, false, 1.25f}, {1, 1, false, 0.4f}, {2, 3, true, 2.05f}, {3, 4, true, 0.6f}, {4, 2, true, 3.5f}, {2, 1, false, 0.15f}};
    for (int m = 1; m <= 6; ++m) {
        const auto& x = misure[m - 1];
        p.SetNomeMisura(m, "MEASURE " + std::to_string(m));
        p.SetTipoMisura(m, static_cast<std::int16_t>(x.tipo));
        p.SetOperazioniSelezionabili(m, static_cast<std::int16_t>(x.operazioni));
        p.SetConFasi(m, x.fasi);
        p.SetDurataCurve(m, x.durata);
        p.SetTrasduttoreX(m, x.tipo == 1 || x.tipo == 4 ? 1 : 0);
        p.SetTrasduttoreY(m, x.tipo == 1 || x.tipo == 4 ? 3 : 2);
    }
    return p;
}

void BM_ImportThroughBridge(benchmark::State& state)
{
    double seconds = 0, exchanges = 0;
    for (auto _ : state) {
        sim::SimulatedPlatform platform;
        sim::BenchInstrument bench(platform, state.range(0) != 0);
        platform.bridge.SetCallDuration(1e-6);
        platform.bridge.SetWireTiming({.enabled = true, .latencySeconds = 1e-3});
        DatiStrumento dati;
        dati.dimensioneMemoria = 0x7F000;
        dati.configurazioneInPRAM = state.range(0) == 0;
        const auto immagine = ImmagineMemoria::Costruisci(SeiMisure(), dati, false);
        if (!immagine) {
            state.SkipWithError("no image");
            return;
        }
        for (const ScritturaImmagine& s : immagine->scritture) bench.memory.Configurazione()[s.indirizzo] = s.valore;
        ui::ScriptedHost host;
        const std::uint64_t prima = bench.instrument.FramesExecuted();
        const double t0 = platform.clock.Monotonic();
        const auto esito = ImportaProfilo(host, platform.Platform()).Run(ProfiloZem{}, bench.UsbKey());
        seconds = platform.clock.Monotonic() - t0;
        exchanges = static_cast<double>(bench.instrument.FramesExecuted() - prima);
        if (!esito.profilo) {
            state.SkipWithError(("the import failed: " + esito.errore).c_str());
            return;
        }
    }
    state.counters["exchanges"] = exchanges;
    state.counters["sim_s"] = seconds;
}
BENCHMARK(BM_ImportThroughBridge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_DurateCurve(benchmark::State& state)
{
    const ProfiloZem originale = SeiMisure();
    DatiStrumento dati;
    dati.dimensioneMemoria = state.range(0) != 0 ? 0xFFFFFF : 0x7F000;
    const auto ind = CalcolaIndirizzi(originale, dati);
    if (!ind) {
        state.SkipWithError("no addresses");
        return;
    }
    std::array<QuotaCurve, 6> lette{};
    for (std::size_t i = 0; i < 6; ++i) lette[i] = {ind->baseCurve[i], ind->dimensioneCurva[i]};
    bool esatte = false;
    for (auto _ : state) {
        ProfiloZem p = originale;
        esatte = RicostruisciDurate(p, dati, lette).esatte;
        benchmark::DoNotOptimize(p);
    }
    state.counters["exact"] = esatte;
}
BENCHMARK(BM_DurateCurve)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
