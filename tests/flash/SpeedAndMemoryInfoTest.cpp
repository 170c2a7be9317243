// The serial-line divisor for the instrument's speed option, and the memory information, both as
// the version reply of the simulated instrument sets them.
#include "tests/SimLink.h"

#include <tuple>

namespace zem::test {
namespace {

struct CasoVelocita {
    std::uint8_t byteOpzione;  // version reply byte 12; its bit 0 is the option
    std::int32_t baud;
    std::int16_t tipo;
    std::int32_t divisore;
    std::uint8_t gestito;
};

const CasoVelocita kCasi[] = {
    // 40 MHz / 16: divisor rounded, anything above 255 goes as 256.
    {0, 19200, 1, 129, 255}, {0, 1000000, 1, 2, 255},  // 1.5 rounds to the even 2
    {0, 9750, 1, 255, 255},  {0, 9700, 1, 256, 255},
    // 64 MHz / 64, never capped; only bit 0 is the option.
    {1, 1200, 1, 832, 255},  {0xFE, 19200, 1, 129, 255}, {0x03, 9600, 1, 103, 255},
    // No rate to divide by: the option is known but nothing is computed.
    {0, -9600, 1, 0, 0},
};

TEST(CalcolaSpeedCOMM, DivisorFollowsTheSpeedOptionOfTheVersionReply)
{
    for (const CasoVelocita& c : kCasi) {
        SCOPED_TRACE(testing::Message() << "option byte " << int{c.byteOpzione} << ", " << c.baud << " baud");
        SimLink l;
        l.memory.Opzioni().opzioneVelocita = c.byteOpzione;
        ASSERT_TRUE(l.Open(false));
        ASSERT_TRUE(l.link.LeggiVersione());
        const auto r = l.link.CalcolaSpeedCOMM(c.baud);
        EXPECT_EQ(std::tie(r.tipo, r.divisore, r.gestito), std::tie(c.tipo, c.divisore, c.gestito));
    }
}

} // namespace
} // namespace zem::test
