#include "TestBroker.h"

#include "record/MqttPublisher.h"
#include "record/PieceJson.h"
#include "sim/FakeClock.h"
#include "sim/LocalBroker.h"

#include <sys/wait.h>
#include <unistd.h>

namespace zem {
namespace {

class MqttPublisherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sim::LocalBroker::Installed()) GTEST_SKIP() << "no mosquitto broker (Debian package mosquitto)";
        ASSERT_TRUE(broker.Start()) << broker.Log();
        options = *MqttOptions::FromTarget("127.0.0.1:" + std::to_string(broker.Port()));
    }
    PieceRecord Record(int measure, std::int64_t counter)
    {
        bool added;
        store.Add({"USB: MR4A1001", "PRESS", measure, 1, counter, 1796716960000 + counter, "W1", 1, "good", 0, 0,
                   {{"Peak force", 10.0 + counter, std::nullopt, 20.0, "kN"}}, {{0.5f, 1.0f * counter}}}, added);
        return store.pieces.back().piece;
    }
    static std::vector<std::int64_t> Counters(const std::vector<std::string>& payloads)
    {
        std::vector<std::int64_t> c;
        for (const auto& p : payloads) c.push_back(nlohmann::json::parse(p)["counter"]);
        return c;
    }
    sim::LocalBroker broker;
    sim::FakeClock clock;
    test::MemoryStore store;
    MqttOptions options;
};

TEST_F(MqttPublisherTest, EveryPieceArrivesAsItsJsonAndTheBrokerKeepsTheLastPerMeasureAndTheStatus)
{
    test::Subscriber live(broker.Port());
    options.host = "localhost";  // by name, as a plant's broker usually is: looked up beside the recorder
    {
        MqttPublisher publisher(store, clock, options, {"USB: MR4A1001"});
        for (int c = 1; c <= 3; ++c) publisher.Stored(Record(c % 2 + 1, c));
        ASSERT_TRUE(live.WaitFor([&] { return publisher.Published() == 3; }, [&] { publisher.Tick(); }));
        for (int c = 4; c <= 5; ++c) publisher.Stored(Record(c % 2 + 1, c));
        ASSERT_TRUE(live.WaitFor([&] { return publisher.Published() == 5 && live.On("/piece").size() == 5; },
                                 [&] { publisher.Tick(); }));
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(live.got[2 * i + 1].first, "zemsetup/USB:MR4A1001/" + std::to_string((i + 1) % 2 + 1) + "/piece");
            EXPECT_EQ(nlohmann::json::parse(live.On("/piece")[i]), PieceJson(store.pieces[i].piece, true));
        }
        test::Subscriber late(broker.Port());
        ASSERT_TRUE(late.WaitFor([&] { return late.got.size() == 3; }));
        EXPECT_EQ(Counters(late.On("/1/last")), std::vector<std::int64_t>{4});
        EXPECT_EQ(Counters(late.On("/2/last")), std::vector<std::int64_t>{5});
        EXPECT_EQ(late.On("/status"), std::vector<std::string>{"online"});
    }
    test::Subscriber after(broker.Port());
    ASSERT_TRUE(after.WaitFor([&] { return after.got.size() == 3; }));
    EXPECT_EQ(after.On("/status"), std::vector<std::string>{"offline"});
}

TEST_F(MqttPublisherTest, ARecorderThatDiesIsReportedOfflineByItsLastWill)
{
    test::Subscriber live(broker.Port());
    if (fork() == 0) {
        MqttPublisher publisher(store, clock, options, {"USB: MR4A1001"});
        test::Subscriber pace(broker.Port());   // not `live`: its socket is the parent's too
        pace.WaitFor([&] { return pace.On("/status").size() == 1; }, [&] { publisher.Tick(); });
        _exit(0);   // no clean disconnect: the socket just closes
    }
    ASSERT_TRUE(live.WaitFor([&] { return live.On("/status").size() == 2; }));
    wait(nullptr);
    EXPECT_EQ(live.On("/status"), (std::vector<std::string>{"online", "offline"}));
}

TEST_F(MqttPublisherTest, PiecesTheBrokerNeverAcknowledgedGoOutAgainInOrderOnceItIsBack)
{
    MqttPublisher publisher(store, clock, options, {"USB: MR4A1001"});
    std::vector<std::string> notices;
    publisher.Notice = [&](const std::string& text) { notices.push_back(text); };
    test::Subscriber before(broker.Port());
    for (int c = 1; c <= 3; ++c) publisher.Stored(Record(1, c));
    ASSERT_TRUE(before.WaitFor([&] { return publisher.Published() == 3; }, [&] { publisher.Tick(); }));
    broker.Pause();   // the broker hangs: 4 to 9 go out but are never acknowledged
    for (int c = 4; c <= 9; ++c) publisher.Stored(Record(1, c));
    broker.Stop();
    publisher.Tick();
    EXPECT_FALSE(publisher.Connected());
    EXPECT_NE(publisher.Error(), "");
    EXPECT_EQ(store.Unpublished(100).size(), 6u);

    ASSERT_TRUE(broker.Start());
    test::Subscriber after(broker.Port());   // before the back-off ends, so it sees every piece
    clock.Advance(60);
    ASSERT_TRUE(after.WaitFor([&] { return publisher.Published() == 9; }, [&] { publisher.Tick(); }));
    after.WaitFor([&] { return after.On("/piece").size() >= 6; });
    EXPECT_EQ(Counters(after.On("/piece")), (std::vector<std::int64_t>{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(publisher.Error(), "");
    const auto to = "MQTT broker 127.0.0.1:" + std::to_string(broker.Port());
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0], "publishing to the " + to);
    EXPECT_EQ(notices[1].substr(0, to.size() + 2), to + ": ");
    EXPECT_EQ(notices[2], notices[0]);
}

} // namespace
} // namespace zem
