#include "sim/SimulatedWorks.h"

#include <algorithm>

namespace zem::sim {

namespace {

constexpr std::size_t kTabellaMisure = 22;
constexpr std::uint8_t kBitFasi = 0x04;

} // namespace

SimulatedWorks::SimulatedWorks(SimulatedInstrument& instrument, SimulatedMemory& memory) : memory_(memory)
{
    instrument.SetCommand(35, [this](std::span<const std::uint8_t> a) { return OperazioneCorrenteRichiesta(a); });
    instrument.SetCommand(7, [this](std::span<const std::uint8_t> a) { return SelezionaLavoro(a); });
    instrument.SetCommand(6, [this](std::span<const std::uint8_t> a) { return ModificaRemota(a); });
}

int SimulatedWorks::OperazioneCorrente(int misura) const
{
    return misura >= 1 && misura <= 6 ? operazione_[static_cast<std::size_t>(misura - 1)] : 0;
}

void SimulatedWorks::SetOperazioneCorrente(int misura, int operazione)
{
    if (misura < 1 || misura > 6) return;
    operazione_[static_cast<std::size_t>(misura - 1)] = operazione;
    // Before release 11 the running operation is kept in byte 3 of the measure record.
    if (memory_.Opzioni().estensioni < 11)
        if (const auto m = LeggiMisura(misura)) memory_.Configurazione()[m->record + 3] = static_cast<std::uint8_t>(operazione);
}

std::optional<SimulatedWorks::Misura> SimulatedWorks::LeggiMisura(int misura)
{
    const auto& c = memory_.Configurazione();
    if (misura < 1 || misura > 6 || c.size() < 0x200 || c[3] != '5') return std::nullopt;
    const std::size_t t = kTabellaMisure + 2 * static_cast<std::size_t>(misura - 1);
    Misura m;
    m.record = c[t] | (c[t + 1] << 8);
    if (m.record == 0 || m.record + 10 > c.size()) return std::nullopt;
    const auto r = c.begin() + m.record;
    m.tipo = r[2];
    m.fasi = (r[4] & kBitFasi) != 0;
    m.lavoriBase = r[5] | (r[6] << 8);
    m.dimensione = r[7] | (r[8] << 8);
    m.lavori = r[9];
    if (m.tipo == 0) return std::nullopt;
    return m;
}

std::optional<std::uint32_t> SimulatedWorks::IndirizzoRecord(int misura, int n)
{
    const auto m = LeggiMisura(misura);
    if (!m || n < 1 || n > m->lavori) return std::nullopt;
    return m->lavoriBase + m->dimensione * static_cast<std::uint32_t>(n - 1);
}

std::vector<std::uint8_t> SimulatedWorks::Record(int misura, int n)
{
    const auto a = IndirizzoRecord(misura, n);
    const auto m = LeggiMisura(misura);
    const auto& c = memory_.Configurazione();
    if (!a || !m || *a + m->dimensione > c.size()) return {};
    return {c.begin() + *a, c.begin() + *a + m->dimensione};
}

SimulatedWorks::Reply SimulatedWorks::OperazioneCorrenteRichiesta(std::span<const std::uint8_t> a)
{
    if (silenzio35_ > 0) {
        --silenzio35_;
        return std::nullopt;
    }
    if (a.size() != 1 || a[0] < 1 || a[0] > 6) return std::vector<std::uint8_t>{};
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(OperazioneCorrente(a[0]))};
}

SimulatedWorks::Reply SimulatedWorks::SelezionaLavoro(std::span<const std::uint8_t> a)
{
    if (a.size() != 2) return std::vector<std::uint8_t>{0};
    const int misura = a[0] + 1;
    const int lavoro = a[1];
    const auto m = LeggiMisura(misura);
    // A measure in phases has one work whose number is the operation it runs; 0 runs none.
    const bool ok = m && lavoro >= 0 && lavoro <= (m->fasi ? std::max(m->lavori, 1) : m->lavori);
    selezioni_.push_back({a[0], lavoro, ok});
    if (ok) SetOperazioneCorrente(misura, lavoro);
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(ok ? 1 : 0)};
}

SimulatedWorks::Reply SimulatedWorks::ModificaRemota(std::span<const std::uint8_t> a)
{
    if (a.size() != 2 || a[0] > 5) return std::vector<std::uint8_t>{0};
    if (a[1] == 0) resetModifica_.push_back(a[0]);
    return std::vector<std::uint8_t>{1};
}

} // namespace zem::sim
