// The frame exchange over the USB bridge: what the bridge is told, the bytes written, retries,
// the resynchronisation sequence and the 0.7 s time-outs.
#include "link/LinkCounters.h"
#include "tests/SimLink.h"

#include <set>
#include <string_view>

namespace zem::test {
namespace {

using sim::BridgeCall;
using sim::FaultKind;

class UsbFrames : public ::testing::Test, public SimLink {
protected:
    void SetUp() override
    {
        Echo(0x20);
        ASSERT_TRUE(OpenUsb());
        Forget();
    }
};

TEST_F(UsbFrames, OpeningConfiguresTheBridgeAndClosingOrEthernetReleasesIt)
{
    const auto& s = bridge.Settings(device);
    EXPECT_EQ(std::tie(s.baud, s.latencyMs, s.inTransferSize), std::tuple(1250000u, 1, 4096u));
    EXPECT_EQ(link.SerialNumber(), kSerial);
    EXPECT_EQ(link.Protocollo(), 14);
    EXPECT_EQ(Send(0x20, {0x11, 0x22}), (Bytes{0x11, 0x22}));
    EXPECT_EQ(bridge.Written(device), (Bytes{0x04, 0x20, 0x11, 0x22, 0x57}));

    link.ChiudiComunicazione();
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_EQ(link.HandlePortaUSB(), 0u);
    EXPECT_EQ(link.SerialNumber() + std::to_string(link.Protocollo()), "0");
    // An identity failure closes the bridge again.
    instrument.Faults().silence = 100;
    EXPECT_FALSE(OpenUsb());
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_EQ(link.SerialNumber(), "");
    instrument.Faults().silence = 0;
    ASSERT_TRUE(OpenUsb());
    EXPECT_TRUE(OpenEth());  // the socket carries the exchange from now on
    EXPECT_FALSE(bridge.IsOpen(device));
}

class UsbFaults : public UsbFrames, public ::testing::WithParamInterface<Fault> {};

TEST_P(UsbFaults, OneBadAttemptIsResynchronisedAndTheSecondSucceeds)
{
    GetParam().inject(*this);
    EXPECT_EQ(Send(0x20, {1, 2, 3}), (Bytes{1, 2, 3}));
    EXPECT_EQ(noise, 1);
    EXPECT_EQ(bridge.Calls(BridgeCall::ResetDevice), 1u);
    // One zero after the reset, 256 to complete any frame, one whose echo is awaited: then the
    // request again.
    const auto& w = bridge.Written(device);
    ASSERT_EQ(w.size(), 6u + 258u + 6u);
    EXPECT_EQ(Bytes(w.begin() + 6, w.end() - 6), Bytes(258, 0));
    EXPECT_TRUE(std::equal(w.begin(), w.begin() + 6, w.end() - 6));
}

// A garbled attempt counts as a bad reply, a missing one as a time-out; either way one retry, one resync.
TEST_P(UsbFaults, TheLinkCountersTellALostAttemptFromAGarbledOne)
{
    const std::set<std::string_view> lost = {"ReplyLost", "NoEcho", "NoReply", "RequestCorrupted"};
    LinkCounters counted;
    const LinkCounters::Tally tally(counted);
    GetParam().inject(*this);
    ASSERT_TRUE(Send(0x20, {1, 2, 3}));
    const std::uint64_t timedOut = lost.contains(GetParam().name) ? 1 : 0;
    EXPECT_EQ(counted, (LinkCounters{1, 2, 1, 1, timedOut, 1 - timedOut, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, UsbFaults,
    ::testing::Values(
        Fault{"ReplyLost", [](SimLink& f) { f.bridge.InstrumentToHost(f.device).Queue({FaultKind::Drop}, 1); }},
        Fault{"EchoCorrupted", [](SimLink& f) { f.bridge.InstrumentToHost(f.device).Queue({FaultKind::Corrupt, 2}); }},
        Fault{"ReplyChecksumWrong", [](SimLink& f) { f.instrument.Faults().wrongChecksum = 1; }},
        Fault{"NoEcho", [](SimLink& f) { f.instrument.Faults().missingEcho = 1; }},
        Fault{"NoReply", [](SimLink& f) { f.instrument.Faults().silence = 1; }},
        Fault{"RequestCorrupted", [](SimLink& f) { f.bridge.HostToInstrument(f.device).Queue({FaultKind::Corrupt, 1}); }},
        Fault{"StaleInputBeforeTheRequest", [](SimLink& f) {
            const std::uint8_t stale[] = {0x99};
            f.bridge.InjectReceived(f.device, stale); }}),
    FaultName);

TEST_F(UsbFrames, ADeadInstrumentCostsFourBoundedAttemptsEvenAcrossMidnight)
{
    instrument.Faults().deaf = true;
    const double start = clock.Monotonic();
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(noise, 4);
    // Per attempt: the echo wait (after one driver read time-out), two resets each followed by an
    // unanswered flush, the discard.
    EXPECT_LT(clock.Monotonic() - start, 4 * (0.7 + 2 * (0.7 + 0.1) + 0.7) + 0.5);
    clock.SetTimeOfDay(kSecondsPerDay - 0.2);
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_LT(clock.Timer(), 20.0);
}

TEST_F(UsbFrames, ABridgeLostInAResynchronisationSendsNothingToTheLastNetworkInstrument)
{
    ASSERT_TRUE(OpenEth());
    ASSERT_TRUE(OpenUsb());
    Forget();
    instrument.Faults().silence = 1;
    bridge.Fail(BridgeCall::ResetDevice, FT_IO_ERROR, sim::SimulatedBridge::kAlways);
    bridge.Fail(BridgeCall::OpenEx, FT_DEVICE_NOT_FOUND, sim::SimulatedBridge::kAlways);
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(link.HandlePortaUSB(), 0u);
    EXPECT_TRUE(endpoint.received.empty());
    EXPECT_EQ(bridge.Written(device), Frame({0x20, 1}));
}

} // namespace
} // namespace zem::test
