#include "profile/InstrumentText.h"

#include <array>
#include <cstdint>

namespace zem {

namespace {

// Windows-1252's codes 0x80 to 0x9F; 0 where the code page leaves one undefined.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80U];
    return byte;
}

std::optional<unsigned char> Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void Append(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next code point of `utf8` from `at`, which it moves past it; nothing for a bad sequence.
std::optional<char32_t> Next(std::string_view utf8, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || at + static_cast<std::size_t>(more) > utf8.size()) return std::nullopt;
    char32_t c = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        const auto b = static_cast<unsigned char>(utf8[at++]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        c = c << 6 | (b & 0x3F);
    }
    return c;
}

} // namespace

std::optional<InstrumentText> InstrumentText::FromUtf8(std::string_view utf8, std::string* refused)
{
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const auto c = Next(utf8, at);
        const auto byte = c ? Byte(*c) : std::nullopt;
        if (!byte) {
            if (refused) *refused = std::string(utf8.substr(start, at - start));
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
    }
    return InstrumentText(std::move(bytes));
}

std::string InstrumentText::Readable(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();)
        if (!Next(text, at)) return InstrumentText(text).Utf8();
    return text;
}

std::string InstrumentText::Utf8() const
{
    std::string out;
    for (const char b : bytes_) {
        // An undefined code shows as the replacement character rather than as a broken sequence.
        const char32_t c = CodePoint(static_cast<unsigned char>(b));
        Append(out, c == 0 && b != 0 ? char32_t{0xFFFD} : c);
    }
    return out;
}

std::string InstrumentText::RefusalMessage(const std::string& character)
{
    return "The instrument cannot hold the character \"" + character + "\".";
}

} // namespace zem
