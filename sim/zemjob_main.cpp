// zemjob: the main job run against the simulated instrument. It opens the link over UDP on
// loopback (the instrument served on 127.0.0.1 by the simulator's Ethernet module) and over the
// simulated USB bridge, exchanges frames on both and prints what happened.

#include "link/Clock.h"
#include "link/UCZEM2.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"
#include "sim/DefaultInstrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedLink.h"
#include "sim/UdpInstrumentServer.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace zem;

std::string Hex(std::span<const std::uint8_t> bytes)
{
    std::string s;
    char b[4];
    for (const std::uint8_t x : bytes) {
        std::snprintf(b, sizeof b, "%02X ", x);
        s += b;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

// Sends one command and prints the request frame and the reply payload.
bool Scambia(const char* canale, UCZEM2& link, std::uint8_t code)
{
    link.BufferTX()[0] = 1;
    link.BufferTX()[1] = code;
    const bool ok = link.EseguiComando();
    const auto& tx = link.BufferTX();
    const auto& rx = link.BufferRX();
    std::printf("[%s] command %u: sent %s -> %s\n", canale, code,
                Hex(std::span<const std::uint8_t>(tx).first(tx[0] + 1u)).c_str(),
                ok ? ("reply " + Hex(std::span<const std::uint8_t>(rx).subspan(1, rx[0]))).c_str() : "FAILED");
    return ok;
}

void Identita(const char* canale, const UCZEM2& link)
{
    std::printf("[%s] instrument \"%s\": type %d, release %d, CPU %.2f, update mode %s, memory error %s\n",
                canale, link.Nome().c_str(), link.Protocollo(), link.Estensioni(), link.VersioneCPU(),
                link.UpdateMode() ? "yes" : "no", link.MemoryError() ? "yes" : "no");
    for (int m = 1; m <= link.NumeroMisure(); ++m)
        std::printf("[%s]   measure %d: \"%s\", type %d\n", canale, m, link.NomeMisura(m).c_str(), link.TipoMisura(m));
}

bool SuUdp()
{
    SystemClock clock;
    sim::DefaultInstrument instrument(clock);
    sim::UdpInstrumentServer server(instrument.Instrument(), clock);
    if (!server.Start()) {
        std::printf("[UDP] the simulated instrument could not bind 127.0.0.1\n");
        return false;
    }
    std::printf("[UDP] simulated instrument listening on 127.0.0.1:%u\n", server.Port());

    WinSockEsclusivo pump;
    UdpSocket socket(&pump);
    sim::FakeClock unusedClock;
    sim::SimulatedBridge noBridges(unusedClock);
    GestioneUSB usb(noBridges, clock);
    UCZEM2 link(clock, usb, pump, socket);
    int resync = 0;
    link.Noise = [&] { ++resync; };

    const auto t0 = std::chrono::steady_clock::now();
    const bool aperto = link.ApriComunicazioneETH("127.0.0.1", server.Port());
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    std::printf("[UDP] ApriComunicazioneETH: %s in %lld us\n", aperto ? "ok" : "FAILED", static_cast<long long>(us.count()));
    bool ok = aperto;
    if (aperto) {
        Identita("UDP", link);
        ok = Scambia("UDP", link, 4) && ok;
        ok = Scambia("UDP", link, 1) && ok;
    }
    std::printf("[UDP] resynchronisations: %d\n", resync);
    link.ChiudiComunicazione();
    server.Stop();
    return ok;
}

bool SuUsb()
{
    sim::SimulatedLink sim;
    int resync = 0;
    sim.link.Noise = [&] { ++resync; };
    const int n = sim.usb.ElencaDispositiviUSB("");
    for (int i = 1; i <= n; ++i)
        std::printf("[USB] bridge %d: \"%s\" serial \"%s\"\n", i, sim.usb.DescrizioneDispositivo(i).c_str(),
                    sim.usb.SerialeDispositivo(i).c_str());
    const double t0 = sim.clock.Monotonic();
    const bool aperto = sim.link.ApriComunicazioneUSB(sim::SimulatedLink::kSerial);
    std::printf("[USB] ApriComunicazioneUSB(\"%s\"): %s at %u baud\n", sim::SimulatedLink::kSerial,
                aperto ? "ok" : "FAILED", sim.bridge.Settings(sim.device).baud);
    bool ok = aperto;
    if (aperto) {
        Identita("USB", sim.link);
        ok = Scambia("USB", sim.link, 4) && ok;
        // One lost reply: the line is resynchronised and the second attempt succeeds.
        sim.bridge.InstrumentToHost(sim.device).Queue({sim::FaultKind::Drop}, 1);
        std::printf("[USB] losing the next reply on the line...\n");
        ok = Scambia("USB", sim.link, 4) && ok;
    }
    std::printf("[USB] resynchronisations: %d, simulated time %.3f s\n", resync, sim.clock.Monotonic() - t0);
    sim.link.ChiudiComunicazione();
    return ok;
}

} // namespace

int main()
{
    std::printf("ZEM Setup main job against the simulated instrument\n");
    const bool udp = SuUdp();
    const bool usb = SuUsb();
    std::printf("%s\n", udp && usb ? "all exchanges succeeded" : "SOME EXCHANGES FAILED");
    return udp && usb ? 0 : 1;
}
