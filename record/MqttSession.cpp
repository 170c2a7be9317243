#include "record/MqttSession.h"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

namespace zem {

namespace {

constexpr double kFirstRetrySeconds = 0.5;
constexpr double kLongestRetrySeconds = 30.0;
// A broker that takes the connection but never answers it is treated as one that is down, and so
// is one whose name is not found in that time.
constexpr double kConnectAnswerSeconds = 10.0;
constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";

std::string Why(int rc)
{
    return rc == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : std::string(mosquitto_strerror(rc));
}

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

} // namespace

MqttSession::MqttSession(const MqttOptions& options, std::string clientId, std::string statusTopic, Clock& clock)
    : options_(options), clientId_(std::move(clientId)), statusTopic_(std::move(statusTopic)), clock_(clock)
{
    InitLibrary();
}

MqttSession::~MqttSession()
{
    if (mosq_) mosquitto_destroy(mosq_);
}

bool MqttSession::Due() { return SecondiTrascorsi(since_, clock_.Timer()) >= retryDelay_; }

// Looks the broker up first and connects once its address is known: the library would look the
// name up itself, and wait for the name server.
void MqttSession::Start()
{
    if (!lookup_) {
        lookup_.emplace(options_.host);
        since_ = clock_.Timer();
    }
    if (!lookup_->Done()) {
        if (SecondiTrascorsi(since_, clock_.Timer()) > kConnectAnswerSeconds) Drop("no answer from the name server");
        return;
    }
    const std::string address = lookup_->Address();
    const std::string error = lookup_->Error();
    lookup_.reset();
    if (address.empty()) return Drop(error);
    since_ = clock_.Timer();
    mosq_ = mosquitto_new(clientId_.c_str(), true, this);
    if (!mosq_) return Drop(Why(MOSQ_ERR_ERRNO));
    mosquitto_connect_callback_set(mosq_, &MqttSession::OnConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttSession::OnDisconnect);
    mosquitto_publish_callback_set(mosq_, &MqttSession::OnPublish);
    mosquitto_will_set(mosq_, statusTopic_.c_str(), sizeof kOffline - 1, kOffline, 1, true);
    const int rc = mosquitto_connect_async(mosq_, address.c_str(), options_.port, options_.keepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) Drop(Why(rc));
}

void MqttSession::Drop(const std::string& why)
{
    if (mosq_) mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    lookup_.reset();
    connected_ = lost_ = false;
    dropped_ = true;
    error_ = "MQTT broker " + options_.host + ":" + std::to_string(options_.port) + ": " + why;
    since_ = clock_.Timer();
    retryDelay_ = std::clamp(retryDelay_ * 2, kFirstRetrySeconds, kLongestRetrySeconds);
}

void MqttSession::Pump(int waitMs)
{
    if (!mosq_) {
        if (!lookup_ && !Due()) return;
        Start();
        if (!mosq_) return;
    }
    const int rc = mosquitto_loop(mosq_, waitMs, 1);
    if (lost_) return Drop(lostWhy_);
    if (rc != MOSQ_ERR_SUCCESS) return Drop(Why(rc));
    if (!connected_ && SecondiTrascorsi(since_, clock_.Timer()) > kConnectAnswerSeconds)
        Drop("no answer to the connection");
}

std::optional<int> MqttSession::Publish(const std::string& topic, const std::string& payload, bool retain)
{
    if (!connected_) return std::nullopt;
    int mid = 0;
    const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                                     1, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        error_ = "MQTT publish on " + topic + ": " + Why(rc);
        return std::nullopt;
    }
    return mid;
}

std::vector<int> MqttSession::TakeAcknowledged() { return std::exchange(acknowledged_, {}); }

bool MqttSession::TakeDropped() { return std::exchange(dropped_, false); }

void MqttSession::Close()
{
    if (connected_) {
        int mid = 0;
        mosquitto_publish(mosq_, &mid, statusTopic_.c_str(), sizeof kOffline - 1, kOffline, 1, true);
        // The will is not sent on a clean disconnect, so "offline" must reach the broker first.
        for (int i = 0; i < 20 && connected_ && !lost_ &&
                        std::find(acknowledged_.begin(), acknowledged_.end(), mid) == acknowledged_.end();
             ++i)
            if (mosquitto_loop(mosq_, 50, 1) != MOSQ_ERR_SUCCESS) break;
        mosquitto_disconnect(mosq_);
        mosquitto_loop(mosq_, 0, 1);
    }
    if (mosq_) mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    connected_ = false;
}

void MqttSession::OnConnect(mosquitto* mosq, void* self, int rc)
{
    auto& s = *static_cast<MqttSession*>(self);
    if (rc != 0) {
        s.lost_ = true;
        s.lostWhy_ = mosquitto_connack_string(rc);
        return;
    }
    s.connected_ = true;
    s.retryDelay_ = 0;
    s.error_.clear();
    mosquitto_publish(mosq, nullptr, s.statusTopic_.c_str(), sizeof kOnline - 1, kOnline, 1, true);
}

void MqttSession::OnDisconnect(mosquitto*, void* self, int rc)
{
    auto& s = *static_cast<MqttSession*>(self);
    s.lost_ = true;
    s.lostWhy_ = rc == 0 ? "disconnected" : "connection lost";
}

void MqttSession::OnPublish(mosquitto*, void* self, int mid) { static_cast<MqttSession*>(self)->acknowledged_.push_back(mid); }

} // namespace zem
