#include "setup/NumeroDigitato.h"

#include "link/ScalaMisura.h"
#include "profile/IniFile.h"
#include "ui/Host.h"

#include <cmath>
#include <limits>

namespace zem {

namespace {

template <class T>
std::optional<T> Entro(double arrotondato)
{
    if (!std::isfinite(arrotondato) ||
        arrotondato < static_cast<double>(std::numeric_limits<T>::min()) ||
        arrotondato > static_cast<double>(std::numeric_limits<T>::max())) {
        return std::nullopt;
    }
    return static_cast<T>(arrotondato);
}

template <class T>
std::optional<T> OppureAvviso(std::optional<T> valore, ui::Host& host)
{
    if (!valore) NumeroDigitato::AvvisaTroppoGrande(host);
    return valore;
}

} // namespace

NumeroDigitato::NumeroDigitato(std::string_view testo) : valore_(IniFile::Val(testo)) {}

double NumeroDigitato::Arrotondato() const
{
    return ScalaMisura::ArrotondaPari(valore_);
}

std::optional<std::int16_t> NumeroDigitato::Intero() const
{
    return Entro<std::int16_t>(Arrotondato());
}

std::optional<std::int32_t> NumeroDigitato::LungoDaSingolo() const
{
    // Beyond the largest single there is no single to round.
    if (std::fabs(valore_) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    const float singolo = static_cast<float>(valore_);
    return Entro<std::int32_t>(ScalaMisura::ArrotondaPari(singolo));
}

std::optional<std::int16_t> NumeroDigitato::Intero(ui::Host& host) const
{
    return OppureAvviso(Intero(), host);
}

std::optional<std::int32_t> NumeroDigitato::LungoDaSingolo(ui::Host& host) const
{
    return OppureAvviso(LungoDaSingolo(), host);
}

void NumeroDigitato::AvvisaTroppoGrande(ui::Host& host)
{
    host.MsgBox(kTroppoGrande, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
}

} // namespace zem
