// Flash reads, sector erase and block programming against the simulated instrument, on both
// channels: the frames sent, what lands in flash and how failures are reported.
#include "tests/SimLink.h"

namespace zem::test {
namespace {

constexpr std::uint8_t kMaschera = sim::SimulatedMemory::kMascheraFlash;

Bytes Lettura(std::uint32_t a)
{
    return Frame({24, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a >> 16)});
}

class FlashMemory : public ChannelTest {
protected:
    // The simulated flash starts erased.
    void SetUp() override
    {
        ASSERT_TRUE(Open());
        Forget();
    }
    std::uint8_t Flash(std::size_t a) { return memory.Flash().at(a); }
};

TEST_P(FlashMemory, ReadFlashGivesBothBytesMaskedSendsTheAddressLowByteFirstAndStopsAtAFailure)
{
    memory.Flash()[0x12345] = 0x5A;
    memory.Flash()[0x12346] = 0xA5;
    std::int16_t primo = 0;
    std::int16_t secondo = 0;
    ASSERT_TRUE(link.ReadFlash(0x12345, primo, secondo));
    EXPECT_EQ(primo, 0x5A ^ kMaschera);
    EXPECT_EQ(secondo, 0xA5 ^ kMaschera);
    EXPECT_EQ(Requests(), (std::vector<Bytes>{Frame({24, 0x45, 0x23, 0x01}), Frame({24, 0x46, 0x23, 0x01})}));
    const std::size_t fine = memory.Flash().size();  // the simulated chip answers nothing there
    Forget();
    EXPECT_FALSE(link.ReadFlash(static_cast<std::uint32_t>(fine - 1), primo, secondo));
    EXPECT_EQ(Requests().size(), 2u);
}

// Addresses beyond three bytes, erases off a sector boundary and sector copies: nothing is sent.
TEST_P(FlashMemory, WhatCannotBeAddressedIsRefusedWithoutSending)
{
    std::int16_t primo = 0;
    std::int16_t secondo = 0;
    for (const std::uint32_t a : {0xFFFFFFu, 0x1000000u, 0xFFFFFFFFu}) EXPECT_FALSE(link.ReadFlash(a, primo, secondo)) << a;
    for (const std::uint32_t a : {1u, 63u, 0x7FFFFu, 0x1000000u}) EXPECT_FALSE(link.ClearFlash(a)) << a;
    for (const std::uint32_t a : {0x1000000u, 0x7FFFFFF8u}) EXPECT_FALSE(link.WriteFlash1(a, 1)) << a;
    for (const std::uint32_t a : {0u, 0x40u, 0x41u}) EXPECT_FALSE(link.CopyFlash(a)) << a;
    EXPECT_TRUE(link.CloseWriteFlash());
    EXPECT_TRUE(Requests().empty());
}

TEST_P(FlashMemory, ClearFlashErasesTheSectorAndReadsAllOfItBack)
{
    std::fill_n(memory.Flash().begin() + 0x10040, 64, 0x00);
    ASSERT_TRUE(link.ClearFlash(0x10040));
    for (std::size_t a = 0x10040; a < 0x10080; ++a) EXPECT_EQ(Flash(a), 0xFF) << a;

    const auto r = Requests();
    ASSERT_EQ(r.size(), 65u);
    EXPECT_EQ(r[0], Frame({25, 0x40, 0x00, 0x01}));
    for (std::uint32_t i = 0; i < 64; ++i) EXPECT_EQ(r[1 + i], Lettura(0x10040 + i)) << i;
}

TEST_P(FlashMemory, BytesOfOneBlockAreCollectedAndProgrammedWithTheRestAsFF)
{
    ASSERT_TRUE(link.WriteFlash1(0x43, 0x12));
    ASSERT_TRUE(link.WriteFlash1(0x45, 0x1234));   // only the low byte is programmed
    ASSERT_TRUE(link.WriteFlash1(0x40, 0x0107));
    ASSERT_TRUE(link.WriteFlash1(0x47, -1));
    EXPECT_TRUE(Requests().empty());

    ASSERT_TRUE(link.CloseWriteFlash());
    const auto r = Requests();
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(r[0], Frame({26, 0x40, 0x00, 0x00, 0x07, 0xFF, 0xFF, 0x12, 0xFF, 0x34, 0xFF, 0xFF}));
    for (std::uint32_t i = 0; i < 8; ++i) EXPECT_EQ(r[1 + i], Lettura(0x40 + i)) << i;
    EXPECT_EQ(Bytes(memory.Flash().begin() + 0x40, memory.Flash().begin() + 0x48),
              (Bytes{0x07, 0xFF, 0xFF, 0x12, 0xFF, 0x34, 0xFF, 0xFF}));
}

TEST_P(FlashMemory, AByteOfAnotherBlockProgramsThePendingBlockFirst)
{
    for (std::uint32_t i = 0; i < 8; ++i) ASSERT_TRUE(link.WriteFlash1(0x47 - i, static_cast<std::int16_t>(0x10 + i)));
    EXPECT_TRUE(Requests().empty());

    ASSERT_TRUE(link.WriteFlash1(0x48, 0xAA));
    EXPECT_EQ(Count(26), 1u);
    EXPECT_EQ(Flash(0x40), 0x17);
    EXPECT_EQ(Flash(0x47), 0x10);
    EXPECT_EQ(Flash(0x48), 0xFF);  // still pending

    Forget();
    ASSERT_TRUE(link.CloseWriteFlash());
    EXPECT_EQ(Requests().at(0), Frame({26, 0x48, 0x00, 0x00, 0xAA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Flash(0x48), 0xAA);
}

TEST_P(FlashMemory, ABlockThatFailedWhenTheNextBlockStartedIsStillReportedByTheClose)
{
    ASSERT_TRUE(link.WriteFlash1(0x40, 0x55));
    memory.Guasti().rilettureFlashCorrotte = 1;
    EXPECT_FALSE(link.WriteFlash1(0x48, 0x66));  // the byte is kept out
    EXPECT_EQ(Flash(0x48), 0xFF);

    ASSERT_TRUE(link.WriteFlash1(0x48, 0x66));
    ASSERT_TRUE(link.WriteFlash1(0x49, 0x67));
    EXPECT_FALSE(link.CloseWriteFlash());  // its own block was good, the earlier one was not
    EXPECT_EQ(Flash(0x49), 0x67);
    EXPECT_EQ(Count(26), 2u);
    Forget();
    EXPECT_TRUE(link.CloseWriteFlash());  // reported once; nothing is sent again
    EXPECT_TRUE(Requests().empty());
}

TEST_P(FlashMemory, AnUnacknowledgedOrUnverifiedEraseOrBlockFails)
{
    memory.Guasti().ackSbagliati = 1;
    EXPECT_FALSE(link.ClearFlash(0x40));
    EXPECT_EQ(Requests().size(), 1u);  // no check of an erase that was refused
    memory.Guasti().rilettureFlashCorrotte = 1;
    EXPECT_FALSE(link.ClearFlash(0x40));
    EXPECT_EQ(Requests().size(), 4u);  // then the erase and the first pair of reads

    Forget();
    memory.Guasti().ackSbagliati = 1;
    ASSERT_TRUE(link.WriteFlash1(0x40, 0x55));
    EXPECT_FALSE(link.CloseWriteFlash());
    EXPECT_EQ(Count(24), 0u);  // nothing to check when the instrument refused

    // Programming only clears bits: a byte over a non-blank cell reads back wrong.
    memory.Flash()[0x50] = 0x0F;
    ASSERT_TRUE(link.WriteFlash1(0x50, 0xF0));
    EXPECT_FALSE(link.CloseWriteFlash());
    EXPECT_EQ(Flash(0x50), 0x00);
}

INSTANTIATE_TEST_SUITE_P(Canali, FlashMemory, ::testing::Values(false, true), ChannelName);

} // namespace
} // namespace zem::test
