// Arbitrary bytes as everything an instrument sends back over its USB bridge: echoes, replies,
// identity, version, configuration header and measure records, acquisition values and a curve
// stream. The link must never read past what came, never hang, and only report success for
// frames whose count and checksum hold.
#include "fuzz/FuzzCheck.h"
#include "sim/SimulatedLink.h"

#include <cstdint>
#include <span>
#include <vector>

namespace {

// The input cut into the instrument's answers: each answer is a length byte and that many bytes.
class Risposte {
public:
    explicit Risposte(std::span<const std::uint8_t> dati) : dati_(dati) {}
    std::vector<std::vector<std::uint8_t>> Prossima()
    {
        if (dati_.empty()) return {};
        const std::size_t n = std::min<std::size_t>(dati_[0], dati_.size() - 1);
        std::vector<std::uint8_t> risposta(dati_.begin() + 1, dati_.begin() + 1 + static_cast<std::ptrdiff_t>(n));
        dati_ = dati_.subspan(1 + n);
        return {risposta};
    }

private:
    std::span<const std::uint8_t> dati_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zem::fuzz::Verifica;
    zem::sim::SimulatedLink s;
    Risposte risposte({data, size});
    s.bridge.AttachPeer(s.device, [&](std::span<const std::uint8_t>) { return risposte.Prossima(); });
    auto& link = s.link;

    if (link.ApriComunicazioneUSB(zem::sim::SimulatedLink::kSerial)) {
        Verifica(link.NumeroMisure() >= 0 && link.NumeroMisure() <= 6);
        for (int m = 1; m <= 6; ++m) {
            (void)link.LeggiValori(m);
            (void)link.Risultati(m);
        }
    } else if (!link.ApriPortaUSB(zem::sim::SimulatedLink::kSerial)) {
        return 0;
    }
    (void)link.LeggiTrasduttori();
    (void)link.LeggiIngressiUscite();
    if (link.PreparaRichiesta(12, {}) && link.EseguiComando()) {
        const auto& rx = link.BufferRX();
        Verifica(rx[0] < rx.size());
    }
    if (link.RichiediCurva(1)) {
        for (int tick = 0; tick < 200 && link.InRicezione(); ++tick) {
            s.clock.Advance(0.4);
            link.TimerAquireUSB_Timer();
        }
        Verifica(link.PuntiCurva(1).size() <= static_cast<std::size_t>(zem::UCZEM2::NumeroMassimoPuntiCurva()));
    }
    link.ChiudiComunicazione();
    return 0;
}
