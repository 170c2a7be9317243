#include "link/net/BroadcastTarget.h"

#include <algorithm>
#include <cstdlib>

namespace zem {

std::optional<BroadcastTarget> ParseBroadcastTarget(std::string_view text)
{
    const auto colon = text.find(':');
    BroadcastTarget target;
    target.host = std::string(text.substr(0, colon));
    const bool blank = std::any_of(target.host.begin(), target.host.end(),
                                   [](unsigned char c) { return c <= ' ' || c >= 0x7F; });
    if (target.host.empty() || blank) return std::nullopt;
    if (colon == std::string_view::npos) return target;

    const std::string_view port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : port) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    target.port = value;
    return target;
}

std::optional<BroadcastTarget> ChooseBroadcastTarget(const std::optional<std::string>& option)
{
    if (option) return ParseBroadcastTarget(*option);
    if (const char* environment = std::getenv(BroadcastTarget::kEnvironment); environment && *environment)
        return ParseBroadcastTarget(environment);
    return BroadcastTarget{};
}

} // namespace zem
