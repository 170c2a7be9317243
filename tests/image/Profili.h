#pragma once

#include "main/DatiStrumento.h"
#include "main/ImmagineMemoria.h"
#include "profile/ProfiloZem.h"

#include <cstdint>
#include <map>
#include <string>

namespace zem::test {

// Memory the simulated instrument reports: its version reply gives the mailbox address as the
// memory size.
constexpr std::int32_t kMemoriaSimulata = 0x7F000;

// A press, a peak-to-peak with three works, a simplex measure in four phases, an unused slot, a
// test cylinder in two phases and another unused slot.
inline ProfiloZem ProfiloMisto()
{
    ProfiloZem p;
    p.Nome = "LINEA 4 PRESSE";
    p.TipoSinottico = 2;
    p.IndirizzoRS485 = 7;
    p.BaudrateCOMM = 19200;
    p.nInputDato = 5;
    p.nInputClock = 6;
    p.nOutputClear = 8;

    p.SetNomeMisura(1, "CALETTAMENTO CUSCINETTO");  // 23 characters
    p.SetTipoMisura(1, 1);
    p.SetDurataCurve(1, 2.0f);
    p.SetTrasduttoreX(1, 1);
    p.SetTrasduttoreY(1, 3);
    p.SetExternalStop(1, true);
    p.SetSelOpOnStart(1, true);
    p.SetAutoOffset(1, true);
    p.SetForzaMassimaAssoluta(1, 2500);
    p.SetCoeffA(1, 12);
    p.SetCoeffB(1, 34);
    p.SetPresetPositionTrasd(1, -3);
    p.SetnInput(1, 1, 1);   // start measure on input 0
    p.SetnInput(1, 7, 4);   // top dead course on input 3
    p.SetnInput(1, 8, 2);   // idle status on input 1
    p.SetnInput(1, 16, 3);  // remote command on input 2
    p.SetnOutput(1, 1, 1);
    p.SetnOutput(1, 3, 2);
    p.SetnOutput(1, 4, 3);
    p.SetnOutput(1, 11, 4);  // fully retracted
    p.SetnOutput(1, 12, 5);  // aux output 1

    p.SetNomeMisura(2, "PICCO");
    p.SetTipoMisura(2, 2);
    p.SetDurataCurve(2, 1.0f);
    p.SetOperazioniSelezionabili(2, 3);
    p.SetTrasduttoreY(2, 5);
    p.SetNomeValore(2, "CORSA");
    p.SetnInput(2, 1, 1);   // start shared with measure 1
    p.SetnInput(2, 13, 5);  // increment serial number
    p.SetnOutput(2, 3, 6);

    p.SetNomeMisura(3, "ALTEZZA");
    p.SetTipoMisura(3, 3);
    p.SetDurataCurve(3, 0.5f);
    p.SetOperazioniSelezionabili(3, 4);
    p.SetConFasi(3, true);
    p.SetTrasduttoreY(3, 2);
    p.SetNomeValore(3, "QUOTA PEZZO");

    p.SetNomeMisura(4, "NON USATA");
    p.SetOperazioniSelezionabili(4, 9);  // ignored: the measure is not in use
    p.SetnInput(4, 1, 8);

    p.SetNomeMisura(5, "CILINDRO");
    p.SetTipoMisura(5, 4);
    p.SetDurataCurve(5, 1.0f);
    p.SetOperazioniSelezionabili(5, 2);
    p.SetConFasi(5, true);
    p.SetTrasduttoreX(5, 4);
    p.SetTrasduttoreY(5, 6);
    p.SetnInput(5, 11, 7);   // direction
    p.SetnOutput(5, 10, 7);  // main valve
    return p;
}

inline DatiStrumento Strumento(int estensioni, bool inPRAM)
{
    DatiStrumento d;
    d.dimensioneMemoria = kMemoriaSimulata;
    d.dimensioneConfigurazione = 360;
    d.configurazioneInPRAM = inPRAM;
    d.protocollo = 14;
    d.estensioni = estensioni;
    return d;
}

// What the memory holds once every write of the image has landed.
inline std::map<std::uint32_t, std::uint8_t> Contenuto(const ImmagineMemoria& immagine)
{
    std::map<std::uint32_t, std::uint8_t> m;
    for (const ScritturaImmagine& s : immagine.scritture) m[s.indirizzo] = s.valore;
    return m;
}

inline std::string Percorso(const std::string& relativo)
{
    return std::string(ZEM_SOURCE_DIR) + "/" + relativo;
}

} // namespace zem::test
