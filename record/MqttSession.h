#pragma once

#include "link/Clock.h"
#include "record/HostLookup.h"
#include "record/MqttOptions.h"

#include <optional>
#include <string>
#include <vector>

struct mosquitto;

namespace zem {

// One connection to the broker on behalf of one instrument: its status topic says "online" while it
// is up and the broker's last will says "offline" when it goes away. It never waits: Pump() does
// what the socket allows now and reconnects, with a back-off on the injected clock, when it is due;
// the broker's name is looked up anew for each attempt, away from the caller.
// A dropped connection is thrown away whole, with the messages still in it, so the owner publishes
// them again in their order on the next one.
class MqttSession {
public:
    MqttSession(const MqttOptions& options, std::string clientId, std::string statusTopic, Clock& clock);
    ~MqttSession();
    MqttSession(const MqttSession&) = delete;
    MqttSession& operator=(const MqttSession&) = delete;

    // `waitMs` 0 for the recorder's pump; closing waits a bounded time for the last acknowledgements.
    void Pump(int waitMs = 0);
    bool Ready() const { return connected_; }
    // QoS 1; the message id, nothing when there is no connection to take it.
    std::optional<int> Publish(const std::string& topic, const std::string& payload, bool retain);
    // The ids the broker acknowledged since the last call.
    std::vector<int> TakeAcknowledged();
    // True once after each lost connection: what was in flight on it will never be acknowledged.
    bool TakeDropped();
    // Says "offline" itself (a clean disconnect sends no will) and leaves.
    void Close();
    const std::string& Error() const { return error_; }

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnPublish(mosquitto*, void* self, int mid);
    void Start();
    void Drop(const std::string& why);
    bool Due();

    MqttOptions options_;
    std::string clientId_, statusTopic_;
    Clock& clock_;
    std::optional<HostLookup> lookup_;  // of the attempt under way, until its connection starts
    mosquitto* mosq_ = nullptr;
    bool connected_ = false, lost_ = false, dropped_ = false;
    std::string lostWhy_, error_;
    std::vector<int> acknowledged_;
    double since_ = 0;        // when the last attempt or its connection started, or the last connection dropped
    double retryDelay_ = 0;   // none before the first attempt
};

} // namespace zem
