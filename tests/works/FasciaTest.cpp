// Envelope borders as the instrument stores them: the point rules and the quantized slopes, on a
// scaling where raw and engineering values are the same.
#include "link/CodificaFascia.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

using Punti = std::vector<PuntoFascia>;
using Voci = std::vector<VoceFascia>;

PuntoFascia P(float quota, float forza) { return PuntoFascia{forza, quota}; }

struct Caso {
    const char* nome;
    Punti punti;
    Voci voci;
    Punti modello;  // the points the model holds afterwards
};

const Caso kCasi[] = {
    {"a flat segment is position per force with r = 4096",
     {P(100, 500), P(200, 500)}, {{100, 500, 0}, {200, 500, 36863}}, {P(100, 500), P(200, 500)}},
    {"a steep rise is force per position: r = 100, e = 1, m = 1584",
     {P(0, 0), P(10, 1000)}, {{0, 0, 0}, {10, 1000, 5680}}, {P(0, 0), P(10, 1000)}},
    {"a slope of 1 has the finest exponent",
     {P(0, 0), P(1000, 1000)}, {{0, 0, 0}, {1000, 1000, 3 * 4096 + 32768}}, {P(0, 0), P(1000, 1000)}},
    {"a gentle rise: r = 333.3 quantized to 333, force step 3",
     {P(0, 0), P(1000, 3)}, {{0, 0, 0}, {1000, 3, 332 + 32768}}, {P(0, 0), P(1000, 3)}},
    {"each step starts from the force reached, not the point's",
     {P(0, 0), P(3, 1000), P(6, 2000)}, {{0, 0, 0}, {3, 999, 332}, {6, 2001, 333}},
     {P(0, 0), P(3, 1000), P(6, 2000)}},
    {"one point alone is no border", {P(5, 5)}, {}, {}},
    {"a point at the previous position moves one raw unit on",
     {P(100, 500), P(100, 500)}, {{100, 500, 0}, {101, 500, 36863}}, {P(100, 500), P(101, 500)}},
    {"a point behind the previous one ends the border",
     {P(100, 500), P(200, 500), P(150, 700), P(300, 800)}, {{100, 500, 0}, {200, 500, 36863}},
     {P(100, 500), P(200, 500)}},
    // 9095 and 905 are the limits; the slopes 409.5 and 818.5 quantize to 409 and 819 (halves to
    // even), so the forces reached are 9090 and 900.
    {"forces stay within 4095 of the first point's",
     {P(0, 5000), P(10, 10000), P(20, 0)}, {{0, 5000, 0}, {10, 9090, 408}, {20, 900, 818 + 16384}},
     {P(0, 5000), P(10, 9095), P(20, 905)}},
};

TEST(Fascia, BordersEncodeAsComputedByHand)
{
    const ScalaMisura unita;  // gains 1, no decimals
    for (const Caso& c : kCasi) {
        SCOPED_TRACE(c.nome);
        Punti punti = c.punti;
        EXPECT_EQ(CodificaBordo(punti, unita), c.voci);
        EXPECT_EQ(punti, c.modello);
    }
}

TEST(Fascia, DecodingGivesTheStoredPoints)
{
    ScalaMisura s;
    s.gainForza = 0.5f;
    const Voci voci{{0, 0, 0}, {3, 999, 332}, {6, 2001, 333}};
    EXPECT_EQ(DecodificaBordo(voci, s), (Punti{P(0, 0), P(3, 499.5f), P(6, 1000.5f)}));
    // Encoding the decoded points again gives the same entries.
    Punti punti = DecodificaBordo(voci, s);
    EXPECT_EQ(CodificaBordo(punti, s), voci);
}

} // namespace
} // namespace zem
