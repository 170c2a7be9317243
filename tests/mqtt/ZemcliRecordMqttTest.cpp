// zemcli record --mqtt end to end: the simulated press's pieces reach a subscriber on the test broker.
#include "TestBroker.h"
#include "sim/LocalBroker.h"
#include "tests/cli/ZemcliRun.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

namespace zem::test {
namespace {

TEST(ZemcliRecordMqtt, PublishesThePiecesItKeepsAndSaysOnlineThenOffline)
{
    if (!sim::LocalBroker::Installed()) GTEST_SKIP() << "no mosquitto broker (Debian package mosquitto)";
    sim::LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    Subscriber plant(broker.Port());
    const auto db = (std::filesystem::temp_directory_path() / ("zem-record-mqtt-" + std::to_string(::getpid()) + ".db")).string();
    const auto r = RunZemcli({"--simulate", "record", "--to", "USB: MR4A1001", "--db", db, "--pieces", "2", "--mqtt",
                              "127.0.0.1:" + std::to_string(broker.Port())}, {});
    std::filesystem::remove(db);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("zemcli: publishing to the MQTT broker 127.0.0.1:"), std::string::npos) << r.err;
    ASSERT_TRUE(plant.WaitFor([&] { return plant.On("/status").size() == 2; }));
    EXPECT_EQ(plant.On("/status"), (std::vector<std::string>{"online", "offline"}));
    ASSERT_EQ(plant.On("/1/piece").size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(plant.On("/1/piece")[1])["counter"], 2);
    EXPECT_EQ(RunZemcli({"--simulate", "record", "--to", "USB: MR4A1001", "--db", db, "--mqtt", "h:0"}, {}).code, 2);
}

} // namespace
} // namespace zem::test
