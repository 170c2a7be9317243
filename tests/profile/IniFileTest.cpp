#include "profile/IniFile.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <variant>

#include <sys/resource.h>

namespace zem {
namespace {

using test::TempFolder;
using namespace std::chrono;

IniFile Carica(const std::string& file)
{
    IniFile ini;
    ini.SetFile(file);
    EXPECT_TRUE(ini.SetOpenFile(true)) << ini.LastError();
    return ini;
}

IniFile& Vai(IniFile& ini, const char* chiave, const char* target)
{
    ini.SetChiave(chiave);
    ini.SetTarget(target);
    return ini;
}

// Each case loads a file, edits it and saves it; what counts is the bytes on disk afterwards.
TEST(IniFile, EditsLandWhereTheyBelongAndKeepEveryOtherLine)
{
    struct Caso {
        const char* cosa;
        const char* prima;
        void (*modifica)(IniFile&);
        std::string dopo;
    };
    const Caso casi[] = {
        {"over the key, at the end of its section, new sections at the end", "; comment\n[A]\nx=1\n\n[B]\ny=2\n",
         [](IniFile& ini) {
             for (auto [chiave, target, valore] : {std::tuple{"a", "X", "one"}, {"A", "z", "new in A"},
                                                   {"", "g", "global"}, {"C", "w", "new section"}, {"C", "v", "second"}}) {
                 EXPECT_TRUE(Vai(ini, chiave, target).SetValue(valore));
             }
             EXPECT_FALSE(ini.Salvato());
             ini.SetChiave("A");
             EXPECT_FALSE(ini.SetValue("no key selected"));
         },
         "; comment\r\ng=global\r\n[A]\r\nX=one\r\n\r\nz=new in A\r\n[B]\r\ny=2\r\n[C]\r\nw=new section\r\nv=second\r\n"},
        {"odd lines kept, saved with CR LF; a second save writes it all again",
         "  # note\n[S]\r\n   k=old\rjunk \x01\xfe\n\n;x\r\n[T]\nlast",
         [](IniFile& ini) {
             EXPECT_EQ(ini.Count(), 8);
             EXPECT_TRUE(Vai(ini, "S", "k").TargetTrovato() && ini.ValString() == "old");
             ini.SetValue("new");
             ASSERT_TRUE(ini.Salva());
             Vai(ini, "T", "added").SetValue(true);
         },
         "# note\r\n[S]\r\nk=new\r\njunk \x01\xfe\r\n\r\n;x\r\n[T]\r\nlast\r\nadded= 1\r\n"},
        {"line breaks inside a value cannot add lines", "",
         [](IniFile& ini) { Vai(ini, "S", "k").SetValue("a\r\n[EVIL]\nx=1\r"); }, "[S]\r\nk=a  [EVIL] x=1 \r\n"},
        {"points go after their key without overwriting the next one", "[S]\r\nn=2\r\n1,2\r\n3,4\r\nnext=1\r\n[T]\r\n",
         [](IniFile& ini) {
             Vai(ini, "S", "n");
             EXPECT_EQ(ini.GetPunto()->x, 1.0f);
             EXPECT_EQ(ini.GetPunto()->y, 4.0f);
             EXPECT_FALSE(ini.GetPunto());  // the next key is no point
             ini.SetTarget("n");
             ini.SetValue(std::int16_t{3});
             for (float v : {0.5f, -1.0f, 2.0f}) ini.LetPunto(v, v * 10);
         },
         "[S]\r\nn= 3\r\n.5,5\r\n-1,-10\r\n2,20\r\nnext=1\r\n[T]\r\n"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.cosa);
        TempFolder dir;
        const std::string file = dir.Write("a.ini", c.prima);
        IniFile ini = Carica(file);
        c.modifica(ini);
        ASSERT_TRUE(ini.Salva());
        EXPECT_EQ(TempFolder::Read(file), c.dopo);
    }
    TempFolder dir;
    IniFile male = Carica(dir.Write("b.ini", "[S]\nn=1\n,5\n"));
    EXPECT_FALSE(Vai(male, "S", "n").GetPunto());
}

// Each written value, as it must stand in the file, and read back.
void VerificaFormati()
{
    using Valore = std::variant<std::int16_t, std::int32_t, float, double, bool, sys_seconds>;
    const std::pair<Valore, const char*> casi[] = {
        {std::int16_t{-5}, "-5"}, {std::int32_t{2147483647}, " 2147483647"}, {-0.5f, "-.5"}, {0.1f, " .1"},
        {-0.0f, " 0"}, {1e20f, " 1E+20"}, {1234.5678, " 1234.5678"}, {-1e-9, "-1E-09"}, {true, " 1"},
        {sys_days{2024y / February / 29} + 23h + 59min + 58s, "20240229_235958"},
    };
    TempFolder dir;
    const std::string file = dir / "n.ini";
    IniFile scritto = Carica(file);
    std::string atteso;
    int n = 0;
    for (const auto& [valore, testo] : casi) {
        const std::string chiave = "k" + std::to_string(++n);
        scritto.SetTarget(chiave);
        std::visit([&](auto v) { EXPECT_TRUE(scritto.SetValue(v)); }, valore);
        atteso += chiave + "=" + testo + "\r\n";
    }
    ASSERT_TRUE(scritto.Salva());
    EXPECT_EQ(TempFolder::Read(file), atteso);
    IniFile ini = Carica(dir.Write("r.ini", "a= 2.75\n"));
    ini.SetTarget("a");
    EXPECT_DOUBLE_EQ(ini.ValDouble(), 2.75);
    EXPECT_FLOAT_EQ(ini.ValSingle(), 2.75f);
    EXPECT_EQ(ini.ValInteger(), 3);
}

TEST(IniFile, WritesNumbersBooleansAndDatesInTheFileForm) { VerificaFormati(); }

struct Virgola : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// A technician's desktop may use "," for decimals: profile files must not change with it. The
// locale is compiled into the build folder, so no system locale is needed or touched.
TEST(IniFile, NumbersIgnoreACommaDecimalLocale)
{
    const std::string cartella = std::string(ZEM_BINARY_DIR) + "/test-locales";
    const std::string comando = "mkdir -p " + cartella + " && localedef -i de_DE -f ISO-8859-1 " + cartella +
                                "/de_DE.ISO-8859-1 >/dev/null 2>&1";
    if (!std::filesystem::exists(cartella + "/de_DE.ISO-8859-1/LC_NUMERIC") && std::system(comando.c_str()) != 0)
        GTEST_SKIP() << "localedef or the de_DE sources are missing";
    ::setenv("LOCPATH", cartella.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.ISO-8859-1"), nullptr);
    const std::locale prima = std::locale::global(std::locale(std::locale::classic(), new Virgola));
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    VerificaFormati();
    std::locale::global(prima);
    std::setlocale(LC_ALL, "C");
}

TEST(IniFile, ReadsTheLeadingNumberAndRoundsHalvesToEven)
{
    struct Caso {
        const char* testo;
        double numero;
        std::int16_t intero;
        std::int32_t lungo;
    };
    const Caso casi[] = {
        {"  -3.5x", -3.5, -4, -4}, {"2.5", 2.5, 2, 2}, {"-2.5", -2.5, -2, -2}, {"2D2", 200, 200, 200}, {"", 0, 0, 0},
        {"32767.5", 32767.5, 0, 32768}, {"1e10", 1e10, 0, 0}, {"1e999", 0, 0, 0}, {"nan", 0, 0, 0}, {"12,5", 12, 12, 12},
    };
    for (const auto& c : casi) {
        EXPECT_DOUBLE_EQ(IniFile::Val(c.testo), c.numero) << c.testo;
        EXPECT_EQ(IniFile::ValInteger(c.testo), c.intero) << c.testo;
        EXPECT_EQ(IniFile::ValLong(c.testo), c.lungo) << c.testo;
    }
    EXPECT_EQ(IniFile::ValSingle("1e39"), 0.0f);  // beyond a 32-bit float
}

TEST(IniFile, AFileThatCannotBeReadIsNeitherLoadedNorTouched)
{
    TempFolder dir;
    std::filesystem::create_directory(dir / "folder.ini");
    const std::string sottoFile = dir.Write("plain", "data") + "/x.ini";
    for (const std::string& file : {dir / "folder.ini", sottoFile, dir / "missing/x.ini"}) {
        IniFile ini;
        ini.SetFile(file);
        EXPECT_FALSE(ini.SetOpenFile(true)) << file;
        EXPECT_TRUE(ini.ERRORE() == IniFile::kErroreApertura && !ini.LastError().empty() && !ini.Esiste());
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
    EXPECT_EQ(TempFolder::Read(dir / "plain"), "data");
}

// Two ways a save fails part-way: the disk fills while the file is written (a file-size limit in
// a child process stands in for that), or no temporary file can be made beside the target.
TEST(IniFile, FailedSaveReportsFailureAndKeepsTheOldFile)
{
    TempFolder dir;
    std::filesystem::create_directory(dir / "sub");
    const std::string file = dir.Write("sub/a.ini", "k=old\r\n");
    IniFile ini = Carica(file);
    Vai(ini, "", "k").SetValue(std::string(20000, 'x'));
    auto salvaSenzaSpazio = [&] {
        const rlimit limite{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limite);
        std::signal(SIGXFSZ, SIG_IGN);
        const bool salvato = ini.Salva();
        std::_Exit(!salvato && !ini.Salvato() && !ini.LastError().empty() ? 0 : 1);
    };
    EXPECT_EXIT(salvaSenzaSpazio(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(TempFolder::Read(file), "k=old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sub"), {}), 1);  // no temporary left

    std::filesystem::rename(dir / "sub", dir / "moved");
    dir.Write("sub", "");
    EXPECT_TRUE(!ini.Salva() && !ini.Salvato());
    EXPECT_NE(ini.LastError().find("sub: Not a directory"), std::string::npos) << ini.LastError();
    EXPECT_EQ(TempFolder::Read(dir / "moved/a.ini"), "k=old\r\n");
    ini.SetOpenFile(false);
    EXPECT_FALSE(ini.Salva());  // an unloaded document is never reported saved

    // The file became a folder after loading: the temporary cannot replace it.
    IniFile cartella = Carica(dir.Write("c.ini", "k=old\r\n"));
    std::filesystem::remove(dir / "c.ini");
    std::filesystem::create_directory(dir / "c.ini");
    Vai(cartella, "", "k").SetValue("new");
    EXPECT_FALSE(cartella.Salva());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "c.ini"));
}

TEST(IniFile, FileBeyondTheLineCapLoadsItsHeadAndIsNotSaved)
{
    TempFolder dir;
    std::string righe;
    for (int n = 0; n < IniFile::kMassimoRighe; ++n) righe += "l\r\n";
    for (const bool oltre : {false, true}) {
        const std::string testo = oltre ? righe + "tail\r\n" : righe;
        const std::string file = dir.Write("a.ini", testo);
        IniFile ini = Carica(file);
        EXPECT_EQ(ini.Count(), IniFile::kMassimoRighe);
        EXPECT_EQ(ini.Troncato(), oltre);
        Vai(ini, "", "k").SetValue("v");
        EXPECT_EQ(ini.Salva(), !oltre);
        EXPECT_EQ(TempFolder::Read(file), oltre ? testo : testo + "k=v\r\n");
        EXPECT_EQ(ini.LastError().find("120001") != std::string::npos, oltre);
    }
}

} // namespace
} // namespace zem
