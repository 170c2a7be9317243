#include "session/ChiaveStrumento.h"

namespace zem {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view TrimLeft(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view Trim(std::string_view text)
{
    text = TrimLeft(text);
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

std::optional<std::uint32_t> Porta(std::string_view text)
{
    if (text.empty() || text.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return value;
}

} // namespace

std::optional<ChiaveStrumento> ChiaveStrumento::Leggi(std::string_view testo)
{
    ChiaveStrumento chiave;
    if (testo.starts_with("USB:")) {
        chiave.canale = Canale::USB;
        chiave.seriale = TrimLeft(testo.substr(4));
        if (chiave.seriale.empty()) return std::nullopt;
    } else if (testo.starts_with("MAC:")) {
        chiave.canale = Canale::MAC;
        chiave.mac = TrimLeft(testo.substr(4));
        if (chiave.mac.empty()) return std::nullopt;
    } else if (testo.starts_with("IP:")) {
        chiave.canale = Canale::IP;
        const std::string_view indirizzo = Trim(testo.substr(3));
        const auto colon = indirizzo.find(':');
        if (colon == std::string_view::npos || colon == 0) return std::nullopt;
        const auto porta = Porta(indirizzo.substr(colon + 1));
        if (!porta) return std::nullopt;
        chiave.host = indirizzo.substr(0, colon);
        chiave.porta = *porta;
    } else {
        return std::nullopt;
    }
    return chiave;
}

} // namespace zem
