// The configuration image of a profile as ordered byte writes: what lands where, in which order,
// and that no write strays into another area.
#include "tests/image/Profili.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace zem {
namespace {

using test::ProfiloMisto;
using test::Strumento;

// One expected value of 1, 2 or 3 bytes, low first.
struct Valore {
    std::uint32_t indirizzo, valore;
    int byte = 1;
};

class Immagine : public ::testing::Test {
protected:
    void Carica(const ProfiloZem& p, const DatiStrumento& d, bool mantieni = false)
    {
        const auto i = ImmagineMemoria::Costruisci(p, d, mantieni);
        ASSERT_TRUE(i);
        img = *i;
        m = test::Contenuto(img);
    }
    std::uint32_t Leggi(std::uint32_t a, int n) const
    {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | m.at(a + static_cast<std::uint32_t>(i));
        return v;
    }
    void Verifica(std::initializer_list<Valore> valori) const
    {
        for (const Valore& v : valori) EXPECT_EQ(Leggi(v.indirizzo, v.byte), v.valore) << "at " << v.indirizzo;
    }
    std::string Stringa(std::uint32_t a) const
    {
        std::string s;
        for (std::uint32_t i = 1; i <= m.at(a); ++i) s += static_cast<char>(m.at(a + i));
        return s;
    }
    ImmagineMemoria img;
    std::map<std::uint32_t, std::uint8_t> m;
};

// Drawn by hand for the mixed profile at release 11: the general part below 408, blocks of 64 and
// 66 bytes from there, works areas from 668 to 1784. The header is cleared first and signed last.
TEST_F(Immagine, EveryWriteLandsInsideItsOwnAreaBetweenTheHeaderClearedAndSigned)
{
    for (bool mantieni : {false, true}) {
        SCOPED_TRACE(mantieni ? "works kept" : "works cleared");
        Carica(ProfiloMisto(), Strumento(11, true), mantieni);
        const auto& w = img.scritture;
        EXPECT_EQ(std::vector(w.begin(), w.begin() + 4), (std::vector<ScritturaImmagine>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        EXPECT_EQ(std::vector(w.end() - 4, w.end()), (std::vector<ScritturaImmagine>{{0, 'Z'}, {1, 'E'}, {2, 'M'}, {3, '5'}}));
        struct Area {
            std::uint32_t inizio, fine;
            std::size_t scritture;
        };
        // Header twice; general part: 2 + 12 addresses + 36 calibration + 14 singles + 21 name +
        // 32 I/O + 144 names + 24 curve table. Record bytes 0-45 and data-block bytes 0, 16, 17 of
        // a press; record bytes 0-31 and data bytes 0 and 16-34 of the others; byte 3 and the
        // works areas only when works are cleared.
        const std::size_t t = mantieni ? 0 : 1;
        const std::vector<Area> aree{{0, 4, 8},           {4, 408, 285},        {408, 472, 48 + t},  {472, 538, 51 + t},
                                     {538, 604, 51 + t},  {604, 668, 48 + t},   {668, 951, 283 * t}, {951, 1098, 147 * t},
                                     {1098, 1218, 120 * t}, {1218, 1784, 566 * t}};
        std::vector<std::size_t> conta(aree.size());
        std::map<std::uint32_t, std::size_t> volte;
        for (const ScritturaImmagine& s : img.scritture) {
            ++volte[s.indirizzo];
            const auto a = std::find_if(aree.begin(), aree.end(), [&](const Area& x) { return s.indirizzo >= x.inizio && s.indirizzo < x.fine; });
            ASSERT_NE(a, aree.end()) << "write at " << s.indirizzo;
            ++conta[static_cast<std::size_t>(a - aree.begin())];
        }
        for (std::size_t i = 0; i < aree.size(); ++i) EXPECT_EQ(conta[i], aree[i].scritture) << aree[i].inizio;
        // Besides the header, only byte 31 of a peak-to-peak or simplex record is written twice:
        // it is also the first byte of its data block, whose later 0 is what the instrument reads.
        for (const auto& [a, n] : volte) EXPECT_EQ(n, a < 4 || a == 472 + 31 || a == 538 + 31 ? 2u : 1u) << a;
    }
}

TEST_F(Immagine, MeasureRecordsOfTheMixedProfile)
{
    Carica(ProfiloMisto(), Strumento(11, true));
    // Press at 408: external stop and selection on start, works at 668, 283-byte works, input
    // pairs and outputs, top dead course, fully retracted (release above 10), transducers 3/1.
    Verifica({{408, 0x2E}, {409, 0x12}, {410, 1}, {411, 0}, {412, 0x09}, {413, 668, 2}, {415, 283, 2}, {417, 0},
              {418, 1}, {419, 2 + 16 * 3}, {425, 2 + 16 * 5}, {426, 3}, {427, 1}, {428, 0}, {429, 4}, {431, 4},
              {433, 0x02}, {434, 0x31}, {435, 2500, 2}, {437, 12}, {438, 34}, {439, 0, 3}, {442, 0, 3},
              {446, 0xFFFD, 2}, {448, 0, 2}, {454, 0}, {470, 15}, {471, 0}});
    // Peak to peak at 472, its curve values in the record, "CORSA" in its data block at 503.
    Verifica({{472, 0x1F}, {473, 0x23}, {474, 2}, {477, 951, 2}, {479, 49, 2}, {481, 3}, {489, 6}, {496, 5},
              {497, 148860, 3}, {500, 74266, 3}, {503 + 16, 0}, {503 + 17, 2}, {503 + 18, 2}});
    EXPECT_EQ(Stringa(503 + 19), "CORSA");
    // Simplex measure in phases at 538; test cylinder at 604 with its start-position bit set
    // whatever the profile says, direction and main valve.
    Verifica({{538, 0x1F}, {540, 3}, {542, 0x04}, {543, 1098, 2}, {545, 30, 2}, {547, 4}, {566, 5, 3},
              {604, 0x2E}, {606, 4}, {608, 0x04}, {609, 1218, 2}, {625, 7}, {629, 0x01}, {630, 0x64}, {633, 0},
              {634, 7}});
}

TEST_F(Immagine, FieldsOutsideTheirByteAreHeldAtTheEnds)
{
    ProfiloZem p = ProfiloMisto();
    p.SetCoeffA(1, 300);
    p.SetCoeffB(1, -2);
    p.SetnInput(1, 8, 20);  // does not fit its nibble
    p.SetNomeValore(2, "VALORE DELLA CORSA MASSIMA");
    p.Nome = "UN NOME DI STRUMENTO TROPPO LUNGO";
    Carica(p, Strumento(11, true));
    Verifica({{408 + 29, 255}, {408 + 30, 0}, {408 + 11, 15 + 16 * 3}, {0x58, 20}});
    // A text longer than its field claims only what was written.
    EXPECT_EQ(Stringa(503 + 19), "VALORE DELLA CO");
}

TEST_F(Immagine, DataBlockLengthForTheOldestInstrument)
{
    for (const auto& [protocollo, primo, secondo] : {std::tuple{14, 0x18u, 0x13u}, {11, 0x12u, 0x23u}}) {
        DatiStrumento d = Strumento(0, true);
        d.protocollo = protocollo;
        Carica(ProfiloMisto(), d);
        Verifica({{361, primo}, {425, secondo}});
    }
}

} // namespace
} // namespace zem
