// The frame exchange over the Ethernet channel, against the simulated instrument on the in-process
// network: bytes on the wire, retries, resynchronisation and time-outs.
#include "tests/SimLink.h"

namespace zem::test {
namespace {

using sim::FaultKind;

class EthFrames : public ::testing::Test, public SimLink {
protected:
    void SetUp() override
    {
        Echo(0x20);
        ASSERT_TRUE(OpenEth());
        Forget();
    }
};

TEST_F(EthFrames, FramesCarryCountAndChecksumRepliesEndAt50AndUnsendableRequestsSendNothing)
{
    // 03 + 20 + DD = 0x100: the checksum would be 0 and goes as 1.
    ASSERT_TRUE(Send(0x20, {0xDD}));
    EXPECT_EQ(endpoint.received.at(0), (Bytes{0x03, 0x20, 0xDD, 0x01}));
    // A reply whose own sum is a multiple of 256 carries 01 and is accepted.
    Answer(0x31, {0xFE});
    EXPECT_EQ(Send(0x31), Bytes{0xFE});
    // A single 1 is an acknowledgement; any other single byte is not.
    for (const std::uint8_t b : {1, 2}) {
        Answer(0x30, {b});
        EXPECT_TRUE(link.PreparaRichiesta(0x30, {}));
        EXPECT_EQ(link.ComandoConEsito(), b == 1);
    }
    EXPECT_EQ(noise, 0);
    // A reply count up to 50 is accepted; above, every attempt fails.
    Answer(0x40, Bytes(49, 7));
    EXPECT_EQ(Send(0x40), Bytes(49, 7));
    Answer(0x41, Bytes(50, 7));
    EXPECT_FALSE(Send(0x41));
    EXPECT_EQ(noise, 4);

    // Requests that cannot be sent are refused without sending.
    Forget();
    EXPECT_FALSE(link.PreparaRichiesta(0x20, Bytes(254, 1)));
    link.BufferTX()[0] = 255;
    EXPECT_FALSE(link.EseguiComando());
    socket->failSends = true;
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_TRUE(endpoint.received.empty());
}

// Forgers on another address, and on the instrument's address but another port, answer before
// the instrument (5 ms late): their replies are dropped and counted, the instrument's is used.
TEST_F(EthFrames, RepliesFromAnotherAddressOrPortAreDroppedWhileTheInstrumentAnswers)
{
    endpoint.latencySeconds = 0.005;
    Bytes forged = Frame({0x20, 1, 2, 3});
    const Bytes lie = Frame({0x20, 9, 9, 9});
    forged.insert(forged.end(), lie.begin(), lie.end());
    for (int i = 0; i < 3; ++i) {
        network.Deliver(*socket, forged, 0.0001, "127.0.0.2", kPort);
        network.Deliver(*socket, forged, 0.0002, kHost, kPort + 1);
        EXPECT_EQ(Send(0x20, {1, 2, 3}), (Bytes{1, 2, 3}));
    }
    EXPECT_EQ(socket->DatagramsFromOthers(), 6u);
    EXPECT_EQ(noise, 0);
}

class EthFaults : public EthFrames, public ::testing::WithParamInterface<Fault> {};

TEST_P(EthFaults, OneBadAttemptIsResynchronisedAndTheSecondSucceeds)
{
    GetParam().inject(*this);
    EXPECT_EQ(Send(0x20, {1, 2, 3}), (Bytes{1, 2, 3}));
    EXPECT_EQ(noise, 1);
    // The resynchronisation on the wire: 41 zero bytes, then a single zero, then the request again.
    const auto& d = endpoint.received;
    ASSERT_GE(d.size(), 4u);
    EXPECT_EQ(std::vector(d.begin() + 1, d.begin() + 4), (std::vector<Bytes>{Bytes(41, 0), Bytes(1, 0), d[0]}));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, EthFaults,
    ::testing::Values(
        Fault{"ReplyLost", [](SimLink& f) { f.endpoint.toHost.Queue({FaultKind::Drop}); }},
        Fault{"EchoCorrupted", [](SimLink& f) { f.endpoint.toHost.Queue({FaultKind::Corrupt, 1}); }},
        Fault{"ReplyChecksumWrong", [](SimLink& f) { f.instrument.Faults().wrongChecksum = 1; }},
        Fault{"ReplyCount0", [](SimLink& f) { f.endpoint.toHost.Queue({FaultKind::Corrupt, 6, 1, 0x04}); }},
        Fault{"NoEcho", [](SimLink& f) { f.instrument.Faults().missingEcho = 1; }},
        Fault{"NoReply", [](SimLink& f) { f.instrument.Faults().silence = 1; }},
        Fault{"RequestCorrupted", [](SimLink& f) { f.endpoint.toInstrument.Queue({FaultKind::Corrupt, 2}); }},
        Fault{"ReplyAfterASecond", [](SimLink& f) { f.endpoint.toHost.Queue({FaultKind::Delay, 0, 0, 0, 1.05}); }},
        Fault{"DatagramLargerThanTheBuffers", [](SimLink& f) {
            f.network.Deliver(*f.socket, Bytes(5000, 0x33), 0.0001, SimLink::kHost, SimLink::kPort); }}),
    FaultName);

TEST_F(EthFrames, FailuresEndWithinTheirTimeOutsEvenAcrossMidnight)
{
    // Each attempt: 1 s for the echo, 0.8 s of settling, the zero echo at once.
    instrument.Faults().silence = 100;
    double start = clock.Monotonic();
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(noise, 4);
    EXPECT_LT(clock.Monotonic() - start, 4 * (1.0 + 0.8 + 0.1) + 0.5);

    // A failed resynchronisation (3 s for the zero's echo) ends the transaction at once.
    instrument.Faults() = {};
    instrument.Faults().deaf = true;
    Forget();
    start = clock.Monotonic();
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(noise, 1);
    EXPECT_EQ(endpoint.received.size(), 3u);  // request, 41 zeros, one zero
    EXPECT_LT(clock.Monotonic() - start, 1.0 + 0.8 + 3.0 + 0.1);

    instrument.Faults() = {};
    instrument.Faults().silence = 1;
    clock.SetTimeOfDay(kSecondsPerDay - 0.3);
    Forget();
    EXPECT_TRUE(Send(0x20, {1}));
    EXPECT_EQ(noise, 1);
    EXPECT_LT(clock.Timer(), 10.0);
}

} // namespace
} // namespace zem::test
