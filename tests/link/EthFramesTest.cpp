// The frame exchange over the Ethernet channel, against the simulated instrument on the in-process
// network: bytes on the wire, retries, resynchronisation and time-outs.
#include "tests/link/LinkFixture.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

using sim::FaultKind;
using sim::LineFault;

class EthFrames : public LinkFixture {
protected:
    void SetUp() override
    {
        Echo(0x20);
        ASSERT_TRUE(OpenEth());
        endpoint.received.clear();
        noise = 0;
    }

    // Sends the request `code, args...` and returns the reply payload, or nothing on failure.
    std::optional<std::vector<std::uint8_t>> Send(std::uint8_t code, std::vector<std::uint8_t> args = {})
    {
        if (!link.PreparaRichiesta(code, args) || !link.EseguiComando()) return std::nullopt;
        const auto& rx = link.BufferRX();
        return std::vector<std::uint8_t>(rx.begin() + 1, rx.begin() + 1 + rx[0]);
    }

    std::vector<std::uint8_t> Datagram(std::size_t i) const { return endpoint.received.at(i); }
};

TEST_F(EthFrames, RequestsGoOnTheWireWithCountAndChecksumAndZeroSumIsSentAsOne)
{
    instrument.SetCommand(4, [](auto) { return std::vector<std::uint8_t>{0, 0}; });
    link.BufferTX()[0] = 1;
    link.BufferTX()[1] = 4;
    ASSERT_TRUE(link.EseguiComando());
    EXPECT_EQ(Datagram(0), (std::vector<std::uint8_t>{0x02, 0x04, 0x06}));

    // 03 + 20 + DD = 0x100: the checksum would be 0 and goes as 1.
    endpoint.received.clear();
    ASSERT_TRUE(Send(0x20, {0xDD}));
    EXPECT_EQ(Datagram(0), (std::vector<std::uint8_t>{0x03, 0x20, 0xDD, 0x01}));
}

TEST_F(EthFrames, ReplyPayloadLandsInBufferRXWithItsCount)
{
    instrument.SetCommand(0x30, [](auto) { return std::vector<std::uint8_t>{1}; });
    EXPECT_TRUE(link.PreparaRichiesta(0x30, {}));
    EXPECT_TRUE(link.ComandoConEsito());
    EXPECT_EQ(link.BufferRX()[0], 1);
    EXPECT_EQ(link.BufferRX()[1], 1);

    // A reply whose own sum is a multiple of 256 carries 01 and is accepted.
    instrument.SetCommand(0x31, [](auto) { return std::vector<std::uint8_t>{0xFE}; });
    EXPECT_EQ(Send(0x31), (std::vector<std::uint8_t>{0xFE}));
    // Any other single byte is not an acknowledgement.
    instrument.SetCommand(0x32, [](auto) { return std::vector<std::uint8_t>{2}; });
    EXPECT_TRUE(link.PreparaRichiesta(0x32, {}));
    EXPECT_FALSE(link.ComandoConEsito());
    EXPECT_EQ(noise, 0);
}

TEST_F(EthFrames, ReplyCountUpTo50IsAcceptedAndAboveFailsEveryAttempt)
{
    instrument.SetCommand(0x40, [](auto) { return std::vector<std::uint8_t>(49, 7); });
    const auto reply = Send(0x40);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 49u);

    instrument.SetCommand(0x41, [](auto) { return std::vector<std::uint8_t>(50, 7); });
    EXPECT_FALSE(Send(0x41));
    EXPECT_EQ(noise, 4);
}

TEST_F(EthFrames, RequestTooLongForTheCountByteIsRefusedWithoutSending)
{
    EXPECT_FALSE(link.PreparaRichiesta(0x20, std::vector<std::uint8_t>(254, 1)));
    link.BufferTX()[0] = 255;
    EXPECT_FALSE(link.EseguiComando());
    EXPECT_TRUE(endpoint.received.empty());
}

struct GuastoEth {
    const char* nome;
    std::function<void(LinkFixture&)> inietta;
};

class EthFaults : public EthFrames, public ::testing::WithParamInterface<GuastoEth> {};

