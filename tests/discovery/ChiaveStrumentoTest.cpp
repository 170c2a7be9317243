#include "session/ChiaveStrumento.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zem {
namespace {

using Canale = ChiaveStrumento::Canale;

// The texts the selection returns read back; malformed ones are refused.
TEST(ChiaveStrumento, KeyTextsReadBackAndMalformedOnesAreRefused)
{
    const std::tuple<std::string, Canale, std::string, std::uint32_t> cases[] = {
        {ChiaveStrumento::USB("MR4-0001"), Canale::USB, "MR4-0001", 0},
        {ChiaveStrumento::IP("127.0.0.2", "1001"), Canale::IP, "127.0.0.2", 1001},
        {"IP: 10.0.0.7:65535 ", Canale::IP, "10.0.0.7", 65535},
        {ChiaveStrumento::MAC("00-20-4A-01-02-03"), Canale::MAC, "00-20-4A-01-02-03", 0},
    };
    for (const auto& [text, canale, what, porta] : cases) {
        const auto k = ChiaveStrumento::Leggi(text);
        ASSERT_TRUE(k) << text;
        EXPECT_EQ(k->canale, canale) << text;
        EXPECT_EQ(canale == Canale::USB ? k->seriale : canale == Canale::IP ? k->host : k->mac, what) << text;
        EXPECT_EQ(k->porta, porta) << text;
    }
    for (const char* text : {"", "USB:   ", "MAC: ", "usb: MR4", "IP:127.0.0.1", "IP::7000", "IP:127.0.0.1:0",
                             "IP:127.0.0.1:65536", "IP:127.0.0.1:70x", "IP:127.0.0.1:-1"}) {
        EXPECT_FALSE(ChiaveStrumento::Leggi(text)) << text;
    }
}

} // namespace
} // namespace zem
