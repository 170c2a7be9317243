#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zem {

// A piece's results as kept in its own row, so that reading pieces is one scan of one table:
// per result its kind's id (unsigned 32 bits) then its value (IEEE 754 double), low byte first.
class SqliteResultBlob {
public:
    static constexpr std::size_t kEntryBytes = 12;

    static void Append(std::string& out, std::uint32_t kind, double value);
    // The number of results, nothing when the bytes are no whole number of them.
    static std::optional<std::size_t> Count(std::string_view bytes);
    static std::uint32_t Kind(std::string_view bytes, std::size_t i);
    static double Value(std::string_view bytes, std::size_t i);
};

} // namespace zem
