// PRAM and configuration-memory access against the simulated memories: requests on the wire, the
// split into blocks, the mailbox path and its chunking, and the integer and string helpers.
#include "sim/SimulatedMemory.h"
#include "tests/link/LinkFixture.h"

#include <algorithm>
#include <numeric>

namespace zem {
namespace {

class MemoryAccess : public LinkFixture {
protected:
    explicit MemoryAccess(sim::SimulatedMemory::Options o = {}) : memory(instrument, o) {}

    void SetUp() override
    {
        ASSERT_TRUE(OpenEth());
        ASSERT_TRUE(link.LeggiVersione());
        endpoint.received.clear();
    }

    // Requests with that command code (and, for command 34, that mailbox code) seen on the wire.
    std::size_t Requests(std::uint8_t code, int mailboxCode = -1) const
    {
        return static_cast<std::size_t>(std::count_if(endpoint.received.begin(), endpoint.received.end(), [&](const auto& d) {
            return d.size() > 2 && d[1] == code && (mailboxCode < 0 || (d.size() == 4 && d[2] == mailboxCode));
        }));
    }

    sim::SimulatedMemory memory;
};

TEST_F(MemoryAccess, PRamReadsGoIn18ByteRequests)
{
    std::iota(memory.PRAM().begin(), memory.PRAM().begin() + 100, 0);
    struct Caso {
        std::size_t n, requests;
    };
    for (const Caso c : {Caso{18, 1}, Caso{19, 2}, Caso{36, 2}, Caso{0, 0}, Caso{1, 1}}) {
        endpoint.received.clear();
        std::vector<std::uint8_t> data(c.n, 0xEE);
        EXPECT_TRUE(link.LeggiPRamBlocco(10, data));
        EXPECT_EQ(Requests(15), c.requests) << c.n;
        for (std::size_t i = 0; i < c.n; ++i) ASSERT_EQ(data[i], 10 + i);
    }
}

TEST_F(MemoryAccess, AReplyOfTheWrongLengthFailsTheReadEvenWithAGoodChecksum)
{
    memory.Guasti().risposteCorte = 1;
    std::array<std::uint8_t, 4> data{};
    EXPECT_FALSE(link.LeggiPRamBlocco(0, data));
    memory.Guasti().risposteCorte = 1;
    EXPECT_FALSE(link.ReadPRam1Byte(0));
}

TEST_F(MemoryAccess, PRamWritesOnTheWire)
{
    ASSERT_TRUE(link.WritePRam1Byte(0x012345, 0xAB));
    const std::vector<std::uint8_t> atteso{0x07, 0x0E, 0x45, 0x23, 0x01, 0x01, 0xAB,
                                           static_cast<std::uint8_t>(0x07 + 0x0E + 0x45 + 0x23 + 0x01 + 0x01 + 0xAB)};
    EXPECT_EQ(endpoint.received.at(0), atteso);
    EXPECT_EQ(memory.PRAM()[0x012345], 0xAB);

    endpoint.received.clear();
    std::vector<std::uint8_t> data(20);
    std::iota(data.begin(), data.end(), 1);
    ASSERT_TRUE(link.WritePRamBytes1(0x100, data));
    ASSERT_EQ(endpoint.received.size(), 2u);
    EXPECT_EQ(endpoint.received[0][0], 24);  // 5 + 18, plus the checksum
    EXPECT_EQ(endpoint.received[0][5], 18);
    EXPECT_EQ(endpoint.received[1][5], 2);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.PRAM().begin() + 0x100));

    ASSERT_TRUE(link.ScriviPRam2Byte(0x200, 0xBEEF));
    EXPECT_EQ(link.LeggiPRam2Byte(0x200), 0xBEEF);
}

TEST_F(MemoryAccess, ANegativeAcknowledgementStopsAWrite)
{
    memory.Guasti().ackSbagliati = 1;
    std::vector<std::uint8_t> data(40, 7);
    EXPECT_FALSE(link.WritePRamBytes1(0x100, data));
    EXPECT_EQ(Requests(14), 1u);
}

TEST_F(MemoryAccess, IntegerAndStringWritersEncodeAsTheInstrumentStoresThem)
{
    ASSERT_TRUE(link.ScriviConfigIntero(0x300, -5));
    EXPECT_EQ(memory.PRAM()[0x300], 0x00);
    EXPECT_EQ(memory.PRAM()[0x301], 0x00);
    ASSERT_TRUE(link.ScriviConfigInteroConSegno(0x300, -5));
    EXPECT_EQ(memory.PRAM()[0x300], 0xFB);
    EXPECT_EQ(memory.PRAM()[0x301], 0xFF);
    ASSERT_TRUE(link.ScriviConfigIntero(0x300, 70000));  // beyond a word: the largest word, not a wrap
    EXPECT_EQ(link.LeggiConfig2Byte(0x300), 0xFFFF);
    ASSERT_TRUE(link.ScriviConfigByte(0x302, -1));
    EXPECT_EQ(link.ReadConfig1Byte(0x302), 0);

    ASSERT_TRUE(link.ScriviConfigStringa(0x400, "PRESSA LINEA SETTE", 15));
    EXPECT_EQ(memory.PRAM()[0x400], 15);
    EXPECT_EQ(link.LeggiStringaConfig(0x400, 15), "PRESSA LINEA SE");
    ASSERT_TRUE(link.ScriviConfigStringa(0x500, "A NAME OF TWENTY-TWO.", 23));
    EXPECT_EQ(link.LeggiStringaConfig(0x500, 23), "A NAME OF TWENTY-TWO.");
    // A length byte larger than the caller's maximum is clamped to it.
    EXPECT_EQ(link.LeggiStringaConfig(0x500, 4), "A NA");
}

