// Building the configuration image of a profile: the template "New" opens and a profile with all
// six measures in use, each with its works areas cleared, which is the longest image there is.
#include "main/ImmagineMemoria.h"
#include "profile/ProfiloZem.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

zem::DatiStrumento Strumento()
{
    zem::DatiStrumento d;
    d.dimensioneMemoria = 0x7F000;
    d.estensioni = 11;
    return d;
}

zem::ProfiloZem SeiMisure()
{
    zem::ProfiloZem p;
    p.Nome = "SEI MISURE";
    const struct {
        int tipo, operazioni;
        bool fasi;
    } misure[] = {{1, 8, false}, {1, 0, false}, {2, 3, false}, {3, 4, true}, {4, 2, true}, {2, 1, false}};
    for (int m = 1; m <= 6; ++m) {
        p.SetNomeMisura(m, "MISURA " + std::to_string(m));
        p.SetTipoMisura(m, static_cast<std::int16_t>(misure[m - 1].tipo));
        p.SetOperazioniSelezionabili(m, static_cast<std::int16_t>(misure[m - 1].operazioni));
        p.SetConFasi(m, misure[m - 1].fasi);
        p.SetDurataCurve(m, 0.5f * static_cast<float>(m));
        p.SetTrasduttoreX(m, 1);
        p.SetTrasduttoreY(m, 3);
        for (int k = 1; k <= 16; ++k) p.SetnInput(m, k, static_cast<std::int16_t>(k % 9));
        for (int k = 1; k <= 12; ++k) p.SetnOutput(m, k, static_cast<std::int16_t>(k % 9));
    }
    return p;
}

void Immagine(benchmark::State& state, const zem::ProfiloZem& profilo)
{
    std::size_t scritture = 0;
    for (auto _ : state) {
        const auto immagine = zem::ImmagineMemoria::Costruisci(profilo, Strumento(), false);
        if (!immagine) {
            state.SkipWithError("no image");
            break;
        }
        scritture = immagine->scritture.size();
        benchmark::DoNotOptimize(immagine->scritture.data());
    }
    state.counters["writes"] = static_cast<double>(scritture);
}

void BM_ImmagineTemplate(benchmark::State& state)
{
    zem::ProfiloZem profilo;
    if (!profilo.ApriFile(std::string(ZEM_BINARY_DIR) + "/Default.ZemP")) {
        state.SkipWithError("template not found");
        return;
    }
    Immagine(state, profilo);
}
BENCHMARK(BM_ImmagineTemplate)->Unit(benchmark::kMicrosecond);

void BM_ImmagineSeiMisure(benchmark::State& state)
{
    Immagine(state, SeiMisure());
}
BENCHMARK(BM_ImmagineSeiMisure)->Unit(benchmark::kMicrosecond);

void BM_CalcolaIndirizziSeiMisure(benchmark::State& state)
{
    const zem::ProfiloZem profilo = SeiMisure();
    for (auto _ : state) benchmark::DoNotOptimize(zem::CalcolaIndirizzi(profilo, Strumento()));
}
BENCHMARK(BM_CalcolaIndirizziSeiMisure)->Unit(benchmark::kMicrosecond);

} // namespace
