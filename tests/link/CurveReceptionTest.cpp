// Asynchronous curve download and its silence supervision, on both channels, and the wait that
// every command makes while such a reception runs.
#include "tests/SimLink.h"

namespace zem::test {
namespace {

std::vector<sim::SimulatedCurves::Point> Rampa(int n)
{
    std::vector<sim::SimulatedCurves::Point> p;
    for (int i = 0; i < n; ++i) p.push_back({i * 1000 - 70000, static_cast<std::int16_t>(-i * 3)});
    return p;
}

class CurveReception : public ChannelTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Open());
        link.FineCurva = [this](int m, bool ok) { fine.push_back({m, ok}); };
        link.NuoviPunti = [this](int, std::int32_t, std::int32_t n) { puntiArrivati += n; };
        link.ErroreComunicazione = [this](bool&) { ++errori; };
        noise = 0;
    }

    // The container's side while a reception runs: socket events and the 400 ms timer ticks.
    void Esegui(double secondi)
    {
        const double fine = clock.Monotonic() + secondi;
        while (clock.Monotonic() < fine && link.InRicezione()) {
            const double tick = clock.Monotonic() + 0.4;
            while (clock.Monotonic() < tick) network.PompaMessaggiSocket();
            if (link.TimerAquireUSB.Enabled) link.TimerAquireUSB_Timer();
            if (link.TimerAquireEth.Enabled) link.TimerAquireEth_Timer();
        }
    }

    // A curve that never arrives.
    void Silenziosa()
    {
        curves.SetCurve(1, Rampa(20));
        curves.silentStream = true;
        ASSERT_TRUE(link.RichiediCurva(1));
    }

    std::vector<std::pair<int, bool>> fine;
    std::int32_t puntiArrivati = 0;
    int errori = 0;
};

// A whole curve on either channel is pinned through the curve monitor; here a block goes astray.
TEST_P(CurveReception, ALostBlockIsAskedAgainAndTheWholeCurveArrivesPointByPoint)
{
    curves.SetCurve(2, Rampa(100));
    curves.lostBlocks = {2};
    std::int32_t annunciati = -1;
    link.NuovaCurva = [&](int m, std::int32_t n) { if (m == 2) annunciati = n; };
    ASSERT_TRUE(link.RichiediCurva(2));
    EXPECT_EQ(annunciati, 100);
    Esegui(10.0);

    ASSERT_EQ(fine, (std::vector<std::pair<int, bool>>{{2, true}}));
    const auto& punti = link.PuntiCurva(2);
    ASSERT_EQ(punti.size(), 100u);
    const auto rampa = Rampa(100);
    for (std::size_t i = 0; i < punti.size(); ++i)
        ASSERT_EQ(std::pair(punti[i].X, punti[i].Y), std::pair(rampa[i].x, rampa[i].y)) << i;
    EXPECT_EQ(puntiArrivati, 100);
    EXPECT_FALSE(link.InRicezione());
    EXPECT_TRUE(link.TimerStatus.Enabled);
    EXPECT_EQ(noise, 1);
}

TEST_P(CurveReception, FourSilentPeriodsAbandonTheCurveAndAFurtherOneIsACommunicationError)
{
    Silenziosa();
    Esegui(30.0);
    EXPECT_EQ(fine, (std::vector<std::pair<int, bool>>{{1, false}}));
    EXPECT_EQ(noise, 4);
    EXPECT_EQ(errori, 0);
    EXPECT_TRUE(link.TimerStatus.Enabled);

    ASSERT_TRUE(link.RichiediCurva(1));
    Esegui(30.0);
    EXPECT_EQ(errori, 1);
    EXPECT_EQ(fine.back(), (std::pair<int, bool>{1, false}));
}

TEST_P(CurveReception, ACommandDuringAReceptionThatNeverEndsWaits10SecondsEvenAcrossMidnight)
{
    clock.SetTimeOfDay(kSecondsPerDay - 2.0);
    Silenziosa();
    int inviati = 0;
    instrument.SetCommand(0x20, [&](auto) { ++inviati; return Bytes{1}; });
    const double start = clock.Monotonic();
    EXPECT_TRUE(link.PreparaRichiesta(0x20, {}));
    EXPECT_FALSE(link.AspettaPerRicezioneInCorso());
    EXPECT_GE(clock.Monotonic() - start, 10.0);
    EXPECT_LT(clock.Monotonic() - start, 11.5);
    EXPECT_EQ(inviati, 0);
    EXPECT_GE(noise, 2);  // the supervision kept resuming the silent download meanwhile
}

// Closing mid-download is pinned through the curve monitor.
TEST_P(CurveReception, AnEmptyCurveEndsAtOnceAndMeasuresOutOfRangeAreRefused)
{
    ASSERT_TRUE(link.RichiediCurva(3));
    EXPECT_EQ(fine, (std::vector<std::pair<int, bool>>{{3, true}}));
    EXPECT_FALSE(link.InRicezione());
    EXPECT_FALSE(link.RichiediCurva(0));
    EXPECT_FALSE(link.RichiediCurva(7));
}

INSTANTIATE_TEST_SUITE_P(Canali, CurveReception, ::testing::Values(false, true), ChannelName);

} // namespace
} // namespace zem::test
