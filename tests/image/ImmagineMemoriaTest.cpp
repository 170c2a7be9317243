// The configuration image of a profile as ordered byte writes: what lands where, in which order,
// and that no write strays into another area.
#include "tests/image/Profili.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zem {
namespace {

using test::Contenuto;
using test::ProfiloMisto;
using test::Strumento;

ImmagineMemoria Costruisci(const ProfiloZem& p, const DatiStrumento& d, bool mantieni = false)
{
    auto i = ImmagineMemoria::Costruisci(p, d, mantieni);
    if (!i) throw std::runtime_error("no image");
    return *i;
}

class Immagine : public ::testing::Test {
protected:
    std::uint32_t Parola(std::uint32_t a) const { return m.at(a) | (m.at(a + 1) << 8); }
    std::uint32_t Tre(std::uint32_t a) const { return Parola(a) | (m.at(a + 2) << 16); }
    std::string Stringa(std::uint32_t a, std::size_t massimo) const
    {
        std::string s;
        for (std::size_t i = 1; i <= massimo; ++i)
            if (m.at(a + static_cast<std::uint32_t>(i)) != 0) s += static_cast<char>(m.at(a + static_cast<std::uint32_t>(i)));
        return s;
    }
    void Carica(const ProfiloZem& p, const DatiStrumento& d, bool mantieni = false)
    {
        img = Costruisci(p, d, mantieni);
        m = Contenuto(img);
    }
    ImmagineMemoria img;
    std::map<std::uint32_t, std::uint8_t> m;
};

TEST_F(Immagine, TheHeaderIsClearedFirstAndSignedLast)
{
    Carica(ProfiloMisto(), Strumento(11, true));
    const auto& w = img.scritture;
    ASSERT_GT(w.size(), 8u);
    const std::vector<ScritturaImmagine> primi(w.begin(), w.begin() + 4), ultimi(w.end() - 4, w.end());
    EXPECT_EQ(primi, (std::vector<ScritturaImmagine>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(ultimi, (std::vector<ScritturaImmagine>{{0, 'Z'}, {1, 'E'}, {2, 'M'}, {3, '5'}}));
    // Nothing else touches bytes 0-3.
    EXPECT_EQ(std::count_if(w.begin(), w.end(), [](const auto& s) { return s.indirizzo < 4; }), 8);
}

// Every write lies in the area it belongs to, drawn by hand for the mixed profile at release 11:
// general part below 408, blocks of 64 and 66 bytes from there, works areas from 668 to 1784.
TEST_F(Immagine, EveryWriteLandsInsideItsOwnArea)
{
    for (bool mantieni : {false, true}) {
        SCOPED_TRACE(mantieni ? "works kept" : "works cleared");
        Carica(ProfiloMisto(), Strumento(11, true), mantieni);
        struct Area {
            std::uint32_t inizio, fine;
            const char* nome;
        };
        const std::vector<Area> aree{{0, 4, "header"},         {4, 408, "general"},        {408, 472, "measure 1"},
                                     {472, 538, "measure 2"},  {538, 604, "measure 3"},    {604, 668, "measure 5"},
                                     {668, 951, "works 1"},    {951, 1098, "works 2"},     {1098, 1218, "works 3"},
                                     {1218, 1784, "works 5"}};
        std::map<std::string, std::size_t> perArea;
        std::map<std::uint32_t, int> volte;
        for (const ScritturaImmagine& s : img.scritture) {
            const auto a = std::find_if(aree.begin(), aree.end(),
                                        [&](const Area& x) { return s.indirizzo >= x.inizio && s.indirizzo < x.fine; });
            ASSERT_NE(a, aree.end()) << "write at " << s.indirizzo;
            ++perArea[a->nome];
            ++volte[s.indirizzo];
        }
        for (const auto& [indirizzo, n] : volte) {
            // Only the header and byte 31 of a peak-to-peak or simplex record (also the first byte
            // of its data block) are written twice.
            const bool doppio = indirizzo < 4 || indirizzo == 472 + 31 || indirizzo == 538 + 31;
            EXPECT_EQ(n, doppio ? 2 : 1) << "address " << indirizzo;
        }
        // Blocks are written whole, works areas byte by byte only when they are cleared.
        // Record bytes 0-45 and data-block bytes 0, 16, 17 of the press; record bytes 0-31 and
        // data-block bytes 0 and 16-34 of the peak to peak; byte 3 only when works are cleared.
        EXPECT_EQ(perArea["measure 1"], mantieni ? 48u : 49u);
        EXPECT_EQ(perArea["measure 2"], mantieni ? 51u : 52u);
        EXPECT_EQ(perArea["works 5"], mantieni ? 0u : 566u);
        EXPECT_EQ(perArea["works 2"], mantieni ? 0u : 147u);
    }
}

TEST_F(Immagine, GeneralPartOfTheMixedProfile)
{
    DatiStrumento d = Strumento(11, true);
    d.updateMode = true;
    d.taratura[0] = {.gain = 0.5f, .reverse = false, .offset = 7, .decimali = 3, .unita = 0};
    d.taratura[1] = {.gain = 1.0f, .reverse = true, .offset = 0, .decimali = 2, .unita = 4};
    d.taratura[2] = {.gain = 1.2345f, .reverse = false, .offset = -40, .decimali = 2, .unita = 1};
    d.taratura[4] = {.gain = 7.0f, .reverse = true, .offset = 0, .decimali = 0, .unita = 0};  // 70000 saturates
    d.opzioneTrasduttori = 0x05;
    d.configurazioneAnalogica = 19;
    d.codiceBaud = 129;
    Carica(ProfiloMisto(), d);

    EXPECT_EQ(m.at(4), 0x83);  // 3, update mode
    EXPECT_EQ(m.at(5), 2);
    const std::uint32_t indirizzi[] = {408, 472, 538, 0, 604, 0};
    for (std::uint32_t k = 0; k < 6; ++k) EXPECT_EQ(Parola(0x16 + 2 * k), indirizzi[k]) << k;
    EXPECT_EQ(m.at(0x22), 0);
    EXPECT_EQ(m.at(0x23), 3);
    EXPECT_EQ(m.at(0x24), 4);
    EXPECT_EQ(m.at(0x26), 1);
    EXPECT_EQ(m.at(0x27), 2);
    EXPECT_EQ(Parola(0x2E), 5000u);
    EXPECT_EQ(Parola(0x32), 12345u);
    EXPECT_EQ(Parola(0x36), 65535u);
    EXPECT_EQ(Parola(0x34), 10000u);  // an untouched record: gain 1
    EXPECT_EQ(Parola(0x40), 7u);
    EXPECT_EQ(Parola(0x44), 0xFFD8u);  // -40
    EXPECT_EQ(m.at(0x50), 3);          // reverse of records 1 and 4
    EXPECT_EQ(m.at(0x3B), 0);
    EXPECT_EQ(m.at(0x3C), 20);
    EXPECT_EQ(m.at(0x3D), 0x05);
    EXPECT_EQ(m.at(0x3E), 0);
    EXPECT_EQ(m.at(0x3F), 19);
    EXPECT_EQ(m.at(0x4C), 0);
    EXPECT_EQ(m.at(0x4D), 2);  // TipoSinottico
    EXPECT_EQ(m.at(0x4E), 5);  // nInputDato
    EXPECT_EQ(m.at(0x4F), 6);  // nInputClock
    EXPECT_EQ(m.at(0x51), 8);
    EXPECT_EQ(m.at(0x52), 10);
    EXPECT_EQ(m.at(0x53), 7);
    EXPECT_EQ(m.at(0x54), 129);
    for (std::uint32_t a : {0x3Au, 0x55u, 0x56u, 0x57u}) EXPECT_EQ(m.count(a), 0u) << a;
    EXPECT_EQ(m.at(0x58), 14);
    EXPECT_EQ(Stringa(0x58, 20), "LINEA 4 PRESSE");
    EXPECT_EQ(m.at(0x58 + 15), 0);  // padded with 0 up to the maximum
    EXPECT_EQ(m.at(0x58 + 20), 0);
    // Inputs: 0 start, 1 idle, 2 remote command, 3 top dead course, 4 increment serial number,
    // 6 direction; input 7 belongs to an unused measure.
    const std::uint8_t ingressi[] = {1, 8, 16, 7, 13, 0, 11, 0};
    const std::uint8_t maschereIngressi[] = {0x03, 0x01, 0x01, 0x01, 0x02, 0, 0x10, 0};
    const std::uint8_t uscite[] = {1, 3, 4, 11, 12, 3, 10, 0};
    const std::uint8_t maschereUscite[] = {0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x10, 0};
    for (std::uint32_t n = 0; n < 8; ++n) {
        EXPECT_EQ(m.at(0xB8 + n), ingressi[n]) << n;
        EXPECT_EQ(m.at(0xC0 + n), uscite[n]) << n;
        EXPECT_EQ(m.at(0xC8 + n), maschereIngressi[n]) << n;
        EXPECT_EQ(m.at(0xD0 + n), maschereUscite[n]) << n;
    }
    EXPECT_EQ(m.at(0xD8), 23);
    EXPECT_EQ(Stringa(0xD8, 23), "CALETTAMENTO CUSCINETTO");
    EXPECT_EQ(Stringa(0xD8 + 24 * 3, 23), "NON USATA");  // names of unused measures still go
    EXPECT_EQ(m.at(0xD8 + 24 * 5), 0);
    // The curve table, from release 11 inside the room kept after the configuration size.
    EXPECT_EQ(Tre(0x168), 1784u);
    EXPECT_EQ(Tre(0x16B), 147076u);
    EXPECT_EQ(Tre(0x168 + 6), 148860u);
    EXPECT_EQ(Tre(0x168 + 12 + 3), 5u);
    EXPECT_EQ(m.count(0x168 + 18), 0u);  // unused measure 4
    EXPECT_EQ(Tre(0x168 + 24), 223146u);
    EXPECT_EQ(Tre(0x168 + 27), 74266u);
}

TEST_F(Immagine, MeasureRecordsOfTheMixedProfile)
{
    Carica(ProfiloMisto(), Strumento(11, true));
    // Press at 408.
    const std::uint32_t r1 = 408;
    EXPECT_EQ(m.at(r1 + 0), 0x2E);
    EXPECT_EQ(m.at(r1 + 1), 0x12);
    EXPECT_EQ(m.at(r1 + 2), 1);
    EXPECT_EQ(m.at(r1 + 3), 0);
    EXPECT_EQ(m.at(r1 + 4), 0x09);  // external stop, operation selected on start
    EXPECT_EQ(Parola(r1 + 5), 668u);
    EXPECT_EQ(Parola(r1 + 7), 283u);
    EXPECT_EQ(m.at(r1 + 9), 0);
    EXPECT_EQ(m.at(r1 + 10), 1);
    EXPECT_EQ(m.at(r1 + 11), 2 + 16 * 3);
    EXPECT_EQ(m.at(r1 + 17), 2 + 16 * 5);
    EXPECT_EQ(m.at(r1 + 18), 3);
    EXPECT_EQ(m.at(r1 + 19), 1);
    EXPECT_EQ(m.at(r1 + 20), 0);
    EXPECT_EQ(m.at(r1 + 21), 4);  // top dead course
    EXPECT_EQ(m.at(r1 + 23), 4);  // fully retracted, release above 10
    EXPECT_EQ(m.at(r1 + 25), 0x02);
    EXPECT_EQ(m.at(r1 + 26), 0x31);
    EXPECT_EQ(Parola(r1 + 27), 2500u);
    EXPECT_EQ(m.at(r1 + 29), 12);
    EXPECT_EQ(m.at(r1 + 30), 34);
    for (std::uint32_t k = 31; k <= 36; ++k) EXPECT_EQ(m.at(r1 + k), 0) << k;
    EXPECT_EQ(Parola(r1 + 38), 0xFFFDu);  // -3
    EXPECT_EQ(Parola(r1 + 40), 0u);
    EXPECT_EQ(m.at(r1 + 46), 0);
    EXPECT_EQ(m.at(r1 + 46 + 16), 15);
    EXPECT_EQ(m.at(r1 + 46 + 17), 0);
    // Peak to peak at 472.
    const std::uint32_t r2 = 472;
    EXPECT_EQ(m.at(r2 + 0), 0x1F);
    EXPECT_EQ(m.at(r2 + 1), 0x23);
    EXPECT_EQ(m.at(r2 + 2), 2);
    EXPECT_EQ(Parola(r2 + 5), 951u);
    EXPECT_EQ(Parola(r2 + 7), 49u);
    EXPECT_EQ(m.at(r2 + 9), 3);
    EXPECT_EQ(m.at(r2 + 17), 6);
    EXPECT_EQ(m.at(r2 + 24), 5);
    EXPECT_EQ(Tre(r2 + 25), 148860u);
    EXPECT_EQ(Tre(r2 + 28), 74266u);
    EXPECT_EQ(m.at(r2 + 31 + 16), 0);
    EXPECT_EQ(m.at(r2 + 31 + 17), 2);
    EXPECT_EQ(m.at(r2 + 31 + 18), 2);
    EXPECT_EQ(m.at(r2 + 31 + 19), 5);
    EXPECT_EQ(Stringa(r2 + 31 + 19, 15), "CORSA");
    // Simplex measure in phases at 538.
    const std::uint32_t r3 = 538;
    EXPECT_EQ(m.at(r3 + 0), 0x1F);
    EXPECT_EQ(m.at(r3 + 2), 3);
    EXPECT_EQ(m.at(r3 + 4), 0x04);
    EXPECT_EQ(Parola(r3 + 5), 1098u);
    EXPECT_EQ(Parola(r3 + 7), 30u);
    EXPECT_EQ(m.at(r3 + 9), 4);
    EXPECT_EQ(Tre(r3 + 28), 5u);
    // Test cylinder in phases at 604.
    const std::uint32_t r5 = 604;
    EXPECT_EQ(m.at(r5 + 0), 0x2E);
    EXPECT_EQ(m.at(r5 + 2), 4);
    EXPECT_EQ(m.at(r5 + 4), 0x04);
    EXPECT_EQ(Parola(r5 + 5), 1218u);
    EXPECT_EQ(m.at(r5 + 21), 7);  // direction
    EXPECT_EQ(m.at(r5 + 25), 0x01);  // start position on start, whatever the profile says
    EXPECT_EQ(m.at(r5 + 26), 0x64);
    EXPECT_EQ(m.at(r5 + 29), 0);
    EXPECT_EQ(m.at(r5 + 30), 7);  // main valve
}

TEST_F(Immagine, UpToRelease10TheRecordsCarryTheCurveValues)
{
    Carica(ProfiloMisto(), Strumento(10, true));
    const std::uint32_t r1 = 360;
    EXPECT_EQ(m.at(r1 + 23), 0);  // no fully-retracted output before release 11
    EXPECT_EQ(Tre(r1 + 31), 1736u);
    EXPECT_EQ(Tre(r1 + 34), 147089u);
    EXPECT_EQ(Tre(556 + 34), 74273u);  // the test cylinder, per operation
    // The table at 0x168 would land on the first record: it is left out whole, so each of those
    // bytes is written once, by the record.
    for (std::uint32_t a = 0x168; a < 0x168 + 36; ++a)
        EXPECT_EQ(std::count_if(img.scritture.begin(), img.scritture.end(), [a](const auto& s) { return s.indirizzo == a; }), 1)
            << a;
    EXPECT_EQ(m.at(0x168), 0x2E);
}

TEST_F(Immagine, ByteOfTheSerialNumberInputEndsCoveredByTheDataBlock)
{
    // The record's byte 31 (increment serial number) is the data block's first byte: the
    // instrument reads the data block from there, so the later 0 is what it gets.
    Carica(ProfiloMisto(), Strumento(11, true));
    std::vector<std::uint8_t> valori;
    for (const auto& s : img.scritture)
        if (s.indirizzo == 472 + 31) valori.push_back(s.valore);
    EXPECT_EQ(valori, (std::vector<std::uint8_t>{5, 0}));
}

TEST_F(Immagine, KeptWorksAreNeitherClearedNorUncommitted)
{
    Carica(ProfiloMisto(), Strumento(11, true), true);
    for (const auto& s : img.scritture) {
        EXPECT_TRUE(s.indirizzo < 668) << s.indirizzo;
        for (std::uint32_t r : {408u, 472u, 538u, 604u}) EXPECT_NE(s.indirizzo, r + 3);
    }
    Carica(ProfiloMisto(), Strumento(11, true), false);
    for (std::uint32_t a = 668; a < 1784; ++a) ASSERT_EQ(m.at(a), 0) << a;
    EXPECT_EQ(m.count(1784), 0u);
}

TEST_F(Immagine, OnlyMeasuresInUseGetARecord)
{
    ProfiloZem p;
    p.SetTipoMisura(2, 3);
    p.SetDurataCurve(2, 1.0f);
    p.SetNomeMisura(1, "VUOTA");
    Carica(p, Strumento(10, true));
    // Measure 2's block starts where measure 1 would have been; nothing else is written there.
    EXPECT_EQ(Parola(0x16), 0u);
    EXPECT_EQ(Parola(0x18), 360u);
    EXPECT_EQ(m.at(360 + 2), 3);
    const std::uint32_t lavori = 360 + 66;
    EXPECT_EQ(Parola(360 + 5), lavori);
    // The works area after it holds only zeros, and nothing lies beyond it.
    for (std::uint32_t a = lavori; a < lavori + 30; ++a) EXPECT_EQ(m.at(a), 0);
    EXPECT_EQ(std::max_element(m.begin(), m.end())->first, lavori + 29);
}

TEST_F(Immagine, FieldsOutsideTheirByteAreHeldAtTheEnds)
{
    ProfiloZem p = ProfiloMisto();
    p.SetCoeffA(1, 300);
    p.SetCoeffB(1, -2);
    p.SetnInput(1, 8, 20);   // does not fit its nibble
    p.SetNomeValore(2, "VALORE DELLA CORSA MASSIMA");
    p.Nome = "UN NOME DI STRUMENTO TROPPO LUNGO";
    Carica(p, Strumento(11, true));
    EXPECT_EQ(m.at(408 + 29), 255);
    EXPECT_EQ(m.at(408 + 30), 0);
    EXPECT_EQ(m.at(408 + 11), 15 + 16 * 3);
    // A text longer than its field claims only what was written.
    EXPECT_EQ(m.at(472 + 31 + 19), 15);
    EXPECT_EQ(Stringa(472 + 31 + 19, 15), "VALORE DELLA CO");
    EXPECT_EQ(m.at(0x58), 20);
}

TEST_F(Immagine, DataBlockLengthForTheOldestInstrument)
{
    DatiStrumento d = Strumento(0, true);
    Carica(ProfiloMisto(), d);
    EXPECT_EQ(m.at(360 + 1), 0x18);
    EXPECT_EQ(m.at(424 + 1), 0x13);
    EXPECT_EQ(m.at(490 + 1), 0x08);
    d.protocollo = 11;
    Carica(ProfiloMisto(), d);
    EXPECT_EQ(m.at(360 + 1), 0x12);
}

TEST_F(Immagine, AFailedComputationGivesNoImage)
{
    ProfiloZem p;
    EXPECT_FALSE(ImmagineMemoria::Costruisci(p, Strumento(11, true), false));
}

} // namespace
} // namespace zem
