#include "diagnosis/TestoNumeri.h"

#include "link/ScalaMisura.h"
#include "setup/NumeroDigitato.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace zem {

std::string TestoDecimale(float valore)
{
    if (!std::isfinite(valore)) valore = 0;
    std::array<char, 64> buf{};
    const auto esito = std::to_chars(buf.data(), buf.data() + buf.size(), valore, std::chars_format::fixed);
    return std::string(buf.data(), esito.ptr);
}

std::string TestoFisso(double valore, int decimali)
{
    if (!std::isfinite(valore)) valore = 0;
    std::array<char, 400> buf{};
    const auto esito = std::to_chars(buf.data(), buf.data() + buf.size(), valore, std::chars_format::fixed, decimali);
    std::string testo(buf.data(), esito.ptr);
    if (testo.front() == '-' && testo.find_first_not_of("-0.") == std::string::npos) testo.erase(0, 1);
    return testo;
}

std::optional<std::int16_t> Intero16(double valore)
{
    const double intero = ScalaMisura::ArrotondaPari(valore);
    if (!std::isfinite(intero) || intero < std::numeric_limits<std::int16_t>::min()
        || intero > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(intero);
}

std::int32_t InteroDigitato(std::string_view testo)
{
    const double valore = NumeroDigitato(testo).Arrotondato();
    return static_cast<std::int32_t>(std::clamp(valore, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                                                static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

} // namespace zem
