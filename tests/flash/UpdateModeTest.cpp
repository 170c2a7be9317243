// Switching the simulated instrument into and out of update mode: configuration byte 4, the
// restart (command 13) with its wait on the fake clock, and the identity probe that follows.
#include "link/LayoutRicordati.h"
#include "session/CollegamentoStrumento.h"
#include "sim/BenchInstrument.h"
#include "tests/SimLink.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace zem::test {
namespace {

constexpr std::uint8_t kCmdRiavvio = 13;
const Bytes kRiavvio{0x02, 0x0D, 0x0F};
const Bytes kIdentita{0x02, 0x01, 0x03};

class UpdateMode : public ChannelTest {
protected:
    void SetUp() override
    {
        memory.Configurazione()[4] = 0x05;
        ASSERT_TRUE(Open());
        Forget();
    }
};

// The instrument takes 0.3 s to start again: the wait ends with the first probe it answers.
TEST_P(UpdateMode, RoundTripRestartsIntoUpdateModeAndBackAsSoonAsTheInstrumentAnswers)
{
    memory.SetDurataRiavvio([this] { return clock.Monotonic(); }, 0.3);
    for (const bool entra : {true, false}) {
        SCOPED_TRACE(entra);
        const std::uint8_t modo = entra ? 0x85 : 0x05;
        Forget();
        if (!entra) clock.SetTimeOfDay(kSecondsPerDay - 0.1);  // the wait ends across midnight too
        const double t0 = clock.Monotonic();
        // Every look that finds it not yet back is told, so that a window can show the wait.
        std::vector<double> waited;
        link.AttesaRiavvio = [&](double trascorsi, double limite) { waited.push_back(trascorsi / limite); };
        ASSERT_TRUE(link.SetUpdateMode(entra));
        EXPECT_GE(waited.size(), 6u);
        EXPECT_TRUE(std::ranges::is_sorted(waited));
        EXPECT_LT(waited.back(), 0.36 / (GetParam() ? 1.0 : 10.0));
        EXPECT_GE(clock.Monotonic() - t0, 0.3);
        EXPECT_LT(clock.Monotonic() - t0, 0.36);
        EXPECT_EQ(link.UpdateMode(), entra);
        EXPECT_EQ(memory.UpdateMode(), entra);
        EXPECT_EQ(memory.Configurazione()[4], modo);
        EXPECT_EQ(memory.Riavvii(), entra ? 1 : 2);
        // Read byte 4, write it back with bit 7 set or cleared, restart, then identify until answered:
        // one probe every 25-45 ms.
        const auto frames = Requests();
        ASSERT_GE(frames.size(), 4u);
        EXPECT_EQ(std::vector<Bytes>(frames.begin(), frames.begin() + 3),
                  (std::vector<Bytes>{Frame({15, 4, 0, 0, 1}), Frame({14, 4, 0, 0, 1, modo}), kRiavvio}));
        EXPECT_EQ(std::count(frames.begin() + 3, frames.end(), kIdentita), static_cast<long>(frames.size() - 3));
        EXPECT_GE(frames.size() - 3, 7u);
        EXPECT_LE(frames.size() - 3, 13u);
        EXPECT_EQ(noise, 0);
        // In update mode only the loader answers the version, with a single byte.
        EXPECT_TRUE(link.LeggiVersione());
    }
}

TEST_P(UpdateMode, AnInstrumentThatNeverComesBackFailsAtTheRestartLimit)
{
    const double limite = GetParam() ? 1.0 : 10.0;
    memory.SetDurataRiavvio([this] { return clock.Monotonic(); }, 1e6);
    const double t0 = clock.Monotonic();
    EXPECT_FALSE(link.SetUpdateMode(true));
    EXPECT_GT(clock.Monotonic() - t0, limite - 0.05);
    EXPECT_LE(clock.Monotonic() - t0, limite + 0.05);
    EXPECT_FALSE(link.UpdateMode());
    EXPECT_EQ(noise, 0);  // probes are not resynchronised
}

TEST_P(UpdateMode, AnIgnoredRestartFailsAtTheLimitAndTheProbeShowsTheInstrumentAsItIs)
{
    memory.Guasti().riavvioIgnorato = true;
    const double t0 = clock.Monotonic();
    EXPECT_FALSE(link.SetUpdateMode(true));
    EXPECT_LE(clock.Monotonic() - t0, (GetParam() ? 1.0 : 10.0) + 0.05);
    EXPECT_FALSE(link.UpdateMode());
    EXPECT_EQ(memory.Riavvii(), 1);
    EXPECT_GT(Count(1), 1u);
}

TEST_P(UpdateMode, AFailedReadOrWriteOfByte4NeverRestarts)
{
    memory.Guasti().risposteCorte = 1;
    EXPECT_FALSE(link.SetUpdateMode(true));
    EXPECT_EQ(Requests().size(), 1u);  // the read, and nothing after it

    memory.FallisciScrittura(1);
    EXPECT_FALSE(link.SetUpdateMode(true));
    EXPECT_EQ(memory.Configurazione()[4], 0x05);

    EXPECT_EQ(memory.Riavvii(), 0);
    EXPECT_EQ(Count(kCmdRiavvio), 0u);
    EXPECT_EQ(Count(1), 0u);
    EXPECT_FALSE(memory.UpdateMode());
}

TEST_P(UpdateMode, ARestartFrameWithoutEchoIsSentAgainAndNeverEchoedFails)
{
    // The write of byte 4 arms the fault, so that it hits the restart frames that follow it.
    int senzaEco = 1;
    instrument.SetCommand(14, [&](std::span<const std::uint8_t> a) {
        memory.Configurazione()[4] = a[4];
        instrument.Faults().missingEcho = senzaEco;
        return std::optional<Bytes>(Bytes{1});
    });
    EXPECT_TRUE(link.SetUpdateMode(true));
    EXPECT_EQ(Count(kCmdRiavvio), 2u);
    EXPECT_EQ(noise, 1);
    EXPECT_TRUE(link.UpdateMode());

    Forget();
    senzaEco = 4;
    EXPECT_FALSE(link.SetUpdateMode(false));
    EXPECT_EQ(Count(kCmdRiavvio), 4u);
    EXPECT_EQ(Count(1), 0u);  // no probe after a restart that was never taken
}

struct CasoModo {
    const char* nome;
    bool erroreMemoria;
    bool inUpdate;
    bool entra;
    int riavvii;
    bool updateDopo;
};

// Every case succeeds; what differs is whether the instrument is restarted.
const CasoModo kCasiModo[] = {
    {"leaving when not in update mode", false, false, false, 0, false},
    {"entering when already in it", false, true, true, 0, true},
    {"entering with a memory error", true, false, true, 0, false},
    {"leaving with a memory error when not in update mode", true, false, false, 1, false},
};

TEST_P(UpdateMode, AChangeIsMadeOnlyWhenNeededAndAMemoryErrorOnlyEverLeaves)
{
    for (const CasoModo& c : kCasiModo) {
        SCOPED_TRACE(c.nome);
        auto l = std::make_unique<SimLink>();
        l->memory.Guasti().erroreMemoria = c.erroreMemoria;
        l->memory.SetUpdateMode(c.inUpdate);
        l->memory.Configurazione()[4] = c.inUpdate ? 0x85 : 0x05;
        ASSERT_TRUE(l->Open(GetParam()));
        l->Forget();

        EXPECT_TRUE(l->link.SetUpdateMode(c.entra));
        EXPECT_EQ(l->memory.Riavvii(), c.riavvii);
        EXPECT_EQ(l->memory.UpdateMode(), c.updateDopo);
        EXPECT_EQ(l->link.UpdateMode(), c.updateDopo);
        EXPECT_EQ(l->Requests().empty(), c.riavvii == 0);
    }
}

// The loader answers the version with one byte: the mailbox a normal-mode reply reported is kept,
// so that the instrument can still be read, and taken out of update mode, behind it.
TEST(UpdateModeMailbox, TheLoadersVersionReplyKeepsTheMailboxReportedInNormalMode)
{
    sim::SimulatedPlatform platform;
    sim::BenchInstrument bench(platform, true);
    bench.memory.Configurazione()[4] = 0x05;
    bench.memory.Configurazione()[300] = 0x5A;
    const auto socket = platform.network.CreateSocket();
    UCZEM2 link(platform.clock, platform.usb, platform.network, *socket);
    ASSERT_TRUE(link.ApriPortaUSB(sim::BenchInstrument::kSerial));
    ASSERT_TRUE(link.LeggiVersione());
    ASSERT_TRUE(link.SetUpdateMode(true));
    EXPECT_TRUE(link.LeggiVersione());
    EXPECT_EQ(link.IndirizzoAreaPRAM(), bench.memory.Opzioni().indirizzoMailbox);
    EXPECT_EQ(link.ReadConfig1Byte(300), 0x5A);
    EXPECT_TRUE(link.SetUpdateMode(false));
    EXPECT_FALSE(bench.memory.UpdateMode());
}

// The next program meets the instrument a memory test left in update mode: the layouts heard
// are kept in a file, a damaged line costs only its own channel, and a layout is taken only by an
// instrument of the type that reported it.
TEST(UpdateModeMailbox, LayoutsHeardInNormalModeOutliveTheRunForTheSameInstrumentType)
{
    const auto file = std::filesystem::temp_directory_path() / ("layouts-" + std::to_string(::getpid()));
    const LayoutMemoria heard{360, 0x7F000, 300, 1, 14};
    RegistroLayout(file).Ricorda("USB:A1", heard);
    std::ofstream(file, std::ios::app) << "USB:B2 360 oops\n";
    RegistroLayout later(file);
    EXPECT_EQ(later.Ricordato("USB:A1"), heard);
    EXPECT_FALSE(later.Ricordato("USB:B2"));
    std::filesystem::remove(file);

    sim::SimulatedPlatform platform;
    sim::BenchInstrument bench(platform, true);
    const auto socket = platform.network.CreateSocket();
    auto openInUpdateMode = [&] {
        UCZEM2 link(platform.clock, platform.usb, platform.network, *socket);
        EXPECT_TRUE(link.ApriPortaUSB(sim::BenchInstrument::kSerial));
        EXPECT_TRUE(link.LeggiVersione());
        return link.IndirizzoAreaPRAM();
    };
    const std::string canale = std::string("USB:") + sim::BenchInstrument::kSerial;
    openInUpdateMode();  // normal mode: heard
    const auto vero = *LayoutDelProgramma().Ricordato(canale);
    bench.memory.SetUpdateMode(true);
    auto altroTipo = vero;
    altroTipo.protocollo += 1;
    LayoutDelProgramma().Ricorda(canale, altroTipo);
    EXPECT_EQ(openInUpdateMode(), 0u);
    LayoutDelProgramma().Ricorda(canale, vero);
    EXPECT_EQ(openInUpdateMode(), bench.memory.Opzioni().indirizzoMailbox);
}

INSTANTIATE_TEST_SUITE_P(Canali, UpdateMode, ::testing::Values(false, true), ChannelName);

TEST(UpdateModeUsb, WhatTheInstrumentSendsWhileRestartingIsDiscardedBeforeTheProbe)
{
    SimLink l;
    ASSERT_TRUE(l.Open(true));
    // The instrument's start-up chatter follows the echo of the restart frame.
    const Bytes avvio{0xAA, 0x55, 0x13, 0x00, 0x7E};
    l.bridge.AttachPeer(l.device, [&](std::span<const std::uint8_t> ricevuti) {
        std::vector<Bytes> uscita;
        for (auto& t : l.instrument.Receive(ricevuti)) uscita.push_back(t.bytes);
        if (Bytes(ricevuti.begin(), ricevuti.end()) == kRiavvio) uscita.push_back(avvio);
        return uscita;
    });
    EXPECT_TRUE(l.link.SetUpdateMode(true));
    EXPECT_TRUE(l.link.UpdateMode());
    EXPECT_EQ(l.noise, 0);
}

} // namespace
} // namespace zem::test
