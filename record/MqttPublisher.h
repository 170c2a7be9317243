#pragma once

#include "link/Clock.h"
#include "record/MqttOptions.h"
#include "record/MqttSession.h"
#include "record/PieceStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zem {

// Hands the store's outbox to the plant's broker: each piece as JSON on
// PREFIX/<instrument>/<measure>/piece (QoS 1), the latest one per measure kept by the broker on
// .../last, and each instrument's "online"/"offline" on PREFIX/<instrument>/status. A piece counts as
// published only once the broker acknowledged it; until then it stays in the outbox, so a broker that
// is down or goes away costs the recording nothing, and its pieces go out in their order once it is
// back. A piece whose acknowledgement was lost with the connection goes out again: readers keep the
// first of the same instrument, measure and counter.
class MqttPublisher {
public:
    MqttPublisher(PieceStore& store, Clock& clock, MqttOptions options, const std::vector<std::string>& instruments);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // The recorder's pump calls it often; it never waits.
    void Tick();
    // The recorder's sink: a piece went into the store's outbox.
    void Stored(const PieceRecord& piece);
    // Waits a bounded time for what is in flight, then says "offline" and leaves.
    void Close();

    std::int64_t Published() const { return published_; }
    bool Connected() const;
    // The last broker or store problem, empty while all is well.
    std::string Error() const;

    // The broker lost or found again, for the host to show; each change once.
    std::function<void(const std::string& text)> Notice;

private:
    struct InFlight {
        MqttSession* session;
        int mid;
    };
    MqttSession& SessionFor(const std::string& instrument);
    void Collect();
    void Send();
    void Tell();
    std::string Topic(const PieceRecord& piece, const char* leaf) const;

    PieceStore& store_;
    Clock& clock_;
    MqttOptions options_;
    std::map<std::string, std::unique_ptr<MqttSession>> sessions_;
    std::map<std::int64_t, InFlight> inFlight_;   // by the store's id
    std::int64_t published_ = 0;
    bool outboxSent_ = false;   // everything the outbox held is in flight or acknowledged
    std::string storeError_;
    std::string told_;
};

} // namespace zem
