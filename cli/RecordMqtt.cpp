#include "cli/RecordMqtt.h"

#include <CLI/CLI.hpp>

namespace zem::cli {

void RecordMqtt::AddTo(CLI::App& command)
{
    command.add_option("--mqtt", target, "publish each piece to this MQTT broker (port 1883 if none)")
        ->type_name("HOST[:PORT]")
        ->check([](const std::string& t) {
            return MqttOptions::FromTarget(t) ? std::string() : "not HOST or HOST:PORT with a port from 1 to 65535";
        });
    command.add_option("--topic", topic, "the topic prefix of the published pieces (default \"zemsetup\")")
        ->type_name("PREFIX")
        ->check(TopicPrefixProblem);
}

std::unique_ptr<MqttPublisher> RecordMqtt::Start(PieceStore& store, Clock& clock, const std::vector<std::string>& keys) const
{
    if (!target) return nullptr;
    auto options = *MqttOptions::FromTarget(*target);
    options.topicPrefix = topic;
    return std::make_unique<MqttPublisher>(store, clock, options, keys);
}

} // namespace zem::cli
