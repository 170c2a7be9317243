// Opening a connection against simulated instruments holding configuration images of both header
// formats: identity, version, name, measures, I/O functions, and the refusals.
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedMemory.h"
#include "tests/link/LinkFixture.h"

namespace zem {
namespace {

using sim::ImageSpec;
using sim::MeasureSpec;

ImageSpec QuattroMisure(std::uint8_t variant)
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

class Connection : public LinkFixture, public ::testing::WithParamInterface<bool> {
protected:
    explicit Connection(sim::SimulatedMemory::Options o = {}) : memory(instrument, o) {}
    bool Open() { return GetParam() ? link.ApriComunicazioneUSB(kSerial) : link.ApriComunicazioneETH(kHost, kPort); }
    void Load(const ImageSpec& s) { memory.CaricaConfigurazione(sim::BuildConfigurationImage(s)); }
    sim::SimulatedMemory memory;
};

TEST_P(Connection, AFormat5ImageWithFourMeasuresLoadsWhole)
{
    for (std::uint8_t variant : {1, 2}) {
        Load(QuattroMisure(variant));
        ASSERT_TRUE(Open()) << int{variant};
        EXPECT_TRUE(link.Collegato());
        EXPECT_EQ(link.Nome(), "PRESSA 7");
        EXPECT_EQ(link.NumeroMisure(), 4);
        EXPECT_EQ(link.NomeMisura(1), "CALETTAMENTO");
        EXPECT_EQ(link.NomeMisura(4), "CILINDRO");
        EXPECT_EQ(link.TipoMisura(2), 2);
        EXPECT_EQ(link.TipoMisura(5), 0);
        EXPECT_TRUE(link.GestioneFasi(1));
        EXPECT_FALSE(link.NecessitaConnessione(1));
        EXPECT_TRUE(link.NecessitaConnessione(4));
        EXPECT_TRUE(link.ConIngressoRemote(1));
        EXPECT_FALSE(link.ConIngressoRemote(2));
        EXPECT_EQ(link.Misura(1).indirizzoLavori, 0x1000u);
        EXPECT_EQ(link.Misura(1).dimensioneLavoro, 300u);
        EXPECT_EQ(link.Misura(1).numeroLavori, 8);
        EXPECT_EQ(link.Misura(4).NumeroTrasduttoreX, 4);
        EXPECT_EQ(link.Misura(4).NumeroTrasduttoreY, 6);
        EXPECT_EQ(link.Misura(2).NomeValoreMisura, "CORSA");
        EXPECT_EQ(link.Misura(2).indiceUnitaTempo, 1);
        EXPECT_EQ(link.Misura(2).decimaliTempo, 3);
        // Scalings come from the calibration records of the measure's transducers.
        EXPECT_FLOAT_EQ(link.Misura(1).gainForza, 1.2345f);
        EXPECT_EQ(link.Misura(1).decimaliForza, 2);
        EXPECT_EQ(link.Misura(1).umForza, 1);
        EXPECT_FLOAT_EQ(link.Misura(1).gainQuota, 0.5f);
        EXPECT_EQ(link.Misura(1).decimaliQuota, 3);
        EXPECT_FLOAT_EQ(link.Misura(2).gainValore, 2.0f);
        EXPECT_EQ(link.Taratura()[2].offset, -40);
        EXPECT_TRUE(link.Taratura()[4].reverse);
        EXPECT_FALSE(link.Taratura()[1].reverse);
        EXPECT_EQ(link.FunzioneIngresso(4), 17);
        EXPECT_EQ(link.FunzioneUscita(7), 1);
        EXPECT_EQ(link.MascheraIngresso(4), 2);
        EXPECT_EQ(link.FunzioneIngresso(8), 0);
        EXPECT_EQ(link.BaseTempo(), 20);
        EXPECT_EQ(link.LivelloLayout(), variant);
        link.ChiudiComunicazione();
        EXPECT_FALSE(link.Collegato());
    }
}

TEST_P(Connection, AFormat4ImageHasItsTwoPressMeasuresAndTheirCalibration)
{
    ImageSpec s;
    s.format = '4';
    s.name = "";
    s.measures = {MeasureSpec{.type = 1, .name = "MISURA A", .capability = 0x13},
                  MeasureSpec{.type = 1, .name = "MISURA B"}};
    s.inputFunctions = {1, 0, 0, 0, 0, 0, 0, 2};
    s.baseTempo = 40;
    s.calibration[5] = {.unit = 3, .decimals = 1, .gain = 30000, .offset = -2};
    Load(s);
    ASSERT_TRUE(Open());
    EXPECT_EQ(link.NumeroMisure(), 2);
    EXPECT_EQ(link.NomeMisura(2), "MISURA B");
    EXPECT_EQ(link.TipoMisura(1), 1);
    EXPECT_EQ(link.Misura(1).capacita, 0x03);
    EXPECT_EQ(link.NumeroMassimoPuntiFascia(1), 15);
    EXPECT_EQ(link.LivelloLayout(), 0);
    EXPECT_EQ(link.BaseTempo(), 40);
    EXPECT_EQ(link.FunzioneIngresso(7), 2);
    EXPECT_EQ(link.Taratura()[5].offset, -2);
    EXPECT_FLOAT_EQ(link.Taratura()[5].gain, 3.0f);
    EXPECT_EQ(link.Misura(2).indirizzoRecord, sim::RecordAddress(s, 2));
}

TEST_P(Connection, AnUnknownLayoutVariantStillOpensAndIsReported)
{
    auto s = QuattroMisure(2);
    s.variant = 7;
    Load(s);
    std::array<std::int16_t, 2> errore{};
    ASSERT_TRUE(GetParam() ? link.ApriPortaUSB(kSerial) : link.ApriPortaETH(kHost, kPort));
    EXPECT_TRUE(link.LeggiConfigurazione(errore));
    EXPECT_EQ(errore, (std::array<std::int16_t, 2>{2, 0}));
    EXPECT_EQ(link.NumeroMisure(), 4);
}

TEST_P(Connection, RefusedInstrumentsLeaveTheLinkClosed)
{
    Load(QuattroMisure(2));
    memory.Opzioni().protocollo = 12;
    EXPECT_FALSE(Open());
    EXPECT_FALSE(link.Collegato());
    EXPECT_EQ(link.HandlePortaUSB(), 0u);

    memory.Opzioni().protocollo = 11;
    auto s = QuattroMisure(2);
    s.format = '6';
    Load(s);
    EXPECT_FALSE(Open());
    EXPECT_FALSE(link.Collegato());
}

TEST_P(Connection, AHeaderShorterThanItsFieldsFailsInsteadOfReadingPastIt)
{
    Load(QuattroMisure(2));
    memory.Opzioni().dimensioneIntestazione = 100;
    EXPECT_FALSE(Open());
}

TEST_P(Connection, AnInstrumentInUpdateModeOpensWithoutAnImage)
{
    Load(QuattroMisure(2));
    memory.SetUpdateMode(true);
    ASSERT_TRUE(Open());
    EXPECT_TRUE(link.UpdateMode());
    EXPECT_EQ(link.NumeroMisure(), 0);
    EXPECT_EQ(link.Nome(), "");
    memory.SetUpdateMode(false);
    memory.Guasti().erroreMemoria = true;
    ASSERT_TRUE(Open());
    EXPECT_TRUE(link.MemoryError());
    EXPECT_EQ(link.NumeroMisure(), 0);
}

TEST_P(Connection, PieceStatusIsAnsweredOnlyForTheMeasuresTheReplyCarries)
{
    Load(QuattroMisure(2));
    ASSERT_TRUE(Open());
    std::vector<std::uint8_t> stato{0x02, 0x03};
    instrument.SetCommand(4, [&](auto) { return stato; });
    bool inLavorazione = true;
    EXPECT_TRUE(link.LeggiPezzoInLavorazione(1, inLavorazione));
    EXPECT_FALSE(inLavorazione);
    EXPECT_TRUE(link.LeggiPezzoInLavorazione(2, inLavorazione));
    EXPECT_TRUE(inLavorazione);
    EXPECT_FALSE(link.LeggiPezzoInLavorazione(3, inLavorazione));
    EXPECT_FALSE(link.LeggiPezzoInLavorazione(0, inLavorazione));
}

INSTANTIATE_TEST_SUITE_P(Canali, Connection, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "USB" : "Ethernet"; });

class ConnectionBlankEeprom : public LinkFixture {
protected:
    sim::SimulatedMemory memory{instrument};
};

TEST_F(ConnectionBlankEeprom, ABridgeWithoutASerialNumberCannotOpen)
{
    memory.CaricaConfigurazione(sim::BuildConfigurationImage(QuattroMisure(2)));
    bridge.Device(device).eeprom.reset();
    EXPECT_FALSE(link.ApriComunicazioneUSB(kSerial));
    EXPECT_FALSE(bridge.IsOpen(device));
}

// Identity and version replies decoded byte by byte.
class Identity : public LinkFixture {
protected:
    void Rispondi(std::uint8_t code, std::vector<std::uint8_t> payload)
    {
        instrument.SetCommand(code, [payload](auto) { return payload; });
    }
};

TEST_F(Identity, FlagsOfTheFirstByte)
{
    struct Caso {
        std::uint8_t flags;
        int estensioni;
        bool inPRAM, memoryError, updateMode;
    };
    for (const Caso c : {Caso{0x8B, 11, true, false, true}, Caso{0x25, 5, true, false, false},
                         Caso{0x2B, 11, false, false, false}, Caso{0x4A, 10, true, true, false}}) {
        Rispondi(1, {c.flags, 14});
        ASSERT_TRUE(OpenEth());
        EXPECT_EQ(link.Estensioni(), c.estensioni);
        EXPECT_EQ(link.ConfigurazioneInPRAM(), c.inPRAM) << int{c.flags};
        EXPECT_EQ(link.MemoryError(), c.memoryError);
        EXPECT_EQ(link.UpdateMode(), c.updateMode);
        EXPECT_EQ(link.Protocollo(), 14);
    }
    Rispondi(1, {0x0B});
    EXPECT_FALSE(OpenEth());
}

TEST_F(Identity, VersionRepliesAndTheirDefaults)
{
    Rispondi(1, {0x0A, 14});
    ASSERT_TRUE(OpenEth());
    Rispondi(12, {0x2C, 0x01, 0x00, 0x00});
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_DOUBLE_EQ(link.VersioneCPU(), 3.0);
    EXPECT_EQ(link.VersioneEncoder(), 0);
    EXPECT_EQ(link.VersioneADC(), 0);
    std::int32_t configurazione = 0, memoria = 0;
    link.InfoMemory(configurazione, memoria);
    EXPECT_EQ(configurazione, 360);
    EXPECT_EQ(memoria, 0x80000);
    EXPECT_EQ(link.NumeroMassimoCheckPoint(), 5);

    Rispondi(12, {0x2C, 0x01, 0x10, 0x36, 0x00, 0x02, 0x00, 0x00, 0x04, 0x20, 0x01, 0x01});
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_DOUBLE_EQ(link.VersioneEncoder(), 1.15);
    EXPECT_EQ(link.VersioneADC(), 2);
    EXPECT_EQ(link.ConfigurazioneIngressiAnalogici(), 19);
    EXPECT_TRUE(link.Ingresso20mA(1));
    EXPECT_TRUE(link.Ingresso20mA(2));
    EXPECT_FALSE(link.Ingresso20mA(3));
    EXPECT_FALSE(link.Ingresso010V(1));
    EXPECT_TRUE(link.Ingresso010V(2) == false);
    link.InfoMemory(configurazione, memoria);
    EXPECT_EQ(configurazione, 512);
    EXPECT_EQ(memoria, 0x040000);
    EXPECT_EQ(link.DimensioneAreaPRAM(), 0x120u);

    // Each read starts from the defaults again.
    Rispondi(12, {0x2C, 0x01, 0x00, 0x00});
    ASSERT_TRUE(link.LeggiVersione());
    link.InfoMemory(configurazione, memoria);
    EXPECT_EQ(memoria, 0x80000);
    EXPECT_EQ(link.DimensioneAreaPRAM(), 0u);

    Rispondi(12, {0x2C, 0x01});
    EXPECT_FALSE(link.LeggiVersione());
    Rispondi(12, {0});
    EXPECT_FALSE(link.LeggiVersione());  // a one-byte reply is valid only in update mode
}

TEST_F(Identity, CheckPointsAndAnalogOffsetsFollowTheVersions)
{
    Rispondi(1, {0x09, 14});
    ASSERT_TRUE(OpenEth());
    EXPECT_EQ(link.NumeroMassimoCheckPoint(), 8);
    Rispondi(12, {0x2C, 0x01, 0x00, 16});  // (16 + 99) / 100 = 1.15
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_EQ(link.OffsetADC(1), 360);
    EXPECT_EQ(link.OffsetADC(2), 0);
    Rispondi(12, {0x2C, 0x01, 0x00, 17});  // 1.16
    ASSERT_TRUE(link.LeggiVersione());
    EXPECT_EQ(link.OffsetADC(1), 2048);
}

} // namespace
} // namespace zem

