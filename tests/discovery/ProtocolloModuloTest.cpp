#include "discovery/ProtocolloModulo.h"
#include "link/net/BroadcastTarget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

namespace zem::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Each field ends at the end of the datagram when its separator is missing; only the name also
// ends at a zero byte.
TEST(ProtocolloModulo, SplitsDiscoveryRepliesOfAnyShape)
{
    // Reply, MAC text, port, name, whether it reads as a discovery reply.
    const std::tuple<std::string, std::string, std::string, std::string, bool> cases[] = {
        {std::string("A00-50-C2/7000/1/0/0/ZEM-ETH") + '\0' + "junk/", "00-50-C2", "7000", "ZEM-ETH", true},
        {"A00-50-C2/7000/1/0/0/ZEM/ETH", "00-50-C2", "7000", "ZEM", true},
        {"AMAC/7000/1/0/0", "MAC", "7000", "", false},
        {"AMAC/70a0/1/0/0/N", "MAC", "70a0", "N", false},
        {"A/7000/1/0/0/N", "", "7000", "N", false},
        {"AMAC", "MAC", "", "", false},
        {"A", "", "", "", false},
        {"", "", "", "", false},
        {std::string("A\0\0/1/", 6), std::string("\0\0", 2), "1", "", false},
    };
    for (const auto& [reply, mac, port, name, discovery] : cases) {
        const auto fields = modulo::LeggiScoperta(Bytes(reply));
        EXPECT_EQ(std::tie(fields.mac, fields.porta, fields.nome), std::tie(mac, port, name)) << reply;
        EXPECT_EQ(modulo::RispostaDiScoperta(Bytes(reply)), discovery) << reply;
    }
}

// A "GIP" reply without "/" is the address to its end; an empty datagram has no status at all.
TEST(ProtocolloModulo, ReadsAddressesStatusAndAssignableAddresses)
{
    EXPECT_EQ(modulo::IndirizzoIP(Bytes("A192.168.1.5/255.255.255.0/")), "192.168.1.5");
    EXPECT_EQ(modulo::IndirizzoIP(Bytes("A10.0.0.1")), "10.0.0.1");
    EXPECT_FALSE(modulo::Accettata({}) || modulo::Rifiutata({}));
    EXPECT_EQ(modulo::TestoRifiuto("Login rejected.", Bytes("Nx")), "Login rejected.\r\nReply code: N");
    for (const char* good : {"10.0.0.1", "0.0.0.1", "223.255.255.254", "192.168.001.010"})
        EXPECT_TRUE(modulo::IndirizzoAssegnabile(good)) << good;
}

TEST(BroadcastTarget, ParsesHostAndPortAndFallsBackToTheEnvironmentThenTheDefault)
{
    EXPECT_EQ(ParseBroadcastTarget("127.0.0.1:7000"), (BroadcastTarget{"127.0.0.1", 7000}));
    EXPECT_EQ(ParseBroadcastTarget("localhost"), (BroadcastTarget{"localhost", 65535}));
    EXPECT_EQ(ParseBroadcastTarget("h:1"), (BroadcastTarget{"h", 1}));
    for (const char* bad : {"", ":7000", "h:", "h:0", "h:65536", "h:123456", "h:12a", "h:1:2", "a b:1", "h:-1"})
        EXPECT_EQ(ParseBroadcastTarget(bad), std::nullopt) << bad;

    ::unsetenv(BroadcastTarget::kEnvironment);
    EXPECT_EQ(ChooseBroadcastTarget(std::nullopt), BroadcastTarget{});
    ::setenv(BroadcastTarget::kEnvironment, "127.0.0.2:9", 1);
    EXPECT_EQ(ChooseBroadcastTarget(std::nullopt), (BroadcastTarget{"127.0.0.2", 9}));
    EXPECT_EQ(ChooseBroadcastTarget("127.0.0.3"), (BroadcastTarget{"127.0.0.3", 65535}));
    EXPECT_EQ(ChooseBroadcastTarget("bad:0"), std::nullopt);
    ::unsetenv(BroadcastTarget::kEnvironment);
}

} // namespace
} // namespace zem::test
