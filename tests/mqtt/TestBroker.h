#pragma once
// A subscriber to the test's broker and a store kept in memory.
#include "record/PieceStore.h"

#include <gtest/gtest.h>
#include <mosquitto.h>

#include <functional>
#include <set>

namespace zem::test {

class Subscriber {
public:
    explicit Subscriber(int port) : mosq_(mosquitto_new(nullptr, true, this))
    {
        mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
            static_cast<Subscriber*>(self)->got.push_back({m->topic, {static_cast<const char*>(m->payload), std::size_t(m->payloadlen)}});
        });
        EXPECT_EQ(mosquitto_connect(mosq_, "127.0.0.1", port, 30), MOSQ_ERR_SUCCESS);
        mosquitto_subscribe(mosq_, nullptr, "zemsetup/#", 1);
    }
    ~Subscriber() { mosquitto_destroy(mosq_); }
    // Runs `pump` and the subscriber until `done`, 10 s at most.
    bool WaitFor(const std::function<bool()>& done, const std::function<void()>& pump = [] {})
    {
        for (int i = 0; i < 1000 && !done(); ++i, mosquitto_loop(mosq_, 10, 1)) pump();
        return done();
    }
    // The payloads received on topics that end with `leaf`, in their order.
    std::vector<std::string> On(const std::string& leaf) const
    {
        std::vector<std::string> payloads;
        for (const auto& [topic, payload] : got)
            if (topic.ends_with(leaf)) payloads.push_back(payload);
        return payloads;
    }
    std::vector<std::pair<std::string, std::string>> got;

private:
    mosquitto* mosq_;
};

struct MemoryStore final : PieceStore {
    bool Add(const PieceRecord& p, bool& added) override { return pieces.push_back({std::int64_t(pieces.size()) + 1, p}), added = true; }
    std::optional<std::int64_t> LastCounter(const std::string&, int) override { return std::nullopt; }
    bool ForEach(const PieceFilter&, const std::function<bool(const PieceRecord&)>&) override { return true; }
    std::vector<Outgoing> Unpublished(std::size_t most) override
    {
        std::vector<Outgoing> out;
        for (const auto& p : pieces)
            if (!published.count(p.id) && out.size() < most) out.push_back(p);
        return out;
    }
    bool MarkPublished(std::int64_t id) override { return published.insert(id).second; }   // twice is a fault
    std::string Error() const override { return "marked twice"; }
    std::vector<Outgoing> pieces;
    std::set<std::int64_t> published;
};

} // namespace zem::test
