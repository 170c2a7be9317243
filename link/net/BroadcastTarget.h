#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zem {

// Where the Ethernet-module commands go. On a plant network that is every module on the segment;
// tests and the simulator aim them at a loopback endpoint instead.
struct BroadcastTarget {
    static constexpr const char* kDefaultHost = "255.255.255.255";
    static constexpr std::uint32_t kDefaultPort = 65535;
    // The environment variable that overrides the default when no option is given.
    static constexpr const char* kEnvironment = "ZEMSETUP_BROADCAST";

    std::string host = kDefaultHost;
    std::uint32_t port = kDefaultPort;

    bool operator==(const BroadcastTarget&) const = default;
};

// "HOST" or "HOST:PORT" (port 1..65535, decimal; the default port when absent). Nothing for an
// empty host, blanks, a second ":" or a bad port.
std::optional<BroadcastTarget> ParseBroadcastTarget(std::string_view text);

// The option's value when given, else the environment variable's when set and not empty, else the
// default; nothing when the text in force does not parse.
std::optional<BroadcastTarget> ChooseBroadcastTarget(const std::optional<std::string>& option);

} // namespace zem
