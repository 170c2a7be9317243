#include "record/MqttOptions.h"
#include "record/PieceJson.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(PieceJson, CarriesThePieceWithItsTextsAsUtf8AndOnlyTheLimitsTheWorkSets)
{
    PieceRecord p{"USB: MR4A1001", "PRESS\xC8", 1, 1, 42, 1796716960123, "W\xB0" "1", 3, "rejected", 0x5, 0x2,
                  {{"Peak force", 12.5, 10.0, 15.0, "kN"}, {"Peak position", 3.25, std::nullopt, 4.0, "mm"}},
                  {{0.1f, 2.5f}, {0.2f, 3.75f}}};
    const auto j = PieceJson(p, true);
    EXPECT_EQ(j["name"], "PRESS\u00C8");
    EXPECT_EQ(j["work"], "W\u00B01");
    EXPECT_EQ(j["time"], "2026-12-08T08:02:40.123Z");
    EXPECT_EQ(j["timeMs"], 1796716960123);
    EXPECT_EQ(j["results"][0]["lower"], 10.0);
    EXPECT_FALSE(j["results"][1].contains("lower"));
    EXPECT_EQ(j["curve"].dump(), R"({"force":[2.5,3.75],"position":[0.1,0.2]})");
    EXPECT_FALSE(PieceJson(p, false).contains("curve"));
    EXPECT_EQ(IsoUtcMs(-1), "1969-12-31T23:59:59.999Z");
}

TEST(MqttOptions, ReadsHostAndPortRefusesBadPortsAndKeepsTopicLevelsWhole)
{
    const struct { const char* target; const char* host; int port; } good[] = {
        {"broker", "broker", 1883}, {"10.0.0.1:8883", "10.0.0.1", 8883}, {"[::1]:1884", "::1", 1884}};
    for (const auto& g : good) {
        const auto o = MqttOptions::FromTarget(g.target);
        ASSERT_TRUE(o) << g.target;
        EXPECT_EQ(o->host + ":" + std::to_string(o->port), g.host + (":" + std::to_string(g.port)));
    }
    for (const char* bad : {"h:0", "h:", "h:65536", ":1883", "h:12x", "[::1", "h:1:2"})
        EXPECT_FALSE(MqttOptions::FromTarget(bad)) << bad;
    EXPECT_EQ(TopicLevel("USB: MR4A/1+#"), "USB:MR4A_1__");
    for (const char* bad : {"", "a/#", "a/+/b", "$SYS", "/a", "a/", "a//b"}) EXPECT_NE(TopicPrefixProblem(bad), "") << bad;
    EXPECT_EQ(TopicPrefixProblem("plant/line 4"), "");
}

} // namespace
} // namespace zem
