// The production-data store and its statistics:
//
//   BM_Stats            the statistics of 1,000,000 pieces of one measure (three result values each,
//                       no curves) from the SQLite file, both passes: wall time per run (target < 1 s).
//                       The file is filled once and kept in the build folder for later runs.
//   BM_AddWithCurve     pieces stored one transaction each, with three results and a 500-point curve,
//                       at synchronous=NORMAL in WAL mode: pieces per second (the recorder needs 40,
//                       four instruments at 10 strokes a second).

#include "record/SqlitePieceStore.h"
#include "record/Statistics.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace zem;

constexpr std::int64_t kPieces = 1'000'000;

PieceRecord Piece(std::int64_t counter, int points)
{
    PieceRecord p{.instrument = "USB: MR4A1001", .instrumentName = "LINE 1 PRESS", .measure = 1, .measureType = 1,
                  .counter = counter, .timeUtcMs = 1'796'000'000'000 + counter * 100, .work = "BUSH", .workNumber = 1,
                  .verdict = counter % 50 == 0 ? "rejected" : "good"};
    const double wave = static_cast<double>((counter * 7919) % 1000) / 1000;
    p.results = {{"Peak force", 30 + wave, 28.0, 32.0, "kN", 2},
                 {"Peak position", 300 - wave, 298.0, 302.0, "mm", 2},
                 {"Check point 1 force", 12 + wave / 2, 11.0, std::nullopt, "kN", 2}};
    for (int i = 0; i < points; ++i) p.curve.push_back({0.6f * static_cast<float>(i), 0.06f * static_cast<float>(i)});
    return p;
}

std::unique_ptr<SqlitePieceStore> Filled(benchmark::State& state)
{
    const std::string file = std::string(ZEM_BINARY_DIR) + "/bench-stats-1M-packed.db";
    std::string error;
    auto store = SqlitePieceStore::Open(file, error);
    if (!store) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    bool added = false;
    for (std::int64_t c = store->LastCounter("USB: MR4A1001", 1).value_or(0) + 1; c <= kPieces; ++c)
        if (!store->Add(Piece(c, 0), added)) {
            state.SkipWithError(store->Error().c_str());
            return nullptr;
        }
    return store;
}

void BM_Stats(benchmark::State& state)
{
    const auto store = Filled(state);
    if (!store) return;
    std::int64_t pieces = 0;
    for (auto _ : state) {
        const auto all = Statistics::Compute(*store, {.measure = 1});
        if (!all || all->empty()) {
            state.SkipWithError("no statistics");
            return;
        }
        pieces = all->front().pieces;
        benchmark::DoNotOptimize(all);
    }
    state.counters["pieces"] = static_cast<double>(pieces);
}
BENCHMARK(BM_Stats)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_AddWithCurve(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zem-bench-add-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string error;
    auto store = SqlitePieceStore::Open((folder / "pieces.db").string(), error);
    if (!store) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::int64_t counter = 0;
    bool added = false;
    for (auto _ : state)
        if (!store->Add(Piece(++counter, 500), added)) state.SkipWithError(store->Error().c_str());
    state.SetItemsProcessed(counter);
    store.reset();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_AddWithCurve)->UseRealTime()->MinTime(2.0);

} // namespace
