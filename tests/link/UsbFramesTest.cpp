// The frame exchange over the USB bridge: what the bridge is told, the bytes written, retries,
// the resynchronisation sequence and the 0.7 s time-outs.
#include "tests/link/LinkFixture.h"

#include <algorithm>

namespace zem {
namespace {

using sim::BridgeCall;
using sim::FaultKind;

class UsbFrames : public LinkFixture {
protected:
    void SetUp() override
    {
        Echo(0x20);
        ASSERT_TRUE(OpenUsb());
        bridge.ClearWritten(device);
        noise = 0;
    }

    bool Send(std::vector<std::uint8_t> args)
    {
        return link.PreparaRichiesta(0x20, args) && link.EseguiComando()
            && std::equal(args.begin(), args.end(), link.BufferRX().begin() + 1) && link.BufferRX()[0] == args.size();
    }

    std::size_t ZerosWritten() const
    {
        const auto& w = bridge.Written(device);
        return static_cast<std::size_t>(std::count(w.begin(), w.end(), 0));
    }
};

TEST_F(UsbFrames, OpeningConfiguresTheBridgeAt1250000BaudAndKeepsTheSerial)
{
    const auto& s = bridge.Settings(device);
    EXPECT_EQ(s.baud, 1250000u);
    EXPECT_EQ(s.latencyMs, 1);
    EXPECT_EQ(s.inTransferSize, 4096u);
    EXPECT_EQ(link.SerialNumber(), kSerial);
    EXPECT_EQ(link.Protocollo(), 14);
    EXPECT_NE(link.HandlePortaUSB(), 0u);

    link.ChiudiComunicazione();
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_EQ(link.HandlePortaUSB(), 0u);
    EXPECT_EQ(link.SerialNumber(), "");
    EXPECT_EQ(link.Protocollo(), 0);
}

TEST_F(UsbFrames, AnIdentityFailureClosesTheBridgeAgain)
{
    link.ChiudiComunicazione();
    instrument.Faults().silence = 100;
    EXPECT_FALSE(OpenUsb());
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_EQ(link.HandlePortaUSB(), 0u);
    EXPECT_EQ(link.SerialNumber(), "");
}

TEST_F(UsbFrames, OpeningEthernetClosesTheBridgeSoTheSocketCarriesTheExchange)
{
    EXPECT_TRUE(OpenEth());
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_EQ(link.SerialNumber(), "");
    endpoint.received.clear();
    EXPECT_TRUE(Send({5}));
    EXPECT_EQ(endpoint.received.size(), 1u);
    EXPECT_TRUE(bridge.Written(device).empty());
}

TEST_F(UsbFrames, RequestAndEchoOnTheLine)
{
    EXPECT_TRUE(Send({0x11, 0x22}));
    EXPECT_EQ(bridge.Written(device), (std::vector<std::uint8_t>{0x04, 0x20, 0x11, 0x22, 0x57}));
    EXPECT_EQ(noise, 0);
}

struct GuastoUsb {
    const char* nome;
    std::function<void(LinkFixture&)> inietta;
};

class UsbFaults : public UsbFrames, public ::testing::WithParamInterface<GuastoUsb> {};

TEST_P(UsbFaults, OneBadAttemptIsResynchronisedAndTheSecondSucceeds)
{
    GetParam().inietta(*this);
    EXPECT_TRUE(Send({1, 2, 3})) << GetParam().nome;
    EXPECT_EQ(noise, 1);
    EXPECT_EQ(bridge.Calls(BridgeCall::ResetDevice), 1u);
    // One zero after the reset, 256 to complete any frame, one whose echo is awaited.
    EXPECT_EQ(ZerosWritten(), 258u);
    const auto& w = bridge.Written(device);
    ASSERT_EQ(w.size(), 6u + 258u + 6u);
    EXPECT_TRUE(std::equal(w.begin(), w.begin() + 6, w.end() - 6));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, UsbFaults,
    ::testing::Values(
        GuastoUsb{"reply lost", [](LinkFixture& f) { f.bridge.InstrumentToHost(f.device).Queue({FaultKind::Drop}, 1); }},
        GuastoUsb{"echo corrupted", [](LinkFixture& f) { f.bridge.InstrumentToHost(f.device).Queue({FaultKind::Corrupt, 2}); }},
        GuastoUsb{"reply checksum wrong", [](LinkFixture& f) { f.instrument.Faults().wrongChecksum = 1; }},
        GuastoUsb{"no echo", [](LinkFixture& f) { f.instrument.Faults().missingEcho = 1; }},
        GuastoUsb{"no reply", [](LinkFixture& f) { f.instrument.Faults().silence = 1; }},
        GuastoUsb{"request corrupted", [](LinkFixture& f) { f.bridge.HostToInstrument(f.device).Queue({FaultKind::Corrupt, 1}); }},
        GuastoUsb{"stale input before the request", [](LinkFixture& f) {
            const std::uint8_t stale[] = {0x99};
            f.bridge.InjectReceived(f.device, stale); }}),
    [](const auto& info) {
        std::string n = info.param.nome;
        for (char& c : n) if (c == ' ' || c == '.') c = '_';
        return n;
    });

TEST_F(UsbFrames, AReplyInsideTheTimeOutIsTakenAndOneAfterItFailsTheAttempt)
{
    bridge.InstrumentToHost(device).Queue({FaultKind::Delay, 0, 0, 0, 0.65}, 1);
    EXPECT_TRUE(Send({1}));
    EXPECT_EQ(noise, 0);

    // The late reply still arrives during the resynchronisation and may spoil one more attempt.
    bridge.InstrumentToHost(device).Queue({FaultKind::Delay, 0, 0, 0, 0.9}, 1);
    EXPECT_TRUE(Send({1}));
    EXPECT_GE(noise, 1);
}

TEST_F(UsbFrames, AFailedResetReopensTheBridgeAtTheLinkSpeed)
{
    instrument.Faults().silence = 1;
    bridge.Fail(BridgeCall::ResetDevice, FT_IO_ERROR);
    EXPECT_TRUE(Send({1}));
    EXPECT_EQ(bridge.Settings(device).baud, 1250000u);
    EXPECT_TRUE(bridge.IsOpen(device));
    EXPECT_GE(bridge.Calls(BridgeCall::OpenEx), 2u);
}

TEST_F(UsbFrames, ADeadInstrumentCostsFourBoundedAttempts)
{
    instrument.Faults().deaf = true;
    const double start = clock.Monotonic();
    EXPECT_FALSE(Send({1}));
    EXPECT_EQ(noise, 4);
    // Per attempt: the echo wait (after one driver read time-out), two resets each followed by an unanswered flush, the discard.
    EXPECT_LT(clock.Monotonic() - start, 4 * (0.7 + 2 * (0.7 + 0.1) + 0.7) + 0.5);
}

TEST_F(UsbFrames, TimeOutsHoldAcrossMidnight)
{
    clock.SetTimeOfDay(kSecondsPerDay - 0.2);
    instrument.Faults().deaf = true;
    EXPECT_FALSE(Send({1}));
    EXPECT_LT(clock.Timer(), 20.0);
}

} // namespace
} // namespace zem