TEST(EstraiStringa, StaysInsideTheBytes)
{
    const std::vector<std::uint8_t> b{3, 'a', 'b', 'c', 9, 'x'};
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 0), "abc");
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 4), "x");  // length 9, one byte present
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 6), "");
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 100), "");
}

sim::SimulatedMemory::Options Mailbox(std::uint16_t size)
{
    sim::SimulatedMemory::Options o;
    o.configurazioneInPRAM = false;
    o.dimensioneMailbox = size;
    return o;
}

class MailboxAccess : public MemoryAccess {
protected:
    MailboxAccess() : MemoryAccess(Mailbox(260)) {}
};

TEST_F(MailboxAccess, AWriteAcrossAPageBoundaryGoesAsTwoMailboxJobs)
{
    EXPECT_FALSE(link.ConfigurazioneInPRAM());
    EXPECT_EQ(link.IndirizzoAreaPRAM(), 0x7F000u);
    const std::vector<std::uint8_t> data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(link.WriteConfigBytes(0x01FA, data));
    EXPECT_EQ(Requests(34, 5), 2u);
    const auto& w = memory.ScrittureConfigurazione();
    ASSERT_EQ(w.size(), 10u);
    EXPECT_EQ(w.front(), (std::pair<std::uint32_t, std::uint8_t>{0x01FA, 1}));
    EXPECT_EQ(w.back(), (std::pair<std::uint32_t, std::uint8_t>{0x0203, 10}));

    std::vector<std::uint8_t> back(10);
    ASSERT_TRUE(link.ReadConfigBytes(0x01FA, back));
    EXPECT_EQ(back, data);
}

TEST_F(MailboxAccess, AFullPageIsSplitSoTheCountByteNeverWraps)
{
    std::vector<std::uint8_t> data(256);
    std::iota(data.begin(), data.end(), 0);
    ASSERT_TRUE(link.WriteConfigBytes(0x0300, data));
    EXPECT_EQ(Requests(34, 5), 2u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.Configurazione().begin() + 0x300));
}

TEST_F(MailboxAccess, NothingToWriteSendsNothingAndAddressesBeyondTheMailboxReachAreRefused)
{
    EXPECT_TRUE(link.WriteConfigBytes(0x100, {}));
    EXPECT_TRUE(endpoint.received.empty());
    std::array<std::uint8_t, 4> b{};
    EXPECT_FALSE(link.ReadConfigBytes(0xFFFE, b));
    EXPECT_FALSE(link.WriteConfigBytes(0x10000, b));
    EXPECT_TRUE(endpoint.received.empty());
}

TEST_F(MailboxAccess, AMailboxThatStaysBusyFailsWithinItsTimeOut)
{
    memory.Guasti().mailboxSempreOccupata = true;
    const double start = clock.Monotonic();
    std::array<std::uint8_t, 4> b{};
    EXPECT_FALSE(link.ReadConfigBytes(0x100, b));
    EXPECT_LT(clock.Monotonic() - start, 1.5);
}

class SmallMailbox : public MemoryAccess {
protected:
    SmallMailbox() : MemoryAccess(Mailbox(10)) {}
};

TEST_F(SmallMailbox, TransfersAreChunkedToWhatTheMailboxHolds)
{
    std::vector<std::uint8_t> data(20);
    std::iota(data.begin(), data.end(), 100);
    ASSERT_TRUE(link.WriteConfigBytes(0x0100, data));
    EXPECT_EQ(Requests(34, 5), 4u);  // 6 + 6 + 6 + 2
    std::vector<std::uint8_t> back(20);
    endpoint.received.clear();
    ASSERT_TRUE(link.ReadConfigBytes(0x0100, back));
    EXPECT_EQ(Requests(34, 3), 4u);
    EXPECT_EQ(back, data);
}

class TinyMailbox : public MemoryAccess {
protected:
    TinyMailbox() : MemoryAccess(Mailbox(4)) {}
};

TEST_F(TinyMailbox, AMailboxWithNoRoomForDataFailsAtOnce)
{
    std::array<std::uint8_t, 3> b{};
    EXPECT_FALSE(link.ReadConfigBytes(0x100, b));
    EXPECT_FALSE(link.WriteConfigBytes(0x100, b));
    EXPECT_TRUE(endpoint.received.empty());
}

} // namespace
} // namespace zem
