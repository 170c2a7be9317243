// The transducer calibration table kept in the configuration memory.
#include "link/UCZEM2.h"

#include <cmath>

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

// The end of a measure record's calibration fields: both groups' records must lie apart by this much.
constexpr std::uint32_t kFineCampiLivello0 = 45;
constexpr std::size_t kFineTabella = 0x51;  // header bytes up to the reverse flags of the table

// Gain x 10000 as the instrument's word holds it, or nothing when the word cannot hold it.
std::optional<std::uint16_t> ParolaGain(float gain)
{
    if (!(gain >= 0.0f)) return std::nullopt;
    const double raw = ScalaMisura::ArrotondaPari(static_cast<double>(gain) * 10000.0);
    if (raw > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(raw);
}

} // namespace

bool UCZEM2::GainMemorizzabile(float gain) { return ParolaGain(gain).has_value(); }

RecordTaratura* UCZEM2::RecordGruppo(int g, int tipo)
{
    if (g < 1 || g > 2) return nullptr;
    return &taratura_[static_cast<std::size_t>(3 * (g - 1) + tipo)];
}

const RecordTaratura* UCZEM2::RecordGruppo(int g, int tipo) const
{
    if (g < 1 || g > 2) return nullptr;
    return &taratura_[static_cast<std::size_t>(3 * (g - 1) + tipo)];
}

bool UCZEM2::usaADC010(int g) const
{
    if (estensioni_ < 5 || (g != 1 && g != 2)) return true;
    return (opzione61_ & (g == 1 ? 0x08 : 0x02)) == 0;
}

bool UCZEM2::usaCella(int g) const
{
    if (g == 2) return (opzione61_ & 0x01) == 0;
    if (g != 1 || estensioni_ < 5) return true;
    return (opzione61_ & 0x04) == 0;
}

bool UCZEM2::ScriviValoriTaratura()
{
    for (const RecordTaratura& r : taratura_)
        if (!ParolaGain(r.gain)) return false;
    // The older layout keeps each group in its measure's record: two records that overlap would
    // have one group's fields written over the other's.
    if (livelloLayout_ == 0 && TipoMisura(2) != 0) {
        const std::uint32_t r1 = misure_[0].indirizzoRecord, r2 = misure_[1].indirizzoRecord;
        if ((r1 > r2 ? r1 - r2 : r2 - r1) < kFineCampiLivello0) return false;
    }
    if (!IniziaScritturaConfig()) return false;
    const bool scritta = ScriviTabellaTaratura();
    const bool chiusa = FineScritturaConfig();
    // The instrument takes a new calibration only when it starts again.
    return scritta && chiusa && RiavviaStrumento(updateMode_);
}

bool UCZEM2::ScriviTabellaTaratura()
{
    if (livelloLayout_ != 0) {
        for (std::uint32_t k = 0; k < 6; ++k)
            if (!ScriviConfigByte(0x22 + 2 * k, taratura_[k].unita) || !ScriviConfigByte(0x23 + 2 * k, taratura_[k].decimali))
                return false;
        for (std::uint32_t k = 0; k < 6; ++k)
            if (!ScriviConfigIntero(0x2E + 2 * k, *ParolaGain(taratura_[k].gain))) return false;
        for (std::uint32_t k = 0; k < 6; ++k)
            if (!ScriviConfigInteroConSegno(0x40 + 2 * k, taratura_[k].offset)) return false;
        return ScriviConfigByte(0x50, (taratura_[1].reverse ? 1 : 0) + (taratura_[4].reverse ? 2 : 0));
    }
    for (std::size_t g = 0; g < 2; ++g) {
        // A group whose measure the instrument does not have has no record to hold it.
        if (misure_[g].TipoMisura == 0) continue;
        const std::uint32_t base = misure_[g].indirizzoRecord;
        // Offsets first, load cell, encoder, 0-10 V input, then the gains in the same order.
        for (const std::size_t t : {2, 0, 1})
            if (!ScriviConfigInteroConSegno(base + kLivello0[t].offset, taratura_[3 * g + t].offset)) return false;
        for (const std::size_t t : {2, 0, 1})
            if (!ScriviConfigIntero(base + kLivello0[t].gain, *ParolaGain(taratura_[3 * g + t].gain))) return false;
    }
    return true;
}

bool UCZEM2::DecodificaTaratura(std::span<const std::uint8_t> h, std::int16_t& invalido)
{
    if (h.size() < kFineTabella) return false;
    auto parola = [&](std::size_t a) { return static_cast<std::uint16_t>(h[a] | (h[a + 1] << 8)); };
    for (std::size_t k = 0; k < 6; ++k) {
        RecordTaratura& r = taratura_[k];
        r.unita = h[0x22 + 2 * k];
        r.decimali = h[0x23 + 2 * k];
        if (r.decimali > 4) invalido = 1;
        r.gain = static_cast<float>(parola(0x2E + 2 * k) / 10000.0);
        r.offset = ConSegno(parola(0x40 + 2 * k));
        r.reverse = false;
    }
    taratura_[1].reverse = (h[0x50] & 0x01) != 0;
    taratura_[4].reverse = (h[0x50] & 0x02) != 0;
    return true;
}

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
        // The table lies in the header's first bytes: one read, not one a field.
        std::array<std::uint8_t, kFineTabella> intestazione{};
        return ReadConfigBytes(0, intestazione) && DecodificaTaratura(intestazione, invalido);
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
