#include "record/SqliteResultBlob.h"

#include <bit>

namespace zem {

namespace {

std::uint64_t Get(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < size; ++i) bits |= std::uint64_t(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
    return bits;
}

void Put(std::string& out, std::uint64_t bits, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

} // namespace

void SqliteResultBlob::Append(std::string& out, std::uint32_t kind, double value)
{
    Put(out, kind, 4);
    Put(out, std::bit_cast<std::uint64_t>(value), 8);
}

std::optional<std::size_t> SqliteResultBlob::Count(std::string_view bytes)
{
    if (bytes.size() % kEntryBytes != 0) return std::nullopt;
    return bytes.size() / kEntryBytes;
}

std::uint32_t SqliteResultBlob::Kind(std::string_view bytes, std::size_t i)
{
    return static_cast<std::uint32_t>(Get(bytes, i * kEntryBytes, 4));
}

double SqliteResultBlob::Value(std::string_view bytes, std::size_t i)
{
    return std::bit_cast<double>(Get(bytes, i * kEntryBytes + 4, 8));
}

} // namespace zem
