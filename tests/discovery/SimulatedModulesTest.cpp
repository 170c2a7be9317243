#include "discovery/ProtocolloModulo.h"
#include "link/UCZEM2.h"
#include "tests/discovery/ModuleSite.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

// Both modules answer one "X" with their discovery replies, each instrument answers the link at
// its module's address and data port, and while the link waits for an instrument the window's
// socket hears nothing: the module replies wait until the exchange is over.
TEST(SimulatedModules, AnswerTheSearchAndServeTheirInstrumentsWhileTheWindowWaits)
{
    ModuleSite site;
    LinkPlatform platform = site.Platform();
    auto window = platform.createWindowSocket();
    std::vector<modulo::CampiScoperta> found;
    window->DataArrival = [&](std::size_t) { found.push_back(modulo::LeggiScoperta(window->GetData())); };
    window->SetRemoteHost(platform.broadcast.host);
    window->SetRemotePort(platform.broadcast.port);
    ASSERT_TRUE(window->SendData(std::vector<std::uint8_t>{'X'}));

    auto linkSocket = platform.createLinkSocket();
    UCZEM2 link(platform.clock, platform.usb, platform.linkPump, *linkSocket);
    for (const char* address : {"127.0.0.12", "127.0.0.11"}) {
        EXPECT_TRUE(link.ApriComunicazioneETH(address, 7000)) << address;
        EXPECT_EQ(link.Nome(), sim::DefaultInstrument::kNome);
        link.ChiudiComunicazione();
    }
    EXPECT_TRUE(found.empty());

    site.machine.network.PassTime(0.0);
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].mac, sim::kModuleMac1);
    EXPECT_EQ(found[1].mac, sim::kModuleMac2);
    EXPECT_EQ(found[1].nome, "ZEM-ETH-2");
    EXPECT_EQ(window->RemoteHostIP(), "127.0.0.12");
}

} // namespace
} // namespace zem::test
