#pragma once

#include "main/DatiStrumento.h"
#include "main/ImmagineMemoria.h"
#include "profile/ProfiloZem.h"
#include "sim/SimulatedWorks.h"
#include "tests/SimLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zem::test {

using Scritture = std::vector<std::pair<std::uint32_t, std::uint8_t>>;

// Four measures with works: a press with three works, a peak to peak with two, a simplex
// measure in four phases and a test cylinder in two.
inline ProfiloZem ProfiloLavori()
{
    ProfiloZem p;
    p.Nome = "BANCO LAVORI";
    const struct {
        int tipo, operazioni;
        bool fasi;
        int x, y;
        const char* nome;
    } misure[] = {{1, 3, false, 1, 3, "PRESSA"}, {2, 2, false, 0, 5, "PICCO"}, {3, 4, true, 0, 2, "QUOTA"},
                  {4, 2, true, 4, 6, "CILINDRO"}};
    for (int m = 1; m <= 4; ++m) {
        const auto& d = misure[m - 1];
        p.SetNomeMisura(m, d.nome);
        p.SetTipoMisura(m, static_cast<std::int16_t>(d.tipo));
        p.SetDurataCurve(m, 1.0f);
        p.SetOperazioniSelezionabili(m, static_cast<std::int16_t>(d.operazioni));
        p.SetConFasi(m, d.fasi);
        p.SetTrasduttoreX(m, static_cast<std::int16_t>(d.x));
        p.SetTrasduttoreY(m, static_cast<std::int16_t>(d.y));
    }
    return p;
}

// The simulated instrument with its memories and works, holding the image of ProfiloLavori as a
// send leaves it, with a calibration whose scalings give round numbers: force raw = 20 x force,
// position raw = 200 x position, peak-to-peak value raw = 5 x value, 1000 samples a second.
class WorksLink : public SimLink {
public:
    explicit WorksLink(sim::SimulatedMemory::Options o = {}) : SimLink(o), works(instrument, memory)
    {
        DatiStrumento d;
        d.dimensioneMemoria = static_cast<std::int32_t>(o.indirizzoMailbox);
        d.dimensioneConfigurazione = o.dimensioneIntestazione;
        d.configurazioneInPRAM = o.configurazioneInPRAM;
        d.estensioni = o.estensioni;
        d.taratura[0] = {.gain = 0.5f, .reverse = false, .offset = 0, .decimali = 2, .unita = 0};
        d.taratura[2] = {.gain = 0.5f, .reverse = false, .offset = 0, .decimali = 1, .unita = 0};
        d.taratura[4] = {.gain = 2.0f, .reverse = false, .offset = 0, .decimali = 1, .unita = 0};
        const auto immagine = ImmagineMemoria::Costruisci(ProfiloLavori(), d, false);
        if (!immagine) throw std::runtime_error("image of the works profile");
        for (const ScritturaImmagine& s : immagine->scritture) memory.Configurazione()[s.indirizzo] = s.valore;
    }

    bool Apri() { return link.ApriComunicazioneETH(kHost, kPort); }

    void Dimentica()
    {
        memory.AzzeraScritture();
        Forget();
    }

    // Configuration writes that fell inside [inizio, fine).
    Scritture ScrittureIn(std::uint32_t inizio, std::uint32_t fine) const
    {
        Scritture out;
        for (const auto& s : memory.ScrittureConfigurazione())
            if (s.first >= inizio && s.first < fine) out.push_back(s);
        return out;
    }

    Bytes Configurazione(std::uint32_t a, std::size_t n)
    {
        auto& c = memory.Configurazione();
        return Bytes(c.begin() + a, c.begin() + static_cast<std::ptrdiff_t>(a + n));
    }

    sim::SimulatedWorks works;
};

} // namespace zem::test
