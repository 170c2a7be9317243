// PRAM and configuration-memory access against the simulated memories: requests on the wire, the
// split into blocks, the mailbox path and its chunking, and the integer and string helpers.
#include "tests/SimLink.h"

#include <numeric>

namespace zem::test {
namespace {

class MemoryAccess : public ::testing::Test, public SimLink {
protected:
    explicit MemoryAccess(sim::SimulatedMemory::Options o = {}) : SimLink(o) {}
    void SetUp() override
    {
        ASSERT_TRUE(OpenEth());
        ASSERT_TRUE(link.LeggiVersione());
        Forget();
    }
};

TEST_F(MemoryAccess, PRamGoesIn18ByteRequestsAndAWrongLengthOrAckFailsIt)
{
    std::iota(memory.PRAM().begin(), memory.PRAM().begin() + 100, 0);
    for (const auto& [n, requests] : {std::pair<std::size_t, std::size_t>{18, 1}, {19, 2}, {36, 2}, {0, 0}}) {
        Forget();
        std::vector<std::uint8_t> data(n, 0xEE);
        EXPECT_TRUE(link.LeggiPRamBlocco(10, data));
        EXPECT_EQ(Count(15), requests) << n;
        for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(data[i], 10 + i);
    }
    Forget();
    std::vector<std::uint8_t> data(20);
    std::iota(data.begin(), data.end(), 1);
    ASSERT_TRUE(link.WritePRamBytes1(0x012345, data));
    EXPECT_EQ(Requests().at(1), Frame({0x0E, 0x57, 0x23, 0x01, 0x02, 19, 20}));
    EXPECT_EQ(Requests()[0][5], 18);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.PRAM().begin() + 0x012345));

    memory.Guasti().risposteCorte = 1;
    EXPECT_FALSE(link.ReadPRam1Byte(0));  // even with a good checksum
    memory.Guasti().ackSbagliati = 1;
    Forget();
    EXPECT_FALSE(link.WritePRamBytes1(0x100, data));
    EXPECT_EQ(Count(14), 1u);
}

TEST_F(MemoryAccess, IntegerAndStringWritersEncodeAsTheInstrumentStoresThem)
{
    ASSERT_TRUE(link.ScriviConfigIntero(0x300, -5));
    EXPECT_EQ(link.LeggiConfig2Byte(0x300), 0);
    ASSERT_TRUE(link.ScriviConfigInteroConSegno(0x300, -5));
    EXPECT_EQ(Bytes(memory.PRAM().begin() + 0x300, memory.PRAM().begin() + 0x302), (Bytes{0xFB, 0xFF}));
    ASSERT_TRUE(link.ScriviConfigIntero(0x300, 70000));  // beyond a word: the largest word, not a wrap
    EXPECT_EQ(link.LeggiConfig2Byte(0x300), 0xFFFF);
    ASSERT_TRUE(link.ScriviConfigByte(0x302, -1));
    EXPECT_EQ(link.ReadConfig1Byte(0x302), 0);

    ASSERT_TRUE(link.ScriviConfigStringa(0x400, "PRESSA LINEA SETTE", 15));
    EXPECT_EQ(memory.PRAM()[0x400], 15);
    EXPECT_EQ(link.LeggiStringaConfig(0x400, 15), "PRESSA LINEA SE");
    ASSERT_TRUE(link.ScriviConfigStringa(0x500, "A NAME OF TWENTY-TWO.", 23));
    EXPECT_EQ(link.LeggiStringaConfig(0x500, 23), "A NAME OF TWENTY-TWO.");
    EXPECT_EQ(link.LeggiStringaConfig(0x500, 4), "A NA");  // clamped to the caller's maximum
    const std::vector<std::uint8_t> b{3, 'a', 'b', 'c', 9, 'x'};
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 4), "x");  // length 9, one byte present
    EXPECT_EQ(UCZEM2::EstraiStringa(b, 6), "");
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

TEST_F(MailboxAccess, WritesAreSplitAtPageBoundariesAndWhatTheMailboxCannotReachIsRefused)
{
    EXPECT_EQ(link.IndirizzoAreaPRAM(), 0x7F000u);
    const std::vector<std::uint8_t> data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(link.WriteConfigBytes(0x01FA, data));
    EXPECT_EQ(Count(34, 5), 2u);
    // The second job starts on the page: its head (address, 0, count) is the last one written.
    EXPECT_EQ(Bytes(memory.PRAM().begin() + 0x7F000, memory.PRAM().begin() + 0x7F004), (Bytes{0x00, 0x02, 0, 4}));
    const auto& w = memory.ScrittureConfigurazione();
    ASSERT_EQ(w.size(), 10u);
    EXPECT_EQ(w.front(), (std::pair<std::uint32_t, std::uint8_t>{0x01FA, 1}));
    std::vector<std::uint8_t> back(10);
    ASSERT_TRUE(link.ReadConfigBytes(0x01FA, back));
    EXPECT_EQ(back, data);

    std::vector<std::uint8_t> page(256);
    std::iota(page.begin(), page.end(), 0);
    Forget();
    ASSERT_TRUE(link.WriteConfigBytes(0x0300, page));
    EXPECT_EQ(Count(34, 5), 2u);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), memory.Configurazione().begin() + 0x300));

    // Nothing to write sends nothing; what the mailbox cannot reach is refused.
    Forget();
    EXPECT_TRUE(link.WriteConfigBytes(0x100, {}));
    std::array<std::uint8_t, 4> b{};
    EXPECT_FALSE(link.ReadConfigBytes(0xFFFE, b));
    EXPECT_FALSE(link.WriteConfigBytes(0x10000, b));
    EXPECT_TRUE(endpoint.received.empty());
    memory.Guasti().mailboxSempreOccupata = true;
    const double start = clock.Monotonic();
    EXPECT_FALSE(link.ReadConfigBytes(0x100, b));
    EXPECT_LT(clock.Monotonic() - start, 1.5);
}

TEST(SmallMailbox, TransfersAreChunkedToWhatTheMailboxHolds)
{
    SimLink l(Mailbox(10));
    ASSERT_TRUE(l.OpenEth());
    ASSERT_TRUE(l.link.LeggiVersione());
    std::vector<std::uint8_t> data(20), back(20);
    std::iota(data.begin(), data.end(), 100);
    l.Forget();
    ASSERT_TRUE(l.link.WriteConfigBytes(0x0100, data));
    ASSERT_TRUE(l.link.ReadConfigBytes(0x0100, back));
    EXPECT_EQ(l.Count(34, 5), 4u);  // 6 + 6 + 6 + 2
    EXPECT_EQ(l.Count(34, 3), 4u);
    EXPECT_EQ(back, data);
}

} // namespace
} // namespace zem::test
