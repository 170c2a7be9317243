// Opening a connection against simulated instruments holding configuration images of both header
// formats, the identity and version replies decoded, the refusals, and the status polling.
#include "sim/ConfigurationImages.h"
#include "tests/SimLink.h"

namespace zem::test {
namespace {

using sim::ImageSpec;
using sim::MeasureSpec;

ImageSpec QuattroMisure(std::uint8_t variant = 2)
{
    ImageSpec s;
    s.variant = variant;
    s.name = "PRESSA 7";
    s.measures = {
        MeasureSpec{.type = 1, .name = "CALETTAMENTO", .capability = 0x04, .worksAddress = 0x1000, .workSize = 300,
                    .works = 8, .remote = true, .transducerX = 1, .transducerY = 3},
        MeasureSpec{.type = 2, .name = "PICCO", .transducerY = 5, .valueName = "CORSA", .timeUnit = 1, .timeDecimals = 3},
        MeasureSpec{.type = 3, .name = "QUOTA", .transducerY = 2, .valueName = "ALTEZZA"},
        MeasureSpec{.type = 4, .name = "CILINDRO", .capability = 0x02, .transducerX = 4, .transducerY = 6},
    };
    s.inputFunctions = {1, 2, 0, 0, 17, 0, 0, 3};
    s.outputFunctions = {3, 4, 0, 0, 0, 0, 0, 1};
    s.inputMasks = {1, 1, 0, 0, 2, 0, 0, 1};
    s.calibration[2] = {.unit = 1, .decimals = 2, .gain = 12345, .offset = -40};
    s.calibration[0] = {.unit = 0, .decimals = 3, .gain = 5000, .offset = 7};
    s.calibration[4] = {.unit = 2, .decimals = 1, .gain = 20000, .offset = 0, .reverse = true};
    return s;
}

class Connection : public ChannelTest {
protected:
    void Load(const ImageSpec& s) { memory.CaricaConfigurazione(sim::BuildConfigurationImage(s)); }
};

TEST_P(Connection, AFormat5ImageWithFourMeasuresLoadsWhole)
{
    for (std::uint8_t variant : {1, 2, 7}) {  // an unknown layout variant still opens
        Load(QuattroMisure(variant));
        ASSERT_TRUE(Connect()) << int{variant};
        EXPECT_EQ(link.Nome(), "PRESSA 7");
        EXPECT_EQ(link.NumeroMisure(), 4);
        EXPECT_EQ(link.NomeMisura(4), "CILINDRO");
        EXPECT_EQ(link.TipoMisura(2), 2);
        EXPECT_TRUE(link.NecessitaConnessione(4));
        EXPECT_TRUE(link.ConIngressoRemote(1));
        const MisuraStrumento& m1 = link.Misura(1);
        EXPECT_EQ(std::tie(m1.indirizzoLavori, m1.dimensioneLavoro, m1.numeroLavori), std::tuple(0x1000u, 300u, 8));
        EXPECT_EQ(std::tie(link.Misura(4).NumeroTrasduttoreX, link.Misura(4).NumeroTrasduttoreY), std::tuple(4, 6));
        EXPECT_EQ(link.Misura(2).NomeValoreMisura, "CORSA");
        // Scalings come from the calibration records of the measure's transducers.
        EXPECT_FLOAT_EQ(m1.gainForza, 1.2345f);
        EXPECT_EQ(m1.decimaliForza, 2);
        EXPECT_FLOAT_EQ(m1.gainQuota, 0.5f);
        EXPECT_FLOAT_EQ(link.Misura(2).gainValore, 2.0f);
        EXPECT_EQ(link.FunzioneIngresso(4), 17);
        EXPECT_EQ(link.MascheraIngresso(4), 2);
        EXPECT_EQ(link.LivelloLayout(), variant == 2 ? 2 : 1);
        link.ChiudiComunicazione();
    }
}

TEST_P(Connection, AFormat4ImageHasItsTwoPressMeasures)
{
    ImageSpec s;
    s.format = '4';
    s.measures = {MeasureSpec{.type = 1, .name = "MISURA A", .capability = 0x13}, MeasureSpec{.type = 1, .name = "MISURA B"}};
    s.inputFunctions = {1, 0, 0, 0, 0, 0, 0, 2};
    s.baseTempo = 40;
    Load(s);
    ASSERT_TRUE(Connect());
    EXPECT_EQ(link.NomeMisura(2), "MISURA B");
    EXPECT_EQ(link.Misura(1).capacita, 0x03);
    EXPECT_EQ(link.BaseTempo(), 40);
    EXPECT_EQ(link.FunzioneIngresso(7), 2);
    EXPECT_EQ(link.Misura(2).indirizzoRecord, sim::RecordAddress(s, 2));
}

TEST_P(Connection, RefusedInstrumentsLeaveTheLinkClosed)
{
    const struct {
        const char* what;
        int protocol;
        char format;
        std::uint16_t headerSize;
    } cases[] = {{"instrument type 12", 12, '5', 0}, {"header format 6", 11, '6', 0},
                 {"header shorter than its fields", 14, '5', 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto s = QuattroMisure();
        s.format = c.format;
        Load(s);
        memory.Opzioni().protocollo = static_cast<std::uint8_t>(c.protocol);
        if (c.headerSize != 0) memory.Opzioni().dimensioneIntestazione = c.headerSize;
        EXPECT_FALSE(Connect());
        EXPECT_FALSE(link.Collegato());
        EXPECT_EQ(link.HandlePortaUSB(), 0u);
    }
}

TEST_P(Connection, PieceStatusIsAnsweredOnlyForTheMeasuresTheReplyCarries)
{
    Load(QuattroMisure());
    ASSERT_TRUE(Connect());
    Answer(4, {0x02, 0x03});
    // Measure: answered, in work.
    for (const auto& [m, risposta, inLavoro] : {std::tuple{1, true, false}, {2, true, true}, {3, false, true}, {0, false, true}}) {
        bool inLavorazione = !inLavoro;
        EXPECT_EQ(link.LeggiPezzoInLavorazione(m, inLavorazione), risposta) << m;
        EXPECT_EQ(inLavorazione, inLavoro) << m;
    }
}

TEST_P(Connection, PollingStartsWithTheCommand28PollAndTicksRaiseTheirEvents)
{
    auto s = QuattroMisure();
    s.option77 = 1;
    Load(s);
    ASSERT_TRUE(Connect());
    std::vector<std::pair<int, int>> messaggi;
    link.MessaggioStrumento = [&](int b3, int b2) { messaggi.emplace_back(b3, b2); };
    Answer(28, {0, 5, 9});
    EXPECT_TRUE(link.StartPolling());
    EXPECT_EQ(link.TimerStatus.Interval, 300);
    EXPECT_EQ(messaggi, (std::vector<std::pair<int, int>>{{9, 5}}));

    int comunica = 0, completati = 0, errori = 0;
    link.Comunica = [&] { ++comunica; };
    link.PezzoCompletato = [&](int) { ++completati; };
    for (const Bytes& stato : {Bytes{0x01, 0x00}, Bytes{0x00, 0x00}}) {
        Answer(4, stato);
        link.TimerStatus_Timer();
    }
    EXPECT_EQ(comunica, 2);
    EXPECT_EQ(completati, 1);

    // A failed poll the container does not retry stops the polling; a retried one reopens USB.
    link.ErroreComunicazione = [&](bool& retry) {
        retry = ++errori == 2;
        if (retry) instrument.Faults().silence = 0;  // the instrument is back
    };
    instrument.Faults().silence = 100;
    link.TimerStatus_Timer();
    EXPECT_FALSE(link.InPolling());
    link.StartPolling();
    instrument.Faults().silence = 4;  // the poll's four attempts
    link.TimerStatus_Timer();
    EXPECT_TRUE(link.InPolling());
    EXPECT_TRUE(link.Collegato());
}

INSTANTIATE_TEST_SUITE_P(Canali, Connection, ::testing::Values(false, true), ChannelName);

// Identity and version replies decoded byte by byte.
class Identity : public ::testing::Test, public SimLink {};

TEST_F(Identity, VersionRepliesAndTheirDefaults)
{
    Answer(1, {0x0A, 14});
    ASSERT_TRUE(OpenEth());
    std::int32_t configurazione = 0, memoria = 0;
    Answer(12, {0x2C, 0x01, 0x10, 0x36, 0x00, 0x02, 0x00, 0x00, 0x04, 0x20, 0x01});  // 11 bytes carry the sizes
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_DOUBLE_EQ(link.VersioneEncoder(), 1.15);
    EXPECT_EQ(link.ConfigurazioneIngressiAnalogici(), 19);
    EXPECT_EQ((std::array{link.Ingresso20mA(2), link.Ingresso20mA(3), link.Ingresso010V(1)}), (std::array{true, false, false}));
    link.InfoMemory(configurazione, memoria);
    EXPECT_EQ(std::tie(configurazione, memoria), std::tuple(512, 0x040000));
    EXPECT_EQ(link.DimensioneAreaPRAM(), 0x120u);

    // Each read starts from the defaults again.
    Answer(12, {0x2C, 0x01, 0x00, 16});  // ADC (16 + 99) / 100 = 1.15
    ASSERT_TRUE(link.LeggiVersione());
    link.InfoMemory(configurazione, memoria);
    EXPECT_EQ(std::tie(configurazione, memoria), std::tuple(360, 0x80000));
    EXPECT_EQ(link.DimensioneAreaPRAM(), 0u);
    EXPECT_EQ(link.OffsetADC(1), 360);
    EXPECT_EQ(link.OffsetADC(2), 0);
    Answer(12, {0x2C, 0x01, 0x00, 17});  // 1.16
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_EQ(link.OffsetADC(1), 2048);

    Answer(12, {0x2C, 0x01});
    EXPECT_FALSE(link.LeggiVersione());
    Answer(12, {0});
    EXPECT_FALSE(link.LeggiVersione());  // a one-byte reply is valid only in update mode
}

} // namespace
} // namespace zem::test
