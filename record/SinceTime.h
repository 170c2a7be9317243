#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zem {

// The start of a time window as a technician types it: a UTC date ("2026-12-01", from midnight),
// a UTC time ("2026-12-01T08:00:00Z") or a span back from `nowUtcMs` ("90m", "24h", "7d").
// Milliseconds since 1970-01-01 UTC; nothing for any other text or an impossible date.
std::optional<std::int64_t> ParseSince(std::string_view text, std::int64_t nowUtcMs);
// What to tell a technician whose text ParseSince refused.
inline constexpr const char* kSinceForms = "give a UTC date or time (2026-12-01, 2026-12-01T08:00:00Z) or a span (90m, 24h, 7d)";

} // namespace zem
