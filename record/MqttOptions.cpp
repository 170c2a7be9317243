#include "record/MqttOptions.h"

#include "profile/InstrumentText.h"

#include <charconv>

namespace zem {

std::optional<MqttOptions> MqttOptions::FromTarget(const std::string& target)
{
    MqttOptions o;
    std::string port;
    if (!target.empty() && target.front() == '[') {
        const auto close = target.find(']');
        if (close == std::string::npos) return std::nullopt;
        o.host = target.substr(1, close - 1);
        if (close + 1 < target.size()) {
            if (target[close + 1] != ':') return std::nullopt;
            port = target.substr(close + 2);
            if (port.empty()) return std::nullopt;
        }
    } else {
        const auto colon = target.find(':');
        o.host = target.substr(0, colon);
        if (colon != std::string::npos) {
            port = target.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        }
    }
    if (o.host.empty()) return std::nullopt;
    if (!port.empty()) {
        const auto end = port.data() + port.size();
        const auto [ptr, ec] = std::from_chars(port.data(), end, o.port);
        if (ec != std::errc{} || ptr != end || o.port < 1 || o.port > 65535) return std::nullopt;
    }
    return o;
}

std::string TopicPrefixProblem(const std::string& prefix)
{
    if (prefix.empty()) return "the topic prefix is empty";
    if (prefix.find_first_of("+#") != std::string::npos) return "a topic prefix cannot hold + or #";
    if (prefix.front() == '$') return "a topic prefix cannot start with $";
    if (prefix.front() == '/' || prefix.back() == '/' || prefix.find("//") != std::string::npos)
        return "a topic prefix cannot have an empty level";
    return {};
}

std::string TopicLevel(const std::string& instrument)
{
    std::string level;
    for (const char c : InstrumentText(instrument).Utf8()) {
        if (c == ' ' || c == '\t') continue;
        level += c == '/' || c == '+' || c == '#' ? '_' : c;
    }
    return level.empty() ? "_" : level;
}

} // namespace zem
