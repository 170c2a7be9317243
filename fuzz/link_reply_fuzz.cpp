// Arbitrary bytes as everything an instrument sends back over its USB bridge: echoes, replies,
// identity, version, configuration header and measure records, acquisition values and a curve
// stream. The link must never read past what came, never hang, and only report success for
// frames whose count and checksum hold.
#include "fuzz/FuzzCheck.h"
#include "link/UCZEM2.h"
#include "link/usb/GestioneUSB.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedNetwork.h"

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

    bool Finite() const { return dati_.empty(); }

private:
    std::span<const std::uint8_t> dati_;
};

constexpr const char* kSeriale = "ZEM10001";

zem::sim::SimulatedDevice Ponte()
{
    zem::sim::SimulatedDevice d;
    d.serial = kSeriale;
    zem::ProgramDataNewer eeprom;
    eeprom.VendorId = 0x0403;
    eeprom.ProductId = 0x6001;
    eeprom.SerialNumber = kSeriale;
    eeprom.SerNumEnable = 1;
    d.eeprom = eeprom;
    return d;
}

// A link and a bridge with nothing but the input behind it: no simulated instrument and its
// memories to build for every run.
struct Banco {
    zem::sim::FakeClock clock;
    zem::sim::SimulatedNetwork network{clock};
    std::unique_ptr<zem::sim::SimulatedSocket> socket{network.CreateSocket()};
    zem::sim::SimulatedBridge bridge{clock};
    std::size_t device = bridge.AddDevice(Ponte());
    zem::GestioneUSB usb{bridge, clock};
    zem::UCZEM2 link{clock, usb, network, *socket};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zem::fuzz::Verifica;
    Banco s;
    s.bridge.SetCallDuration(50e-6);  // a USB round trip
    Risposte risposte({data, size});
    s.bridge.AttachPeer(s.device, [&](std::span<const std::uint8_t>) {
        auto risposta = risposte.Prossima();
        // Once the input is spent the cable is pulled: every later exchange fails at once instead
        // of waiting out each time-out and resynchronisation on the simulated clock.
        if (risposte.Finite()) s.bridge.Fail(zem::sim::BridgeCall::Write, zem::FT_IO_ERROR, zem::sim::SimulatedBridge::kAlways);
        return risposta;
    });
    auto& link = s.link;

    if (link.ApriComunicazioneUSB(kSeriale)) {
        Verifica(link.NumeroMisure() >= 0 && link.NumeroMisure() <= 6);
        for (int m = 1; m <= 6; ++m) {
            (void)link.LeggiValori(m);
            (void)link.Risultati(m);
        }
    } else if (!link.ApriPortaUSB(kSeriale)) {
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
