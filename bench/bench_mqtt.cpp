// Pieces published per second to a mosquitto broker on 127.0.0.1 (started by the benchmark): each
// piece QoS 1 on .../piece and retained on .../last, counted once the broker acknowledged it and the
// store marked it. Batches of 100 pieces go into the outbox, then the publisher is pumped until all
// are acknowledged; the argument is the number of curve points a piece carries (0: results only).

#include "link/Clock.h"
#include "record/MqttPublisher.h"
#include "sim/LocalBroker.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

// The outbox alone, as cheap as a store can be, so the numbers are the publisher's and the broker's.
class OutboxOnly final : public zem::PieceStore {
public:
    bool Add(const zem::PieceRecord& p, bool& added) override { return outbox_.emplace(++last_, p), added = true; }
    std::optional<std::int64_t> LastCounter(const std::string&, int) override { return std::nullopt; }
    bool ForEach(const zem::PieceFilter&, const std::function<bool(const zem::PieceRecord&)>&) override { return true; }
    std::vector<Outgoing> Unpublished(std::size_t most) override
    {
        std::vector<Outgoing> out;
        for (auto it = outbox_.begin(); it != outbox_.end() && out.size() < most; ++it) out.push_back({it->first, it->second});
        return out;
    }
    bool MarkPublished(std::int64_t id) override { return outbox_.erase(id) == 1; }
    std::string Error() const override { return {}; }

private:
    std::map<std::int64_t, zem::PieceRecord> outbox_;
    std::int64_t last_ = 0;
};

void BM_PublishPieces(benchmark::State& state)
{
    zem::sim::LocalBroker broker;
    if (!zem::sim::LocalBroker::Installed() || !broker.Start()) {
        state.SkipWithError("no mosquitto broker");
        return;
    }
    zem::SystemClock clock;
    OutboxOnly store;
    auto options = *zem::MqttOptions::FromTarget("127.0.0.1:" + std::to_string(broker.Port()));
    zem::MqttPublisher publisher(store, clock, options, {"USB: MR4A1001"});
    zem::PieceRecord piece{"USB: MR4A1001", "PRESS", 1, 1, 0, 1796716960000, "W1", 1, "good", 0, 0,
                           {{"Peak force", 12.5, 10.0, 15.0, "kN"}, {"Peak position", 30.25, 29.0, 31.0, "mm"}}, {}};
    for (int i = 0; i < state.range(0); ++i) piece.curve.push_back({i * 0.1f, i * 0.037f});
    while (!publisher.Connected()) publisher.Tick();
    constexpr int kBatch = 100;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            ++piece.counter;
            bool added;
            store.Add(piece, added);
        }
        while (publisher.Published() < piece.counter) publisher.Tick();
    }
    state.counters["pieces/s"] = benchmark::Counter(static_cast<double>(piece.counter), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PublishPieces)->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
