// The address computation of a profile's image: hand-computed layouts of a mixed profile for both
// releases and both configuration paths, and the cases that must fail instead of truncating.
#include "tests/image/Profili.h"

#include <gtest/gtest.h>

#include <array>

namespace zem {
namespace {

using test::ProfiloMisto;
using test::Strumento;
using A6 = std::array<std::uint32_t, 6>;

struct Atteso {
    const char* caso;
    int estensioni;
    bool inPRAM;
    std::uint32_t baseMisure;
    A6 record;
    std::uint32_t baseLavori;
    A6 lavori;
    std::uint32_t inizioCurve, libere;
    A6 baseCurve, dimensioneCurva;
    std::array<bool, 6> tabella;
};

// Works W = 1 + 1 + 4 + 2 = 8; blocks 64, 66, 66, 0, 64, 0; work records 283, 3 x 49, 4 x 30, -, 2 x 283.
// Weights 10100, 5100, 2550 x 4, 0, 5100 x 2, 0 out of 35600; the simplex measure takes 5 bytes an
// operation, the two measures in phases have their share divided by the operations.
const Atteso kCasi[] = {
    {"release 11, configuration in PRAM", 11, true, 408, {408, 472, 538, 604, 604, 668}, 668,
     {668, 951, 1098, 1218, 1218, 1784}, 1784, 0x7F000 - 1784 - 1,
     {1784, 148860, 223126, 223146, 223146, 371678}, {147076, 74266, 5, 0, 74266, 0},
     {true, true, true, false, true, false}},
    {"release 10, configuration in PRAM", 10, true, 360, {360, 424, 490, 556, 556, 620}, 620,
     {620, 903, 1050, 1170, 1170, 1736}, 1736, 0x7F000 - 1736 - 1,
     {1736, 148825, 223098, 223118, 223118, 371664}, {147089, 74273, 5, 0, 74273, 0},
     {false, false, false, false, false, false}},
    {"release 11, configuration behind the mailbox", 11, false, 408, {408, 472, 538, 604, 604, 668}, 668,
     {668, 951, 1098, 1218, 1218, 1784}, 0, 0x7F000 - 1,
     {0, 147582, 222103, 222123, 222123, 371166}, {147582, 74521, 5, 0, 74521, 0},
     {true, true, true, false, true, false}},
};

TEST(CalcolaIndirizzi, MixedProfileLaysOutAsComputedByHand)
{
    const ProfiloZem p = ProfiloMisto();
    for (const Atteso& c : kCasi) {
        SCOPED_TRACE(c.caso);
        const auto r = CalcolaIndirizzi(p, Strumento(c.estensioni, c.inPRAM));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->numeroLavori, 8u);
        EXPECT_EQ(r->baseMisure, c.baseMisure);
        EXPECT_EQ(r->indirizzoRecord, c.record);
        EXPECT_EQ(r->baseLavori, c.baseLavori);
        EXPECT_EQ(r->indirizzoLavori, c.lavori);
        EXPECT_EQ(r->dimensioneLavoro, (A6{283, 49, 30, 0, 283, 0}));
        EXPECT_EQ(r->dimensioneLavori, 1116u);
        EXPECT_EQ(r->inizioCurve, c.inizioCurve);
        EXPECT_EQ(r->curveLibere, c.libere);
        EXPECT_EQ(r->baseCurve, c.baseCurve);
        EXPECT_EQ(r->dimensioneCurva, c.dimensioneCurva);
        EXPECT_EQ(r->voceTabella, c.tabella);
        EXPECT_EQ(r->valoreDopoRecord, (std::array<std::uint8_t, 6>{15, 0, 0, 0, 15, 0}));
    }
}

TEST(CalcolaIndirizzi, CurveSharesFollowDurationAndPhases)
{
    // The mixed profile's shares show in its layout; a measure in phases counts its operations
    // even when it has fewer than two.
    ProfiloZem p = ProfiloMisto();
    p.SetOperazioniSelezionabili(5, 1);
    EXPECT_FLOAT_EQ(IndirizziMemoria::PercentualeCurve(p, 5), 5100.0f / 30500.0f * 100.0f);
    // A weight half-way rounds to even: 0.0001 s weighs 100.5, hence 100.
    ProfiloZem q;
    q.SetTipoMisura(1, 1);
    q.SetDurataCurve(1, 0.0001f);
    q.SetTipoMisura(2, 1);
    q.SetDurataCurve(2, 0.0003f);  // 101.5 -> 102
    EXPECT_FLOAT_EQ(IndirizziMemoria::PercentualeCurve(q, 1), 100.0f / 202.0f * 100.0f);
}

// Each boundary on both sides: `libere` is the free curve memory of an image that fits, 0 for one
// that must fail instead of truncating.
struct Limite {
    const char* caso;
    void (*prepara)(ProfiloZem&, DatiStrumento&);
    std::uint32_t libere = 0;
};

void SoloMisura6(ProfiloZem& p)
{
    // One work, 6 bytes kept for the curve table, but measure 6's entry lies at 0x168 + 30.
    for (int m = 1; m <= 5; ++m) p.SetTipoMisura(m, 0);
    p.SetTipoMisura(6, 2);
    p.SetDurataCurve(6, 1.0f);
}

const Limite kLimiti[] = {
    {"no measure in use", [](ProfiloZem& p, DatiStrumento&) {
         for (int m = 1; m <= 6; ++m) p.SetTipoMisura(m, 0);
     }},
    {"every weight 0", [](ProfiloZem& p, DatiStrumento&) {
         for (int m = 1; m <= 6; ++m) p.SetTipoMisura(m, 0);
         p.SetTipoMisura(1, 1);
         p.SetConFasi(1, true);
         p.SetOperazioniSelezionabili(1, 0);
     }},
    {"free curve memory of 4095 bytes", [](ProfiloZem&, DatiStrumento& d) { d.dimensioneMemoria = 1784 + 1 + 4095; }},
    {"free curve memory of 4096 bytes", [](ProfiloZem&, DatiStrumento& d) { d.dimensioneMemoria = 1784 + 1 + 4096; }, 4096},
    {"works past 0xFFFF", [](ProfiloZem& p, DatiStrumento&) { p.SetOperazioniSelezionabili(1, 240); }},
    {"256 operations do not fit record byte 9", [](ProfiloZem& p, DatiStrumento&) { p.SetOperazioniSelezionabili(2, 256); }},
    {"unknown measure type", [](ProfiloZem& p, DatiStrumento&) { p.SetTipoMisura(6, 5); }},
    {"negative curve duration", [](ProfiloZem& p, DatiStrumento&) { p.SetDurataCurve(2, -1.0f); }},
    {"configuration size leaving no room for the general part", [](ProfiloZem&, DatiStrumento& d) {
         d.dimensioneConfigurazione = 0x100;
         d.estensioni = 10;
     }},
    {"curve-table entry past the room kept from release 11", [](ProfiloZem& p, DatiStrumento&) { SoloMisura6(p); }},
    // A larger configuration area keeps the entry below the blocks: record at 0x206, one work, curves.
    {"curve-table entry inside a larger configuration area", [](ProfiloZem& p, DatiStrumento& d) {
         SoloMisura6(p);
         d.dimensioneConfigurazione = 0x200;
     }, 0x7F000 - (0x206 + 66 + 49) - 1},
};

TEST(CalcolaIndirizzi, ImagesThatCannotFitFailInsteadOfTruncatingAndTheLimitsStillFit)
{
    for (const Limite& l : kLimiti) {
        SCOPED_TRACE(l.caso);
        ProfiloZem p = ProfiloMisto();
        DatiStrumento d = Strumento(11, true);
        l.prepara(p, d);
        const auto r = CalcolaIndirizzi(p, d);
        EXPECT_EQ(r ? r->curveLibere : 0u, l.libere);
    }
}

} // namespace
} // namespace zem
