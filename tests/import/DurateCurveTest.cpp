// The curve durations worked back out of the shares an image stores give the same shares again.
#include "tests/image/Profili.h"

#include "main/DurateCurve.h"

#include <gtest/gtest.h>

#include <random>

namespace zem::test {
namespace {

// Random profiles with durations typed in steps of 0.05 s up to `massima` seconds, on the
// simulated memory and on the largest one the 24-bit values can address. Returns the largest
// difference of a value the image writes (unused measures have none).
std::int64_t Scarto(int massima, int giri)
{
    std::mt19937 caso(20261207);
    auto tra = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(caso); };
    std::int64_t peggiore = 0;
    for (int giro = 0; giro < giri; ++giro) {
        ProfiloZem p;
        for (int m = 1; m <= 6; ++m) {
            p.SetTipoMisura(m, static_cast<std::int16_t>(tra(0, 4)));
            p.SetConFasi(m, tra(0, 1));
            p.SetOperazioniSelezionabili(m, static_cast<std::int16_t>(tra(0, 1) ? tra(0, 40) : 1));
            p.SetDurataCurve(m, static_cast<float>(tra(0, massima * 20)) * 0.05f);
        }
        DatiStrumento s = Strumento(tra(10, 11), tra(0, 1));
        s.dimensioneMemoria = tra(0, 1) ? kMemoriaSimulata : 0xFFFFFF;
        const auto ind = CalcolaIndirizzi(p, s);
        if (!ind) continue;
        std::array<QuotaCurve, 6> lette{};
        for (std::size_t i = 0; i < 6; ++i) lette[i] = {ind->baseCurve[i], ind->dimensioneCurva[i]};
        ProfiloZem q = p;
        for (int m = 1; m <= 6; ++m) q.SetDurataCurve(m, 7.0f);
        const auto r = RicostruisciDurate(q, s, lette);
        const auto ritrovato = CalcolaIndirizzi(q, s);
        EXPECT_TRUE(ritrovato) << giro;
        std::int64_t scarto = 0;
        for (std::size_t i = 0; ritrovato && i < 6; ++i) {
            const int m = static_cast<int>(i + 1);
            if (p.TipoMisura(m) != 0)
                scarto = std::max({scarto, std::abs(std::int64_t{ritrovato->baseCurve[i]} - ind->baseCurve[i]),
                                   std::abs(std::int64_t{ritrovato->dimensioneCurva[i]} - ind->dimensioneCurva[i])});
            // A measure without a weight keeps its duration; only one with a weight gets one.
            const bool pesata = p.TipoMisura(m) != 0 && (!p.ConFasi(m) || p.OperazioniSelezionabili(m) > 0);
            if (r.ricavata[i]) {
                EXPECT_TRUE(pesata) << giro;
            } else {
                EXPECT_EQ(q.DurataCurve(m), 7.0f) << giro;
            }
        }
        EXPECT_EQ(r.esatte, scarto == 0) << giro;
        peggiore = std::max(peggiore, scarto);
    }
    return peggiore;
}

TEST(DurateCurve, DurationsWorkedOutOfTheSharesGiveEveryShareBack)
{
    EXPECT_EQ(Scarto(100, 80), 0);
    // Curves of many minutes on a 16 MB memory: the single-precision share leaves at most a byte.
    EXPECT_LE(Scarto(1000, 20), 1);
}

TEST(DurateCurve, SharesNoDurationsGiveLeaveTheDurationsAsTheyWere)
{
    ProfiloZem p = ProfiloMisto();
    const auto r = RicostruisciDurate(p, Strumento(11, true), {});  // a memory without curve shares
    EXPECT_EQ(r.ricavata, (std::array<bool, 6>{}));
    EXPECT_EQ(std::tuple(p.DurataCurve(1), p.DurataCurve(2), p.DurataCurve(5)), std::tuple(2.0f, 1.0f, 1.0f));
}

} // namespace
} // namespace zem::test
