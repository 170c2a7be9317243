#include "main/DatiStrumento.h"

#include "profile/ProfiloZem.h"

#include <algorithm>

namespace zem {

DatiStrumento LeggiDatiStrumento(const UCZEM2& link, const ProfiloZem& profilo)
{
    DatiStrumento d;
    link.InfoMemory(d.dimensioneConfigurazione, d.dimensioneMemoria);
    d.configurazioneInPRAM = link.ConfigurazioneInPRAM();
    d.protocollo = link.Protocollo();
    d.estensioni = link.Estensioni();
    d.updateMode = link.UpdateMode();
    d.taratura = link.Taratura();
    d.opzioneTrasduttori = link.OpzioniIntestazione(61);
    d.configurazioneAnalogica = static_cast<std::uint8_t>(link.ConfigurazioneIngressiAnalogici() & 0xFF);
    // The divisor register has eight bits: the slowest rate it holds is the nearest to a slower one.
    d.codiceBaud = static_cast<std::uint8_t>(std::clamp(link.CalcolaSpeedCOMM(profilo.BaudrateCOMM).divisore, 0, 255));
    return d;
}

} // namespace zem