namespace zem {
namespace {

class Polling : public Connection {};

TEST_P(Polling, StartsWithTheCommand28PollAndTicksRaiseTheirEvents)
{
    auto s = QuattroMisure(2);
    s.option77 = 1;
    Load(s);
    ASSERT_TRUE(Open());
    std::vector<std::pair<int, int>> messaggi;
    link.MessaggioStrumento = [&](int b3, int b2) { messaggi.emplace_back(b3, b2); };
    std::vector<std::uint8_t> risposta28{0, 5, 9};
    instrument.SetCommand(28, [&](auto) { return risposta28; });
    EXPECT_TRUE(link.StartPolling());
    EXPECT_TRUE(link.InPolling());
    EXPECT_EQ(link.TimerStatus.Interval, 300);
    risposta28 = {0, 5, 0};
    EXPECT_TRUE(link.StartPolling());
    EXPECT_EQ(messaggi, (std::vector<std::pair<int, int>>{{9, 5}, {0, 0}}));

    int comunica = 0, completati = 0;
    link.Comunica = [&] { ++comunica; };
    link.PezzoCompletato = [&](int) { ++completati; };
    std::vector<std::uint8_t> stato{0x01, 0x00};
    instrument.SetCommand(4, [&](auto) { return stato; });
    link.TimerStatus_Timer();
    stato = {0x00, 0x00};
    link.TimerStatus_Timer();
    EXPECT_EQ(comunica, 2);
    EXPECT_EQ(completati, 1);

    // A failed poll the container does not retry stops the polling.
    int errori = 0;
    link.ErroreComunicazione = [&](bool& retry) { ++errori; retry = false; };
    instrument.Faults().silence = 100;
    link.TimerStatus_Timer();
    EXPECT_EQ(errori, 1);
    EXPECT_FALSE(link.InPolling());
    link.StopPolling();
    EXPECT_FALSE(link.InPolling());
}

TEST_P(Polling, AnOptionByteOtherThan0Or1RefusesTheStartWithoutSending)
{
    auto s = QuattroMisure(2);
    s.option77 = 2;
    Load(s);
    ASSERT_TRUE(Open());
    int inviati = 0;
    instrument.SetCommand(28, [&](auto) { ++inviati; return std::vector<std::uint8_t>{0, 0, 0}; });
    EXPECT_FALSE(link.StartPolling());
    EXPECT_EQ(inviati, 0);
    EXPECT_TRUE(link.InPolling());
}

TEST_P(Polling, ARetriedFailureReopensAUsbLink)
{
    Load(QuattroMisure(2));
    ASSERT_TRUE(Open());
    link.StartPolling();
    int errori = 0;
    link.ErroreComunicazione = [&](bool& retry) {
        ++errori;
        retry = true;
        if (errori == 2) instrument.Faults().silence = 0;  // the instrument is back
    };
    instrument.Faults().silence = 4;  // the poll's four attempts
    link.TimerStatus_Timer();
    EXPECT_TRUE(link.InPolling());
    EXPECT_GE(errori, 1);
    if (GetParam()) EXPECT_TRUE(link.Collegato());
}

INSTANTIATE_TEST_SUITE_P(Canali, Polling, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "USB" : "Ethernet"; });

} // namespace
} // namespace zem
