#include "record/SinceTime.h"

#include <charconv>
#include <chrono>

namespace zem {

namespace {

// The digits of text[from, from + n) as a number; nothing unless all n are digits.
std::optional<int> Digits(std::string_view text, std::size_t from, std::size_t n)
{
    if (from + n > text.size()) return std::nullopt;
    int v = 0;
    const char* first = text.data() + from;
    const auto r = std::from_chars(first, first + n, v);
    if (r.ec != std::errc() || r.ptr != first + n || *first == '-' || *first == '+') return std::nullopt;
    return v;
}

std::optional<std::int64_t> Relative(std::string_view text, std::int64_t nowUtcMs)
{
    if (text.size() < 2) return std::nullopt;
    std::int64_t unitMs = 0;
    switch (text.back()) {
    case 'm': unitMs = 60'000; break;
    case 'h': unitMs = 3'600'000; break;
    case 'd': unitMs = 86'400'000; break;
    default: return std::nullopt;
    }
    std::int64_t n = 0;
    const char* end = text.data() + text.size() - 1;
    const auto r = std::from_chars(text.data(), end, n);
    if (r.ec != std::errc() || r.ptr != end || n < 0 || n > 100 * 366) return std::nullopt;  // a century of days at most
    return nowUtcMs - n * unitMs;
}

std::optional<std::int64_t> Absolute(std::string_view text)
{
    using namespace std::chrono;
    const auto y = Digits(text, 0, 4), mo = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (text.size() < 10 || !y || !mo || !d || text[4] != '-' || text[7] != '-') return std::nullopt;
    const year_month_day date{year(*y), month(static_cast<unsigned>(*mo)), day(static_cast<unsigned>(*d))};
    if (!date.ok()) return std::nullopt;
    std::int64_t ms = duration_cast<milliseconds>(sys_days(date).time_since_epoch()).count();
    if (text.size() == 10) return ms;
    const auto h = Digits(text, 11, 2), mi = Digits(text, 14, 2), s = Digits(text, 17, 2);
    const bool zoned = text.size() == 20 && text[19] == 'Z';
    if ((text.size() != 19 && !zoned) || text[10] != 'T' || text[13] != ':' || text[16] != ':' || !h || !mi || !s
        || *h > 23 || *mi > 59 || *s > 59)
        return std::nullopt;
    return ms + ((*h * 60 + *mi) * 60 + *s) * 1000LL;
}

} // namespace

std::optional<std::int64_t> ParseSince(std::string_view text, std::int64_t nowUtcMs)
{
    if (!text.empty() && text.back() >= '0' && text.back() <= '9') return Absolute(text);
    if (text.size() == 20 && text.back() == 'Z') return Absolute(text);
    return Relative(text, nowUtcMs);
}

} // namespace zem
