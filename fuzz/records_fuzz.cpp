// Arbitrary bytes as the pieces of an instrument's memory that are decoded without a link: a
// configuration memory read back into a profile, a work record of each type and layout, and a
// results block of each measure type. Nothing may read outside the bytes given, and a decoded
// profile must be one the profile file can keep.
#include "fuzz/FuzzCheck.h"
#include "link/RecordLavoro.h"
#include "link/RisultatiMisura.h"
#include "main/DecodificaProfilo.h"
#include "sim/SimulatedLink.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace {

// An opened link to the simulated instrument: what the decoder takes the memory sizes from.
const zem::UCZEM2& Collegamento()
{
    static zem::sim::SimulatedLink s;
    static const bool aperto = s.link.ApriComunicazioneUSB(zem::sim::SimulatedLink::kSerial);
    zem::fuzz::Verifica(aperto);
    return s.link;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zem::fuzz::Verifica;
    const std::vector<std::uint8_t> dati(data, data + size);
    const std::span<const std::uint8_t> tutto(dati);
    const std::uint8_t scelta = size > 0 ? dati[0] : 0;

    // The memory: its general part first, the measure blocks from wherever the input says.
    const std::size_t taglio = std::min<std::size_t>(size, zem::DecodificaProfilo::kFineGenerale);
    const std::uint32_t base = size > 2 ? static_cast<std::uint32_t>(dati[1] | dati[2] << 8) : 0;
    const auto esito = zem::DecodificaProfilo::Decodifica(tutto.first(taglio), base, tutto.subspan(taglio),
                                                          Collegamento(), zem::ProfiloZem{});
    Verifica(esito.profilo.has_value() == esito.errore.empty());
    if (esito.profilo) {
        for (int m = 1; m <= zem::ProfiloZem::kMisure; ++m) Verifica(esito.profilo->NomeMisura(m).size() <= 255);
    }

    zem::ScalaMisura scala;
    scala.gainForza = 1 + (scelta & 7);
    scala.decimaliForza = scelta % 5;
    for (int tipo = 1; tipo <= 4; ++tipo) {
        for (int livello = 0; livello <= 2; ++livello) {
            zem::FormatoRecord formato;
            formato.tipo = tipo;
            formato.livello = livello;
            formato.estensioni = scelta % 16;
            formato.dimensione = size;
            zem::FaseLavoro fase;
            std::string nome;
            (void)zem::RecordLavoro::Decodifica(formato, tutto, scala, fase, nome);
        }
        for (const int checkPoint : {5, 8}) {
            const auto r = zem::RisultatiMisura::Decodifica(tipo, tutto, scala, checkPoint);
            Verifica(!r || size == zem::RisultatiMisura::Dimensione(tipo));
        }
    }
    return 0;
}
