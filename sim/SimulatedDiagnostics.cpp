#include "sim/SimulatedDiagnostics.h"

namespace zem::sim {

namespace {

void Aggiungi24(std::vector<std::uint8_t>& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    out.insert(out.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16)});
}

void Aggiungi16(std::vector<std::uint8_t>& out, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    out.insert(out.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
}

} // namespace

SimulatedDiagnostics::SimulatedDiagnostics(SimulatedInstrument& instrument, const SimulatedPress& press) : press_(press)
{
    instrument.SetCommand(20, [this](std::span<const std::uint8_t> a) { return ModoDiagnostico(a); });
    instrument.SetCommand(21, [this](std::span<const std::uint8_t>) {
        return Reply{{static_cast<std::uint8_t>(diagnostico_ ? 1 : 0), ingressi, uscite_}};
    });
    instrument.SetCommand(22, [this](std::span<const std::uint8_t> a) { return ForzaUscita(a); });
    instrument.SetCommand(23, [this](std::span<const std::uint8_t>) { return Trasduttori(); });
    instrument.SetCommand(31, [this](std::span<const std::uint8_t>) { return StatoSeriale(); });
    instrument.SetCommand(36, [this](std::span<const std::uint8_t> a) { return UsciteAux(a); });
}

SimulatedDiagnostics::Reply SimulatedDiagnostics::ModoDiagnostico(std::span<const std::uint8_t> a)
{
    if (a.size() != 1 || a[0] > 1) return Reply{{0}};
    diagnostico_ = a[0] == 1;
    // Leaving diagnostics gives the outputs back to the measures.
    if (!diagnostico_) uscite_ = 0;
    return Reply{{1}};
}

SimulatedDiagnostics::Reply SimulatedDiagnostics::ForzaUscita(std::span<const std::uint8_t> a)
{
    if (!diagnostico_ || a.size() != 2 || a[0] > 7 || a[1] > 1) return Reply{{0}};
    const auto bit = static_cast<std::uint8_t>(1 << a[0]);
    uscite_ = static_cast<std::uint8_t>(a[1] == 1 ? uscite_ | bit : uscite_ & ~bit);
    return Reply{{1}};
}

SimulatedDiagnostics::Reply SimulatedDiagnostics::Trasduttori() const
{
    std::vector<std::uint8_t> out;
    Aggiungi24(out, press_.Encoder1());
    Aggiungi24(out, SimulatedPress::kEncoder2);
    Aggiungi16(out, press_.Cella1());
    Aggiungi16(out, press_.Potenziometro1());
    Aggiungi16(out, SimulatedPress::kCella2);
    Aggiungi16(out, SimulatedPress::kPotenziometro2);
    return out;
}

SimulatedDiagnostics::Reply SimulatedDiagnostics::StatoSeriale()
{
    ++statoSeriale[4];
    return std::vector<std::uint8_t>(statoSeriale.begin(), statoSeriale.end());
}

SimulatedDiagnostics::Reply SimulatedDiagnostics::UsciteAux(std::span<const std::uint8_t> a)
{
    // The measure comes as its number, 1..6.
    if (a.size() != 3 || a[0] < 1 || a[0] > 6) return Reply{{0}};
    const std::size_t m = a[0] - 1u;
    const std::uint8_t maschera = a[1];
    usciteAux[m] = static_cast<std::uint8_t>((usciteAux[m] | (maschera >> 4)) & ~maschera & 0x0F);
    azioneAux[m] = a[2];
    // The high nibble tells whether the outputs signal at all: a confirmed action turns it on,
    // action 112 off, the others leave it.
    if ((a[2] & 0x80) != 0) segnalazione_[m] = 1;
    else if (a[2] == 112) segnalazione_[m] = 0;
    return Reply{{ingressiAux[m], static_cast<std::uint8_t>(segnalazione_[m] << 4 | usciteAux[m])}};
}

} // namespace zem::sim
