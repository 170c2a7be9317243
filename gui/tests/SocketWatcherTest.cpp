#include "gui/QtHost.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

// A window socket that opens after the host started watching raises its data arrival from the
// event loop, once per datagram.
TEST(QtHost, RaisesTheDataArrivalOfTheWindowSocketsFromTheEventLoop)
{
    WinSockEsclusivo windowPump(0);
    QtHost host("ZEM Setup");
    host.WatchSockets(windowPump);
    UdpSocket window(&windowPump, "127.0.0.1");
    std::vector<std::vector<std::uint8_t>> arrived;
    window.DataArrival = [&](std::size_t) { arrived.push_back(window.GetData()); };
    ASSERT_TRUE(window.Bind(0));

    UdpSocket module(nullptr, "127.0.0.1");
    module.SetRemoteHost("127.0.0.1");
    module.SetRemotePort(window.LocalPort());
    ASSERT_TRUE(module.SendData(std::vector<std::uint8_t>{'A'}) && module.SendData(std::vector<std::uint8_t>{'N'}));
    QElapsedTimer waited;
    waited.start();
    while (arrived.size() < 2 && waited.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(arrived, (std::vector<std::vector<std::uint8_t>>{{'A'}, {'N'}}));
}

} // namespace
} // namespace zem::gui