TEST_P(EthFaults, OneBadAttemptIsResynchronisedAndTheSecondSucceeds)
{
    GetParam().inietta(*this);
    const auto reply = Send(0x20, {1, 2, 3});
    ASSERT_TRUE(reply) << GetParam().nome;
    EXPECT_EQ(*reply, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(noise, 1);
    // The resynchronisation on the wire: 41 zero bytes, then a single zero, then the request again.
    ASSERT_GE(endpoint.received.size(), 4u);
    EXPECT_EQ(Datagram(1), std::vector<std::uint8_t>(41, 0));
    EXPECT_EQ(Datagram(2), std::vector<std::uint8_t>(1, 0));
    EXPECT_EQ(Datagram(3), Datagram(0));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, EthFaults,
    ::testing::Values(
        GuastoEth{"reply lost", [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Drop}); }},
        GuastoEth{"echo corrupted", [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Corrupt, 1}); }},
        GuastoEth{"echoed checksum corrupted",
                  [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Corrupt, 5}); }},
        GuastoEth{"reply checksum wrong", [](LinkFixture& f) { f.instrument.Faults().wrongChecksum = 1; }},
        GuastoEth{"reply count 0", [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Corrupt, 6, 1, 0x04}); }},
        GuastoEth{"no echo", [](LinkFixture& f) { f.instrument.Faults().missingEcho = 1; }},
        GuastoEth{"no reply", [](LinkFixture& f) { f.instrument.Faults().silence = 1; }},
        GuastoEth{"request corrupted", [](LinkFixture& f) { f.endpoint.toInstrument.Queue({FaultKind::Corrupt, 2}); }},
        GuastoEth{"reply after 1 s", [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Delay, 0, 0, 0, 1.05}); }},
        GuastoEth{"reply truncated", [](LinkFixture& f) { f.endpoint.toHost.Queue({FaultKind::Drop, 7}); }}),
    [](const auto& info) {
        std::string n = info.param.nome;
        for (char& c : n) if (c == ' ' || c == '.') c = '_';
        return n;
    });

TEST_F(EthFrames, AnswersThatStillMakeAGoodFrameNeedNoRetry)
{
    // Echo and reply split over two datagrams, a reply 0.95 s late, a stale datagram waiting
    // before the request, a reply duplicated after the exchange.
    endpoint.split = true;
    EXPECT_TRUE(Send(0x20, {9}));
    endpoint.split = false;
    endpoint.toHost.Queue({FaultKind::Delay, 0, 0, 0, 0.95});
    EXPECT_TRUE(Send(0x20, {9}));
    network.Deliver(*socket, {0x55, 0x66}, 0, "127.0.0.1", 7000);
    EXPECT_TRUE(Send(0x20, {9}));
    endpoint.toHost.Queue({FaultKind::Split, 3, 0, 0, 0.2});
    EXPECT_TRUE(Send(0x20, {9}));
    EXPECT_EQ(noise, 0);
}

TEST_F(EthFrames, FourFailedAttemptsGiveFalseWithinTheirTimeOuts)
{
    instrument.Faults().silence = 100;
    const double start = clock.Monotonic();
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(noise, 4);
    // Each attempt: 1 s for the echo, 0.8 s of settling, the zero echo at once.
    EXPECT_LT(clock.Monotonic() - start, 4 * (1.0 + 0.8 + 0.1) + 0.5);
}

TEST_F(EthFrames, AFailedResynchronisationEndsTheTransactionAtOnce)
{
    instrument.Faults().deaf = true;
    const double start = clock.Monotonic();
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_EQ(noise, 1);
    EXPECT_EQ(endpoint.received.size(), 3u);  // request, 41 zeros, one zero
    EXPECT_LT(clock.Monotonic() - start, 1.0 + 0.8 + 3.0 + 0.1);
}

TEST_F(EthFrames, TimeOutsHoldAcrossMidnight)
{
    clock.SetTimeOfDay(kSecondsPerDay - 0.3);
    instrument.Faults().silence = 1;
    EXPECT_TRUE(Send(0x20, {1}));
    EXPECT_EQ(noise, 1);
    EXPECT_LT(clock.Timer(), 10.0);
}

TEST_F(EthFrames, ASocketThatCannotSendFailsLikeASilentLine)
{
    socket->failSends = true;
    EXPECT_FALSE(Send(0x20, {1}));
    EXPECT_TRUE(endpoint.received.empty());
}

} // namespace
} // namespace zem

namespace zem {
namespace {

TEST_F(LinkFixture, ADatagramLargerThanTheBuffersIsNeverCopiedPastThem)
{
    ASSERT_TRUE(OpenEth());
    bool junk = true;
    instrument.SetCommand(0x50, [&](auto) {
        if (junk) network.Deliver(*socket, std::vector<std::uint8_t>(5000, 0x33), 0.0001, kHost, kPort);
        junk = false;
        return std::vector<std::uint8_t>{7};
    });
    EXPECT_TRUE(link.PreparaRichiesta(0x50, {}));
    EXPECT_TRUE(link.EseguiComando());
    EXPECT_EQ(link.BufferRX()[0], 1);
    EXPECT_EQ(link.BufferRX()[1], 7);
    EXPECT_EQ(noise, 1);
}

} // namespace
} // namespace zem
