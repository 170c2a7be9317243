#include "sim/SimulatedAcquisition.h"

#include <algorithm>

namespace zem::sim {

namespace {

const std::vector<std::uint8_t> kAck{1};
const std::vector<std::uint8_t> kNack{0};

// A measure index as sent (0..5), or nothing.
std::optional<std::size_t> Indice(std::span<const std::uint8_t> a, std::size_t argomenti)
{
    if (a.size() != argomenti || a[0] > 5) return std::nullopt;
    return a[0];
}

} // namespace

SimulatedAcquisition::SimulatedAcquisition(SimulatedInstrument& instrument, SimulatedMemory& memory) : memory_(memory)
{
    auto on = [&](std::uint8_t code, Reply (SimulatedAcquisition::*handler)(std::span<const std::uint8_t>)) {
        instrument.SetCommand(code, [this, handler](std::span<const std::uint8_t> a) { return (this->*handler)(a); });
    };
    on(2, &SimulatedAcquisition::Arresta);
    on(8, &SimulatedAcquisition::FlagModifiche);
    on(16, &SimulatedAcquisition::CurveDaTrattare);
    on(18, &SimulatedAcquisition::Acquisizione);
    on(29, &SimulatedAcquisition::Riparti);
    instrument.SetCommand(4, [this](std::span<const std::uint8_t>) {
        if (primaDelloStato) primaDelloStato();
        return Stato();
    });
    instrument.SetCommand(11, [this](std::span<const std::uint8_t> a) { return Risultati(a); });
    // The selection of a measure and the end of a curve are only acknowledged.
    for (const std::uint8_t code : {5, 19})
        instrument.SetCommand(code, [](std::span<const std::uint8_t> a) { return Reply{Indice(a, 2) ? kAck : kNack}; });
}

void SimulatedAcquisition::ScriviRisultati(int misura, std::span<const std::uint8_t> blocco)
{
    const std::uint32_t a = IndirizzoRisultati(misura);
    if (misura < 1 || misura > 6 || a + blocco.size() > memory_.PRAM().size()) return;
    std::copy(blocco.begin(), blocco.end(), memory_.PRAM().begin() + a);
}

SimulatedAcquisition::Reply SimulatedAcquisition::Arresta(std::span<const std::uint8_t> a)
{
    // The measure comes as its number, 0 standing for all of them.
    if (a.size() != 1 || a[0] > 6) return kNack;
    arresti_.push_back(a[0]);
    for (std::size_t m = 0; m < misure.size(); ++m) {
        if (a[0] != 0 && m + 1 != a[0]) continue;
        misure[m].arrestata = true;
        misure[m].abilitata = false;
    }
    return kAck;
}

SimulatedAcquisition::Reply SimulatedAcquisition::Stato() const
{
    std::vector<std::uint8_t> out;
    for (std::size_t m = 0; m < std::min(byteStato, misure.size()); ++m) {
        const Misura& s = misure[m];
        out.push_back(static_cast<std::uint8_t>((s.pezzoInLavorazione ? 0x01 : 0) | (s.risultatiPronti ? 0x02 : 0)
                                                | (s.lavoroModificato ? 0x10 : 0)));
    }
    return out;
}

SimulatedAcquisition::Reply SimulatedAcquisition::Acquisizione(std::span<const std::uint8_t> a)
{
    const auto m = Indice(a, 2);
    if (!m || a[1] > 1) return kNack;
    Misura& s = misure[*m];
    if (a[1] == 1) {
        s.abilitata = true;
        s.bloccata = s.arrestata = false;
        return kAck;
    }
    // Disabling answers whether the measure is now blocked: not while it works a piece.
    if (s.pezzoInLavorazione) return kNack;
    s.bloccata = true;
    s.abilitata = false;
    return kAck;
}

SimulatedAcquisition::Reply SimulatedAcquisition::Riparti(std::span<const std::uint8_t> a)
{
    const auto m = Indice(a, 2);
    if (!m) return kNack;
    misure[*m].bloccata = misure[*m].arrestata = false;
    misure[*m].abilitata = true;
    return kAck;
}

SimulatedAcquisition::Reply SimulatedAcquisition::FlagModifiche(std::span<const std::uint8_t> a)
{
    const auto m = Indice(a, 2);
    if (!m || a[1] != 255) return kNack;
    misure[*m].lavoroModificato = false;
    return kAck;
}

SimulatedAcquisition::Reply SimulatedAcquisition::CurveDaTrattare(std::span<const std::uint8_t> a)
{
    if (a.empty()) return Reply{{curveDaTrattare}};
    const auto m = Indice(a, 1);
    if (!m) return kNack;
    curveDaTrattare = static_cast<std::uint8_t>(curveDaTrattare & ~(1u << *m));
    return kAck;
}

SimulatedAcquisition::Reply SimulatedAcquisition::Risultati(std::span<const std::uint8_t> a) const
{
    const auto m = Indice(a, 1);
    if (!m) return kNack;
    const std::uint32_t r = IndirizzoRisultati(static_cast<int>(*m) + 1);
    return Reply{{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(r >> 8), static_cast<std::uint8_t>(r >> 16)}};
}

} // namespace zem::sim
