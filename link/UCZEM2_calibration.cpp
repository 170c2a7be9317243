// The transducer calibration table kept in the configuration memory.
#include "link/UCZEM2.h"

namespace zem {

namespace {

// Offsets inside a measure record of the older layout, for the encoder, 0-10 V input and load cell.
struct CampiLivello0 {
    std::uint32_t offset, unita, gain;
};
constexpr std::array<CampiLivello0, 3> kLivello0{{
    {9, 35, 41},   // encoder
    {11, 37, 43},  // 0-10 V input
    {7, 33, 39},   // load cell
}};

std::int16_t ConSegno(std::uint16_t v)
{
    return static_cast<std::int16_t>(v >= 0x8000 ? static_cast<int>(v) - 0x10000 : v);
}

} // namespace

bool UCZEM2::LeggiValoriDiTaraturaOLD(std::int16_t& invalido)
{
    auto byte = [this](std::uint32_t a) { return ReadConfig1Byte(a); };
    auto parola = [&](std::uint32_t a) -> std::optional<std::uint16_t> {
        const auto lo = byte(a);
        if (!lo) return std::nullopt;
        const auto hi = byte(a + 1);
        if (!hi) return std::nullopt;
        return static_cast<std::uint16_t>(*lo | (*hi << 8));
    };
    auto decimali = [&](RecordTaratura& r, std::uint8_t v) {
        r.decimali = v;
        if (v > 4) invalido = 1;
    };

    if (livelloLayout_ != 0) {
        for (std::uint32_t k = 0; k < 6; ++k) {
            RecordTaratura& r = taratura_[k];
            const auto u = byte(0x22 + 2 * k);
            if (!u) return false;
            r.unita = *u;
            const auto d = byte(0x23 + 2 * k);
            if (!d) return false;
            decimali(r, *d);
            const auto g = parola(0x2E + 2 * k);
            if (!g) return false;
            r.gain = static_cast<float>(*g / 10000.0);
            const auto o = parola(0x40 + 2 * k);
            if (!o) return false;
            r.offset = ConSegno(*o);
        }
        for (RecordTaratura& r : taratura_) r.reverse = false;
        const auto rev = byte(0x50);
        if (!rev) return false;
        taratura_[1].reverse = (*rev & 0x01) != 0;
        taratura_[4].reverse = (*rev & 0x02) != 0;
        return true;
    }

    const auto r1 = parola(0x38);
    if (!r1) return false;
    const auto scarto = byte(0x3A);
    if (!scarto) return false;
    const std::array<std::uint32_t, 2> base{*r1, static_cast<std::uint32_t>(*r1 + *scarto)};
    misure_[0].indirizzoRecord = base[0];
    misure_[1].indirizzoRecord = base[1];
    for (std::size_t g = 0; g < 2; ++g) {
        for (std::size_t t = 0; t < 3; ++t) {
            RecordTaratura& r = taratura_[3 * g + t];
            const CampiLivello0& c = kLivello0[t];
            const auto o = parola(base[g] + c.offset);
            if (!o) return false;
            r.offset = ConSegno(*o);
            const auto u = byte(base[g] + c.unita);
            if (!u) return false;
            r.unita = *u;
            const auto d = byte(base[g] + c.unita + 1);
            if (!d) return false;
            decimali(r, *d);
            const auto gain = parola(base[g] + c.gain);
            if (!gain) return false;
            r.gain = static_cast<float>(*gain / 10000.0);
            r.reverse = false;
        }
    }
    return true;
}

} // namespace zem
