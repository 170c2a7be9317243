// Work records byte for byte: where each field of each measure type lands, what a rebuild puts in
// a blank record, the order the writes go out, and decoding back into a phase.
#include "link/RecordLavoro.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem {
namespace {

using Bytes = std::vector<std::uint8_t>;

FormatoRecord Formato(int tipo, std::size_t dimensione, int livello = 2, int estensioni = 11)
{
    return {.tipo = tipo, .livello = livello, .estensioni = estensioni, .puntiFascia = 15, .dimensione = dimensione};
}

// Force raw = 20 x force, position raw = 200 x position, value raw = 5 x value, 1 ms a sample.
const ScalaMisura kScala{.gainForza = 0.5f, .gainQuota = 0.5f, .gainValore = 2.0f, .decimaliForza = 1,
                         .decimaliQuota = 2, .decimaliValore = 1, .decimaliTempo = 2, .baseTempo = 20};

FaseLavoro FasePressa()
{
    return {.NomeFase = "", .ByteAusiliario = 9, .ForzaStop = 100, .LimiteForzaMin = 10, .LimiteForzaMax = 150,
            .ForzaZero = 0.5f, .QuotaStop = 40, .LimiteQuotaMin = 10, .LimiteQuotaMax = 45, .QuotaInizioMin = 1,
            .QuotaInizioMax = 2, .QuotaFreno = 38, .QuotaOrigineGrafico = 1.5f, .QuotaFondoScalaGrafico = 50,
            .ForzaFondoScalaGrafico = 100,
            .BordoInferiore = {{20, 10}, {20, 20}},  // force, position: flat at 400 raw
            .BordoSuperiore = {{100, 15}},           // a single point is no border
            .CheckPoints = {{}, {20, 50, 60}, {}, {}, {}, {30, 70, 80}},
            .Flags = FaseLavoro::kAbilitata | FaseLavoro::kQuoteRelative,
            .FlagsArresto = FaseLavoro::kArrestoTimeOut | FaseLavoro::kArrestoQInizioMinima, .AcqPrescaler = 50,
            .MaxPuntiCoda = 7, .StopDelay = 1.5f};
}

std::uint32_t Parola(const Bytes& r, std::size_t a) { return r.at(a) | (r.at(a + 1) << 8); }

Bytes Scrivi(const FormatoRecord& formato, std::uint8_t o, const std::string& nome, FaseLavoro& fase,
             Bytes record = {})
{
    if (record.empty()) record.assign(formato.dimensione, 0);
    const auto campi = RecordLavoro::Campi(formato, o, nome, fase, kScala);
    if (!campi) throw std::runtime_error("layout");
    RecordLavoro::Applica(record, *campi);
    return record;
}

struct CampoAtteso {
    std::size_t offset;
    std::uint32_t valore;
    bool parola;
};

void Verifica(const Bytes& r, std::initializer_list<CampoAtteso> campi)
{
    for (const CampoAtteso& c : campi)
        EXPECT_EQ(c.parola ? Parola(r, c.offset) : r.at(c.offset), c.valore) << "offset " << c.offset;
}

TEST(RecordLavoro, PressRecordLayout)
{
    for (const int tipo : {1, 4}) {
        SCOPED_TRACE(tipo);
        FaseLavoro f = FasePressa();
        const Bytes r = Scrivi(Formato(tipo, 283), 28, "PIANTAGGIO 1", f);
        EXPECT_EQ(r[6], 12);
        EXPECT_EQ(std::string(r.begin() + 7, r.begin() + 19), "PIANTAGGIO 1");
        Verifica(r, {{3, 28, false},    {4, 101, false},   {22, 150, true},  {24, 5000, true}, {26, 1000, true},
                     {28, 3, false},    {29, 2000, true},  {31, 200, true},  {33, 3000, true}, {35, 10, true},
                     {37, 8000, true},  {39, 2000, true},  {41, 9000, true}, {43, 200, true},  {45, 400, true},
                     {47, 7600, true},  {50, 7, false},    {51, 0x81, false}, {52, 15, false},
                     {53, 4000, true},  {55, 1000, true},  {57, 1200, true},  {59, 0, true},
                     {77, 6000, true},  {79, 1400, true},  {81, 1600, true},  // check point 5 at O + 25 + 24
                     {100, 9, false},   {101, 1, false},   {102, 0, false},
                     {103, 2000, true}, {105, 400, true},  {107, 0, true},
                     {109, 4000, true}, {111, 400, true},  {113, 36863, true}});
        // The prescaler goes only into a test-cylinder record.
        EXPECT_EQ(r[49], tipo == 4 ? 50 : 0);
        // Nothing of the upper border: its entries start at E + 2 + 6 x 15.
        for (std::size_t a = 103 + 90; a < 283; ++a) EXPECT_EQ(r[a], 0) << a;
        EXPECT_TRUE(f.BordoSuperiore.empty());
    }
}

TEST(RecordLavoro, PeakToPeakAndSimplexRecordLayouts)
{
    FaseLavoro f{.NomeFase = "", .TempoStart = 0.25f, .TempoStop = 2, .LimiteMin = 2, .LimiteMax = 8, .LimitePkPkMin = 1,
                 .LimitePkPkMax = 5, .LimiteMediaMin = 3, .LimiteMediaMax = 6, .TempoOrigineGrafico = 0.5f,
                 .TempoFondoScalaGrafico = 2, .ValoreOrigineGrafico = 1.5f, .ValoreFondoScalaGrafico = 20,
                 .BordoInferiore = {}, .BordoSuperiore = {}, .CheckPoints = {}, .Flags = FaseLavoro::kAbilitata,
                 .FlagsArresto = FaseLavoro::kArrestoValoreMinimo | FaseLavoro::kArrestoValoreMassimo, .AcqPrescaler = 10};
    const Bytes p = Scrivi(Formato(2, 49), 30, "PP", f);
    Verifica(p, {{3, 30, false},  {4, 0, false},   {22, 50, true},  {24, 200, true}, {26, 15, true},
                 {28, 200, true}, {30, 1, false},  {31, 250, true}, {33, 200, true}, {35, 10, true},
                 {37, 40, true},  {39, 5, true},   {41, 25, true},  {43, 15, true},  {45, 30, true},
                 {48, 0x0C, false}});
    const Bytes s = Scrivi(Formato(3, 30), 22, "S", f);
    Verifica(s, {{3, 22, false}, {22, 1, false}, {23, 250, true}, {25, 10, true}, {27, 40, true}, {29, 0, false}});
}

TEST(RecordLavoro, ARebuildLeavesTheLevelBytesBesideThePhaseData)
{
    const struct {
        const char* nome;
        FormatoRecord formato;
        std::uint8_t o;
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
        std::int16_t prescaler;
    } casi[] = {
        {"press", Formato(1, 283), 28, {{50, 1}, {51, 7}}, 1},
        {"peak to peak", Formato(2, 49), 30, {{48, 10}}, 10},
        {"simplex with a spare byte", Formato(3, 31), 22, {{30, 4}}, 1},
        // A record of 30 bytes has no byte 30: the marker is not spilled into the next record.
        {"simplex of 30 bytes", Formato(3, 30), 22, {}, 1},
        {"older layout, simplex", Formato(3, 60, 0), 28, {{49, 1}, {50, 7}}, 1},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(RecordLavoro::OffsetRicostruzione(c.formato.tipo, c.formato.livello), c.o);
        FaseLavoro f;
        f.MaxPuntiCoda = 7;
        f.AcqPrescaler = 99;
        const auto r = RecordLavoro::Ricostruito(c.formato, f);
        ASSERT_TRUE(r);
        Bytes atteso(c.formato.dimensione, 0);
        for (const auto& [a, v] : c.bytes) atteso[a] = v;
        EXPECT_EQ(*r, atteso);
        EXPECT_EQ(f.AcqPrescaler, c.prescaler);
    }
}

TEST(RecordLavoro, RecordsThatAreNotOfTheFormatAreNotDecoded)
{
    FaseLavoro f = FasePressa();
    const Bytes buono = Scrivi(Formato(1, 283), 28, "OK", f);
    const struct {
        const char* nome;
        std::size_t offset;
        std::uint8_t valore;
    } guasti[] = {{"phase data over the name", 3, 5},         {"phase data past the end", 3, 200},
                  {"envelope over the phase data", 4, 90},    {"envelope past the end", 4, 110},
                  {"more lower points than the record holds", 101, 15}};
    for (const auto& g : guasti) {
        SCOPED_TRACE(g.nome);
        Bytes r = buono;
        r[g.offset] = g.valore;
        FaseLavoro d;
        d.NomeFase = "INTATTA";
        std::string nome = "PRIMA";
        EXPECT_FALSE(RecordLavoro::Decodifica(Formato(1, 283), r, kScala, d, nome));
        EXPECT_EQ(d.NomeFase, "INTATTA");
        EXPECT_EQ(nome, "PRIMA");
    }
    FaseLavoro d;
    std::string nome;
    // 14 segments are 15 points: still inside.
    Bytes r = buono;
    r[101] = 14;
    EXPECT_TRUE(RecordLavoro::Decodifica(Formato(1, 283), r, kScala, d, nome));
    EXPECT_EQ(d.BordoInferiore.size(), 15u);
}

} // namespace
} // namespace zem
