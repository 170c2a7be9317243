#include "record/MqttPublisher.h"

#include "record/PieceJson.h"

#include <unistd.h>

#include <set>

namespace zem {

namespace {

// Pieces handed to the broker but not yet acknowledged; beyond it the outbox waits.
constexpr std::size_t kWindow = 100;

std::string RecorderId()
{
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return "zemsetup-" + std::string(host) + "-" + std::to_string(getpid());
}

} // namespace

MqttPublisher::MqttPublisher(PieceStore& store, Clock& clock, MqttOptions options,
                             const std::vector<std::string>& instruments)
    : store_(store), clock_(clock), options_(std::move(options))
{
    if (options_.clientId.empty()) options_.clientId = RecorderId();
    for (const auto& instrument : instruments) SessionFor(instrument);
}

MqttPublisher::~MqttPublisher() { Close(); }

MqttSession& MqttPublisher::SessionFor(const std::string& instrument)
{
    auto& session = sessions_[instrument];
    if (!session) {
        const auto id = options_.clientId + "-" + std::to_string(sessions_.size());
        session = std::make_unique<MqttSession>(options_, id, options_.topicPrefix + "/" + TopicLevel(instrument) + "/status",
                                                clock_);
    }
    return *session;
}

std::string MqttPublisher::Topic(const PieceRecord& piece, const char* leaf) const
{
    return options_.topicPrefix + "/" + TopicLevel(piece.instrument) + "/" + std::to_string(piece.measure) + "/" + leaf;
}

void MqttPublisher::Tick()
{
    for (auto& [instrument, session] : sessions_) session->Pump();
    Collect();
    Send();
    Tell();
}

void MqttPublisher::Tell()
{
    auto state = Error();
    if (state.empty() && Connected())
        state = "publishing to the MQTT broker " + options_.host + ":" + std::to_string(options_.port);
    if (state != told_ && !state.empty() && Notice) Notice(state);
    told_ = state;
}

void MqttPublisher::Collect()
{
    for (auto& [instrument, session] : sessions_) {
        const auto acknowledged = session->TakeAcknowledged();
        const std::set<int> acked(acknowledged.begin(), acknowledged.end());
        const bool dropped = session->TakeDropped();
        if (dropped) outboxSent_ = false;
        for (auto it = inFlight_.begin(); it != inFlight_.end();) {
            if (it->second.session != session.get()) {
                ++it;
            } else if (acked.count(it->second.mid)) {
                if (store_.MarkPublished(it->first)) {
                    ++published_;
                    storeError_.clear();
                } else {
                    storeError_ = store_.Error();
                }
                it = inFlight_.erase(it);
            } else if (dropped) {
                // Never to be acknowledged: it goes out again, in its place, on the next connection.
                it = inFlight_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void MqttPublisher::Stored(const PieceRecord&)
{
    outboxSent_ = false;
    Tick();
}

void MqttPublisher::Send()
{
    // Refilled at half the window, so one read of the outbox sends at least half a window.
    if (outboxSent_ || inFlight_.size() > kWindow / 2 || !Connected()) return;
    // In flight pieces are still in the outbox, oldest first; read past them.
    const std::size_t most = inFlight_.size() + kWindow;
    const auto outbox = store_.Unpublished(most);
    // An instrument whose piece could not go stays behind it, so its pieces keep their order.
    std::set<std::string> held;
    for (const auto& out : outbox) {
        if (inFlight_.size() >= kWindow) return;
        if (inFlight_.count(out.id) || held.count(out.piece.instrument)) continue;
        auto& session = SessionFor(out.piece.instrument);
        const auto payload = PieceJson(out.piece, options_.withCurves).dump();
        const auto mid = session.Publish(Topic(out.piece, "piece"), payload, false);
        if (!mid) {
            held.insert(out.piece.instrument);
            continue;
        }
        inFlight_[out.id] = {&session, *mid};
        session.Publish(Topic(out.piece, "last"), payload, true);
    }
    // All of the outbox is out: no need to read it again until a piece is stored or a connection drops.
    outboxSent_ = held.empty() && outbox.size() < most;
}

void MqttPublisher::Close()
{
    // Bounded: a broker that stopped answering leaves the rest in the outbox for the next run.
    for (int i = 0; i < 20 && !inFlight_.empty() && Connected(); ++i) {
        for (auto& [instrument, session] : sessions_)
            if (session->Ready()) session->Pump(50);
        Collect();
    }
    for (auto& [instrument, session] : sessions_) session->Close();
    inFlight_.clear();
}

bool MqttPublisher::Connected() const
{
    for (const auto& [instrument, session] : sessions_)
        if (session->Ready()) return true;
    return false;
}

std::string MqttPublisher::Error() const
{
    if (!storeError_.empty()) return storeError_;
    for (const auto& [instrument, session] : sessions_)
        if (!session->Error().empty()) return session->Error();
    return {};
}

} // namespace zem
