// The register file as word processors write it, kept through the register window, and the two
// zemcli commands on it end to end.

#include "main/FListaSN.h"
#include "main/RegistroSN.h"
#include "profile/FileSettingsStore.h"
#include "tests/cli/ZemcliRun.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zem {
namespace {

// A register as a word processor saves it: font and colour tables, a generator group, a
// Unicode character with its fallback, 8-bit characters escaped, a brace, paragraphs.
const char* const kWordPad =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1040{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}"
    "{\\f1\\fswiss Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Riched20 10.0.19041}"
    "\\viewkind4\\uc1 \r\n\\pard\\f0\\fs20 MR400001  PRESSA LINEA 1      03/02/2019  Magazzino Verolux\\par\r\n"
    "MR400002  \\cf1\\b Perch\\'e8 \\{reso\\}\\b0\\cf0  \\u8364?uro\\tab fine\\par\r\n}\r\n";

std::string Read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class RegisterFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("zem-snlist-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

// The register starts where earlier versions left it, beside the program, and moves once.
TEST_F(RegisterFile, AWordProcessorsRegisterIsReadAndKeptThroughTheWindow)
{
    const std::string testo = "MR400001  PRESSA LINEA 1      03/02/2019  Magazzino Verolux\r\n"
                              "MR400002  Perch\xe8 {reso} ?uro\tfine\r\n";
    EXPECT_EQ(RegistroSN::Testo(kWordPad), testo);
    EXPECT_EQ(RegistroSN::Testo("plain {text}\r\n"), "plain {text}\r\n");

    std::ofstream(folder / "SNlist.txt", std::ios::binary) << kWordPad;
    ui::ScriptedHost host;
    MemorySettingsStore settings;
    host.OnForm("FListaSN", [](ui::Form& form) {
        auto& f = static_cast<FListaSN&>(form);
        EXPECT_FALSE(f.cmdProg.Visible());
        f.RichTextBox1.UserType(f.RichTextBox1.Text() + "nota del tecnico");
        f.cmdOK.UserClick();
    });
    std::string nome, seriale;
    EXPECT_FALSE(FListaSN(host, settings, folder.string()).Load(0, nome, seriale));
    const auto spostato = folder / "data/zemsetup/SNlist.txt";
    const std::string salvato = Read(spostato);
    EXPECT_EQ(salvato.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(salvato.find("Courier New"), std::string::npos);
    EXPECT_EQ(RegistroSN::Testo(salvato), testo + "nota del tecnico");
    EXPECT_FALSE(std::filesystem::exists(folder / "SNlist.txt"));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"The serial number register " + (folder / "SNlist.txt").string() +
                                                            " is now kept in " + spostato.string() + "."});

    std::ofstream(folder / "SNlist.txt", std::ios::binary) << "older";
    host.OnForm("FListaSN", [](ui::Form& form) { static_cast<FListaSN&>(form).cmdOK.UserClick(); });
    FListaSN(host, settings, folder.string()).Load(0, nome, seriale);
    EXPECT_EQ(RegistroSN::Testo(Read(spostato)), testo + "nota del tecnico");
    EXPECT_EQ(host.MessageTexts().size(), 1u);
}

TEST_F(RegisterFile, AnUnwritableRegisterIsReportedAndKeptAsItWas)
{
    const auto file = folder / "SNlist.txt";
    std::ofstream(file, std::ios::binary) << kWordPad;
    const auto missing = folder / "missing" / "SNlist.txt";
    EXPECT_EQ(RegistroSN::Salva(missing.string(), "x"),
              "Cannot write in " + missing.parent_path().string() + ": No such file or directory");
    // A folder where the register should be is not replaced either.
    std::filesystem::create_directory(folder / "dir");
    EXPECT_EQ(RegistroSN::Salva((folder / "dir").string(), "x"), "Cannot write " + (folder / "dir").string() + ": Is a directory");
    EXPECT_EQ(Read(file), kWordPad);
}

// A bridge with a serial number is programmed without a question, past 16 bits.
TEST_F(RegisterFile, ZemcliProgramsABridgeAndListsTheRegister)
{
    FileSettingsStore(folder / "zemsetup").SaveSetting("SetupPrograms", "Main", "FileSN", (folder / "SNlist.txt").string());
    const auto r = test::RunZemcli({"--simulate", "usb-init", "--to", "USB: MR4A1003", "--name", "BENCH", "--serial",
                                    "70000", "then", "sn-list"},
                                   {"XDG_CONFIG_HOME=" + folder.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("serial number: MR470000"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("MR470000  BENCH               "), std::string::npos) << r.out;
    EXPECT_EQ(FileSettingsStore(folder / "zemsetup").GetSetting("ZEM Setup", "Main", "LastSerialNumber4", ""), "70000");

    FileSettingsStore(folder / "zemsetup").SaveSetting("SetupPrograms", "Main", "FileSN", (folder / "no/SNlist.txt").string());
    const auto refused = test::RunZemcli({"--simulate", "usb-init", "--to", "USB: MR4A1003"}, {"XDG_CONFIG_HOME=" + folder.string()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("The serial number register cannot be written"), std::string::npos) << refused.err;
    EXPECT_EQ(FileSettingsStore(folder / "zemsetup").GetSetting("ZEM Setup", "Main", "LastSerialNumber4", ""), "70000");
}

// A damaged number after a control word reads as 0; the register stays readable from zemcli.
TEST_F(RegisterFile, AnOverlongNumberInTheRegisterIsReadNotFatal)
{
    const char* rotto = "{\\rtf1\\ansi \\u99999999999999999999 x\\uc99999999999 y\\u-70000 z}";
    EXPECT_EQ(RegistroSN::Testo(rotto), "?y?z");
    const auto file = folder / "SNlist.txt";
    std::ofstream(file, std::ios::binary) << rotto;
    FileSettingsStore(folder / "zemsetup").SaveSetting("SetupPrograms", "Main", "FileSN", file.string());
    const auto r = test::RunZemcli({"--simulate", "sn-list", "then", "usb-init", "--to", "USB: MR4A1003", "--name", "B",
                                    "--serial", "7", "then", "sn-list"},
                                   {"XDG_CONFIG_HOME=" + folder.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("?y?z"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("MR400007  B "), std::string::npos) << r.out;
}

} // namespace
} // namespace zem
