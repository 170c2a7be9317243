#include "discovery/ChiaveStrumento.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

using Canale = ChiaveStrumento::Canale;

TEST(ChiaveStrumento, KeyTextsTheSelectionReturnsReadBack)
{
    struct Case {
        std::string text;
        Canale canale;
        std::string what;  // serial, host or MAC text
        std::uint32_t porta;
    };
    const Case cases[] = {
        {ChiaveStrumento::USB("MR4-0001"), Canale::USB, "MR4-0001", 0},
        {"USB:   MR4-0002", Canale::USB, "MR4-0002", 0},
        {ChiaveStrumento::IP("127.0.0.2", "1001"), Canale::IP, "127.0.0.2", 1001},
        {"IP: 10.0.0.7:65535 ", Canale::IP, "10.0.0.7", 65535},
        {"IP:host:1", Canale::IP, "host", 1},
        {ChiaveStrumento::MAC("00-20-4A-01-02-03"), Canale::MAC, "00-20-4A-01-02-03", 0},
    };
    for (const auto& c : cases) {
        const auto chiave = ChiaveStrumento::Leggi(c.text);
        ASSERT_TRUE(chiave) << c.text;
        EXPECT_EQ(chiave->canale, c.canale) << c.text;
        const std::string& what = c.canale == Canale::USB ? chiave->seriale
                                  : c.canale == Canale::IP ? chiave->host : chiave->mac;
        EXPECT_EQ(what, c.what) << c.text;
        EXPECT_EQ(chiave->porta, c.porta) << c.text;
    }
}

TEST(ChiaveStrumento, MalformedKeysAreRefused)
{
    for (const char* text : {"", "USB:", "USB:   ", "MAC: ", "usb: MR4", "COM1", "IP:", "IP:127.0.0.1",
                             "IP::7000", "IP:127.0.0.1:", "IP:127.0.0.1:0", "IP:127.0.0.1:65536",
                             "IP:127.0.0.1:70x", "IP:127.0.0.1:-1", "IP:127.0.0.1:0000070000"}) {
        EXPECT_FALSE(ChiaveStrumento::Leggi(text)) << text;
    }
}

} // namespace
} // namespace zem
