// Transfers of more than one byte while the instrument's loader answers (update mode). Its
// documented exchanges move one byte a frame (the mailbox's reads excepted); blocks are used only
// once this session has seen the loader keep a block exactly as its documented reads give it back,
// and the session falls back on single bytes for good when it does not.
#include "link/UCZEM2.h"

#include <algorithm>
#include <array>

namespace zem {

namespace {

constexpr std::size_t kProva = 18;  // one PRAM frame: the fewest bytes that show a block works

} // namespace

bool UCZEM2::ScriviPRam(std::uint32_t address, std::span<const std::uint8_t> data)
{
    return ScriviProvato(address, data, &UCZEM2::WritePRamBytes1, &UCZEM2::LeggiPRamSingoli);
}

bool UCZEM2::LeggiPRam(std::uint32_t address, std::span<std::uint8_t> data)
{
    return LeggiProvato(address, data, &UCZEM2::LeggiPRamBlocco, &UCZEM2::ReadPRam1Byte);
}

bool UCZEM2::ScriviProvato(std::uint32_t address, std::span<const std::uint8_t> data, ScritturaBlocchi blocchi,
                           LetturaBlocchi rilettura)
{
    // Outside update mode the firmware's block transfers are its documented ones.
    if (data.size() <= 1 || !updateMode_) return (this->*blocchi)(address, data);
    auto singoli = [&](std::size_t da) {
        for (std::size_t i = da; i < data.size(); ++i)
            if (!(this->*blocchi)(static_cast<std::uint32_t>(address + i), data.subspan(i, 1))) return false;
        return true;
    };
    if (singoloByte_ || scrittureBlocco_ == false) return singoli(0);
    if (scrittureBlocco_ == true) return (this->*blocchi)(address, data);

    const auto prova = data.first(std::min(kProva, data.size()));
    bool uguale = (this->*blocchi)(address, prova);
    if (uguale) {
        std::array<std::uint8_t, kProva> letti{};
        // A line that fails here proves nothing about the loader: the transfer fails as it is.
        if (!(this->*rilettura)(address, std::span(letti).first(prova.size()))) return false;
        uguale = std::equal(prova.begin(), prova.end(), letti.begin());
    }
    scrittureBlocco_ = uguale;
    if (!uguale) return singoli(0);
    return (this->*blocchi)(static_cast<std::uint32_t>(address + prova.size()), data.subspan(prova.size()));
}

bool UCZEM2::LeggiPRamSingoli(std::uint32_t address, std::span<std::uint8_t> data)
{
    return LeggiSingoli(address, data, &UCZEM2::ReadPRam1Byte);
}

bool UCZEM2::LeggiSingoli(std::uint32_t address, std::span<std::uint8_t> data, LetturaByte singolo)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto b = (this->*singolo)(static_cast<std::uint32_t>(address + i));
        if (!b) return false;
        data[i] = *b;
    }
    return true;
}

bool UCZEM2::LeggiProvato(std::uint32_t address, std::span<std::uint8_t> data, LetturaBlocchi blocchi,
                          LetturaByte singolo)
{
    if (data.empty()) return true;
    if (data.size() == 1) return LeggiSingoli(address, data, singolo);
    if (!updateMode_) return (this->*blocchi)(address, data);
    if (singoloByte_ || lettureBlocco_ == false) return LeggiSingoli(address, data, singolo);
    if (lettureBlocco_ == true) return (this->*blocchi)(address, data);

    const auto prova = data.first(std::min(kProva, data.size()));
    std::array<std::uint8_t, kProva> blocco{};
    const bool letto = (this->*blocchi)(address, std::span(blocco).first(prova.size()));
    if (!LeggiSingoli(address, prova, singolo)) return false;
    lettureBlocco_ = letto && std::equal(prova.begin(), prova.end(), blocco.begin());
    const auto resto = data.subspan(prova.size());
    const auto a = static_cast<std::uint32_t>(address + prova.size());
    return *lettureBlocco_ ? (this->*blocchi)(a, resto) : LeggiSingoli(a, resto, singolo);
}

} // namespace zem
