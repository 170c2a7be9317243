#include "discovery/ProtocolloModulo.h"
#include "link/net/BroadcastTarget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace zem::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Each field ends at the end of the datagram when its separator is missing; only the name also
// ends at a zero byte.
TEST(ProtocolloModulo, SplitsDiscoveryRepliesOfAnyShape)
{
    struct Case {
        std::string reply;
        std::string mac, port, name;
        bool discovery;
    };
    const Case cases[] = {
        {std::string("A00-50-C2/7000/1/0/0/ZEM-ETH") + '\0' + "junk/", "00-50-C2", "7000", "ZEM-ETH", true},
        {"A00-50-C2/7000/1/0/0/ZEM/ETH", "00-50-C2", "7000", "ZEM", true},
        {"A00-50-C2/7000/1/0/0/", "00-50-C2", "7000", "", true},
        {"AMAC/7000/1/0/0", "MAC", "7000", "", false},
        {"AMAC/70a0/1/0/0/N", "MAC", "70a0", "N", false},
        {"A/7000/1/0/0/N", "", "7000", "N", false},
        {"AMAC/7000", "MAC", "7000", "", false},
        {"AMAC", "MAC", "", "", false},
        {"A", "", "", "", false},
        {"", "", "", "", false},
        {"RMAC/7000/1/0/0/N", "MAC", "7000", "N", false},
        {std::string("A\0\0/1/", 6), std::string("\0\0", 2), "1", "", false},
    };
    for (const Case& c : cases) {
        const auto bytes = Bytes(c.reply);
        const auto fields = modulo::LeggiScoperta(bytes);
        EXPECT_EQ(fields.mac, c.mac) << c.reply;
        EXPECT_EQ(fields.porta, c.port) << c.reply;
        EXPECT_EQ(fields.nome, c.name) << c.reply;
        EXPECT_EQ(modulo::RispostaDiScoperta(bytes), c.discovery) << c.reply;
    }
}

TEST(ProtocolloModulo, ReadsStatusAddressAndRejectionText)
{
    EXPECT_EQ(modulo::IndirizzoIP(Bytes("A192.168.1.5/255.255.255.0/")), "192.168.1.5");
    EXPECT_EQ(modulo::IndirizzoIP(Bytes("A10.0.0.1")), "10.0.0.1");
    EXPECT_EQ(modulo::IndirizzoIP(Bytes("A")), "");
    EXPECT_EQ(modulo::IndirizzoIP({}), "");
    EXPECT_TRUE(modulo::Accettata(Bytes("A")));
    EXPECT_FALSE(modulo::Rifiutata(Bytes("A")));
    EXPECT_TRUE(modulo::Rifiutata(Bytes("N")));
    EXPECT_FALSE(modulo::Accettata({}));
    EXPECT_FALSE(modulo::Rifiutata({}));
    EXPECT_EQ(modulo::TestoRifiuto("Login rejected.", Bytes("Nx")), "Login rejected.\r\nReply code: N");
    EXPECT_EQ(modulo::AssegnaIP("MAC", "10.0.0.2"), "AMAC//10.0.0.2");
    for (const char* good : {"10.0.0.1", "127.0.0.50", "223.255.255.254", "0.0.0.1", "192.168.001.010"})
        EXPECT_TRUE(modulo::IndirizzoAssegnabile(good)) << good;
}

TEST(BroadcastTarget, ParsesHostAndPortAndFallsBackToTheEnvironmentThenTheDefault)
{
    struct Case {
        const char* text;
        std::optional<BroadcastTarget> target;
    };
    const Case cases[] = {
        {"127.0.0.1:7000", BroadcastTarget{"127.0.0.1", 7000}},
        {"localhost", BroadcastTarget{"localhost", 65535}},
        {"h:1", BroadcastTarget{"h", 1}},
        {"h:65535", BroadcastTarget{"h", 65535}},
        {"", std::nullopt}, {":7000", std::nullopt}, {"h:", std::nullopt}, {"h:0", std::nullopt},
        {"h:65536", std::nullopt}, {"h:123456", std::nullopt}, {"h:12a", std::nullopt},
        {"h:1:2", std::nullopt}, {"a b:1", std::nullopt}, {"h:-1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseBroadcastTarget(c.text), c.target) << c.text;

    ::unsetenv(BroadcastTarget::kEnvironment);
    EXPECT_EQ(ChooseBroadcastTarget(std::nullopt), BroadcastTarget{});
    ::setenv(BroadcastTarget::kEnvironment, "127.0.0.2:9", 1);
    EXPECT_EQ(ChooseBroadcastTarget(std::nullopt), (BroadcastTarget{"127.0.0.2", 9}));
    EXPECT_EQ(ChooseBroadcastTarget("127.0.0.3"), (BroadcastTarget{"127.0.0.3", 65535}));
    EXPECT_EQ(ChooseBroadcastTarget("bad:0"), std::nullopt);
    ::setenv(BroadcastTarget::kEnvironment, "bad:port", 1);
    EXPECT_EQ(ChooseBroadcastTarget(std::nullopt), std::nullopt);
    ::unsetenv(BroadcastTarget::kEnvironment);
}

} // namespace
} // namespace zem::test
