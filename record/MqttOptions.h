#pragma once

#include <optional>
#include <string>

namespace zem {

// Where and how pieces are handed to the plant's broker.
struct MqttOptions {
    std::string host;
    int port = 1883;
    std::string topicPrefix = "zemsetup";
    // The recorder's own id; each instrument's connection adds its number to it. Empty: one is made
    // from the host name and the process, so two recorders never push each other off the broker.
    std::string clientId;
    bool withCurves = true;
    int keepAliveSeconds = 30;

    // "HOST" or "HOST:PORT" ("[v6 address]:PORT" for IPv6); nothing when the port is not 1..65535.
    static std::optional<MqttOptions> FromTarget(const std::string& target);
};

// Why `prefix` cannot be a topic prefix, empty when it can: wildcards would make every topic under it
// one nobody can publish on, and an empty level or a leading "$" is not the plant's to read.
std::string TopicPrefixProblem(const std::string& prefix);

// An instrument key as one topic level: the separators and wildcards of topics cannot appear in it,
// and its spaces are dropped ("USB: MR4A1001" -> "USB:MR4A1001").
std::string TopicLevel(const std::string& instrument);

} // namespace zem
