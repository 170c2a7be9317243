#include "profile/ProfiloZem.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <tuple>

namespace zem {
namespace {

using test::TempFolder;

// Every field away from its default, on every measure.
ProfiloZem ProfiloCompleto()
{
    ProfiloZem p;
    p.Nome = "Linea 3 \xe8";
    p.TipoSinottico = 1;
    p.IndirizzoRS485 = 249;
    p.BaudrateCOMM = 19200;
    p.nInputClock = 1;
    p.nInputDato = 2;
    p.nInputLoad = 3;
    p.nOutputClear = -4;
    for (int i = 1; i <= ProfiloZem::kMisure; ++i) {
        const auto n = static_cast<std::int16_t>(i);
        p.SetNomeMisura(i, "Measure " + std::to_string(i));
        p.SetTipoMisura(i, static_cast<std::int16_t>(i % 5));
        p.SetDurataCurve(i, 0.1f * static_cast<float>(i));
        p.SetOperazioniSelezionabili(i, n);
        p.SetConFasi(i, i % 2 == 0);
        p.SetRequireComputer(i, i % 2 == 1);
        p.SetExternalStop(i, true);
        p.SetSelOpOnStart(i, i > 3);
        p.SetAquireSpeed(i, static_cast<std::int16_t>(1000 + i));
        p.SetQuotaInizioOnStart(i, i < 3);
        p.SetAspettaQuotaZero(i, i == 4);
        p.SetAutoOffset(i, i != 5);
        p.SetEncoderResetMode(i, static_cast<std::int16_t>(-i));
        p.SetTrasduttoreX(i, n);
        p.SetTrasduttoreY(i, static_cast<std::int16_t>(7 - i));
        p.SetForzaMassimaAssoluta(i, static_cast<std::int16_t>(32767 - i));
        p.SetCoeffA(i, static_cast<std::int16_t>(-32768 + i));
        p.SetCoeffB(i, static_cast<std::int16_t>(10 * i));
        p.SetPresetPositionTrasd(i, -2000000 * i);
        p.SetNomeValore(i, i == 3 ? "" : "Value " + std::to_string(i));
        for (int k = 1; k <= 16; ++k) p.SetnInput(i, k, static_cast<std::int16_t>((i + k) % 9));
        for (int k = 1; k <= 12; ++k) p.SetnOutput(i, k, static_cast<std::int16_t>((i * k) % 9));
        p.SetNumeroMessaggi(i, i - 1);
        for (int j = 1; j < i; ++j) p.SetMessaggio(i, j, "  msg " + std::to_string(j) + "=x ");
    }
    return p;
}

TEST(ProfiloZem, RoundTripKeepsEveryFieldAndTheFileBytes)
{
    TempFolder dir;
    const std::string file = dir / "p.zemp";
    ProfiloZem p = ProfiloCompleto();
    p.Modificato = true;
    ASSERT_TRUE(p.SalvaFile(file)) << p.LastError();
    EXPECT_FALSE(p.Modificato);
    const std::string scritto = TempFolder::Read(file);
    ProfiloZem letto;
    ASSERT_TRUE(letto.ApriFile(file));
    EXPECT_TRUE(letto == p);
    EXPECT_FALSE(letto.Vuoto);
    ASSERT_TRUE(letto.SalvaFile(file));
    EXPECT_EQ(TempFolder::Read(file), scritto);
}

TEST(ProfiloZem, MissingPartsReadAsDefaultsNeverAsThePreviousProfile)
{
    TempFolder dir;
    struct Caso {
        const char* testo;
        std::int16_t baudrate;
        const char* nomeMisura1;
    };
    const Caso casi[] = {
        {"[GENERAL]\r\nNome=A\r\n", 9600, ""},
        {"[GENERAL]\r\nBaudrateCOMM= 4800\r\n[MISURA1]\r\nNome=M\r\n", 4800, "M"},
    };
    for (const auto& c : casi) {
        ProfiloZem p = ProfiloCompleto();
        ASSERT_TRUE(p.ApriFile(dir.Write("p.zemp", c.testo))) << c.testo;
        EXPECT_EQ(p.BaudrateCOMM, c.baudrate);
        EXPECT_EQ(p.NomeMisura(1), c.nomeMisura1);
        EXPECT_EQ(p.TipoMisura(2), 0);
        EXPECT_EQ(p.nInput(3, 1), 0);
        EXPECT_EQ(p.NumeroMessaggi(6), 0);
        EXPECT_FALSE(p.Vuoto);
    }
}

TEST(ProfiloZem, SavingOverAFileKeepsWhatElseItHolds)
{
    TempFolder dir;
    const std::string file =
        dir.Write("p.zemp", "; notes\r\n[GENERAL]\r\nNome=old\r\nCustom=keep me\r\n[VENDOR]\r\na=1\r\n");
    ProfiloZem p;
    p.Nome = "new";
    ASSERT_TRUE(p.SalvaFile(file));
    const std::string testo = TempFolder::Read(file);
    EXPECT_TRUE(testo.starts_with("; notes\r\n[GENERAL]\r\nNome=new\r\nCustom=keep me\r\nTipoSinottico= 0\r\n"));
    EXPECT_NE(testo.find("nOutputClear= 0\r\n[VENDOR]\r\na=1\r\n[MISURA1]\r\n"), std::string::npos);
}

TEST(ProfiloZem, ReplacingAFileLeavesNothingOfItsOldContent)
{
    TempFolder dir;
    const std::string file = dir.Write("p.zemp", "; notes\r\n[GENERAL]\r\nCustom=stale\r\n[VENDOR]\r\na=1\r\n");
    ProfiloZem p = ProfiloCompleto();
    ASSERT_TRUE(p.SalvaFile(file, ProfiloZem::Salvataggio::Sostituisci));
    const std::string fresco = dir / "fresh.zemp";
    ASSERT_TRUE(p.SalvaFile(fresco));
    EXPECT_EQ(TempFolder::Read(file), TempFolder::Read(fresco));
}

TEST(ProfiloZem, FilesThatCannotBeUsedLeaveTheProfileAsItWas)
{
    TempFolder dir;
    const ProfiloZem prima = ProfiloCompleto();
    ProfiloZem p = prima;
    EXPECT_FALSE(p.ApriFile(dir / "missing.zemp"));
    EXPECT_FALSE(p.ApriFile(dir.Write("empty.zemp", "")));
    EXPECT_TRUE(p == prima && p.Vuoto && !p.LastError().empty());
    // A memory backup, a text file, a settings file: no profile section, so nothing opens.
    for (const char* testo : {" 90 \r\n 69 \r\n 77 \r\n", "notes\r\nNome=x\r\n", "[OTHER]\r\nx=1\r\n"}) {
        const std::string file = dir.Write("other.zemmem", testo);
        EXPECT_FALSE(p.ApriFile(file)) << testo;
        EXPECT_EQ(p.LastError(), file + " is not a profile: it has no GENERAL or MISURA section.");
        EXPECT_TRUE(p == prima && p.Vuoto);
    }

    p.Modificato = true;
    EXPECT_FALSE(p.SalvaFile(dir.Write("plain", "x") + "/p.zemp"));
    EXPECT_TRUE(p.Modificato && !p.LastError().empty());
}

TEST(ProfiloZem, InputAndOutputFunctionsConflictsAndMasks)
{
    ProfiloZem p;
    p.SetTipoMisura(1, 1);
    p.SetTipoMisura(2, 2);
    p.SetnInput(1, 1, 1);   // start measure on input 0, measures 1 and 2: no conflict
    p.SetnInput(2, 1, 1);
    p.SetnInput(1, 7, 4);   // top dead course on input 3
    p.SetnInput(2, 3, 3);   // input 2 claimed by select A and by hold
    p.SetnInput(2, 12, 3);
    p.SetnInput(3, 2, 6);   // measure 3 not in use: ignored
    p.SetnOutput(1, 3, 8);
    p.SetnOutput(2, 4, 8);  // output 7: good and rejected signal
    p.SetnOutput(2, 1, 2);
    const std::int16_t ingressi[] = {1, 0, -1, 7, 0, 0, 0, 0};
    const std::uint16_t maschereIngressi[] = {3, 0, 2, 1, 0, 0, 0, 0};
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(p.TipoIngresso(n), ingressi[n]) << n;
        EXPECT_EQ(p.MascheraIngresso(n), maschereIngressi[n]) << n;
    }
    EXPECT_EQ(std::tuple(p.TipoIngresso(-1), p.TipoUscita(7), p.MascheraUscita(7), p.TipoUscita(1), p.MascheraUscita(1)),
              std::tuple(0, -1, 3, 1, 2));
    EXPECT_TRUE(p.UsaEncTDC1() && !p.UsaEncTDC2());
}

// The committed template and example pin the whole file layout: each must open ready to send and
// come out of the writer byte for byte; ZEM_WRITE_PROFILE_FILES=1 writes them anew.
TEST(ProfileFiles, CommittedFilesOpenReadyToSendAndTheWriterGivesThemBackByteForByte)
{
    TempFolder dir;
    const bool riscrivi = std::getenv("ZEM_WRITE_PROFILE_FILES") != nullptr;
    for (const char* percorso : {"profile/templates/Default.ZemP", "profile/examples/PressLine3.zemp"}) {
        SCOPED_TRACE(percorso);
        const std::string committato = std::string(ZEM_SOURCE_DIR) + "/" + percorso;
        ProfiloZem p;
        ASSERT_TRUE(p.ApriFile(committato));
        for (int n = 0; n < 8; ++n) EXPECT_TRUE(p.TipoIngresso(n) != -1 && p.TipoUscita(n) != -1) << "no conflict on " << n;
        const std::string prodotto = dir / "p.zemp";
        std::remove(prodotto.c_str());
        ASSERT_TRUE(p.SalvaFile(prodotto));
        if (riscrivi) std::ofstream(committato, std::ios::binary) << TempFolder::Read(prodotto);
        EXPECT_EQ(TempFolder::Read(committato), TempFolder::Read(prodotto));
    }
}

} // namespace
} // namespace zem
