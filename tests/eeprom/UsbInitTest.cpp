// Programming a bridge's EEPROM through the scripted host: what reaches the chip, the register
// file on disk and the counter.

#include "main/FListaSN.h"
#include "main/InizializzazioneUSB.h"
#include "main/RegistroSN.h"
#include "profile/SettingsStore.h"
#include "sim/SimulatedPlatform.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace zem {
namespace {

class UsbInit : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("zem-eeprom-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "zemsetup");
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The register window answered with this number and name.
    void Type(std::string numero, std::string nome)
    {
        host.OnForm("FListaSN", [=](ui::Form& form) {
            auto& f = static_cast<FListaSN&>(form);
            f.txtSN.UserType(numero);
            f.txtName.UserType(nome);
            f.cmdProg.UserClick();
            if (f.Loaded()) f.cmdOK.UserClick();
        });
    }
    bool Run(std::string key) { return InizializzazioneUSB(host, machine.Platform(), settings, folder.string()).Run(key); }
    std::string Eeprom(std::size_t i, std::string ProgramData::*field)
    {
        const auto& image = machine.bridge.Device(i).eeprom;
        return image ? std::visit([&](const ProgramData& p) { return p.*field; }, *image) : "";
    }
    std::string Register() { return RegistroSN::Carica((folder / "zemsetup/SNlist.txt").string()).value_or("?"); }
    std::string Last() { return settings.GetSetting(host.ApplicationTitle(), "Main", "LastSerialNumber4", ""); }

    std::filesystem::path folder;
    sim::SimulatedPlatform machine;
    ui::ScriptedHost host;
    MemorySettingsStore settings;
};

TEST_F(UsbInit, ProgramsABlankBridgeAfterTheQuestionAndRegistersIt)
{
    machine.bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});
    host.Answer(ui::MsgAnswer::Yes);
    Type("12", "LINE 3");
    ASSERT_TRUE(Run("USB: "));
    EXPECT_EQ(Eeprom(0, &ProgramData::SerialNumber), "MR400012");
    EXPECT_EQ(Eeprom(0, &ProgramData::Description), "LINE 3");
    EXPECT_EQ(Eeprom(0, &ProgramData::Manufacturer), "ZEM AUTOMATION");
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"Are you sure to program EEprom?",
                                                             "Unplug then plug the instrument for identification."}));
    EXPECT_EQ(Register(), RegistroSN::Riga("MR400012", "LINE 3", RegistroSN::Oggi(), "Magazzino Verolux"));
    EXPECT_EQ(Last(), "12");
}

TEST_F(UsbInit, NothingIsProgrammedOrRegisteredWhenItCannotBeDoneSafely)
{
    machine.bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});
    machine.bridge.AddDevice({"MR400001", FT_DEVICE_232R, ProgramDataNewer{}});
    Type("5", "X");
    EXPECT_FALSE(Run("USB: "));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Connecting only one instrument to prevent ambiguity"});
    EXPECT_FALSE(machine.bridge.Device(0).eeprom.has_value());

    // The chip refuses the image: no line, no counter.
    machine.bridge.Fail(sim::BridgeCall::EeProgram, FT_EEPROM_WRITE_FAILED);
    EXPECT_FALSE(Run("USB: MR400001"));
    EXPECT_EQ(host.MessageTexts().back(), "EEProm setup fail.");
    EXPECT_EQ(Register(), "");
    EXPECT_EQ(Last(), "");
}

// A number given out must be on record: a register that cannot take the line stops the programming.
TEST_F(UsbInit, NothingIsProgrammedWhenTheRegisterCannotBeWritten)
{
    machine.bridge.AddDevice({"MR400001", FT_DEVICE_232R, ProgramDataNewer{}});
    std::filesystem::create_directory(folder / "zemsetup/SNlist.txt");  // a folder where the register belongs
    Type("12", "LINE 3");
    EXPECT_FALSE(Run("USB: MR400001"));
    EXPECT_EQ(host.MessageTexts().back(),
              "The serial number register cannot be written: " + (folder / "zemsetup/SNlist.txt").string() +
                  "\r\nCannot write " + (folder / "zemsetup/SNlist.txt").string() + ": Is a directory");
    EXPECT_EQ(host.Messages().back().icon, ui::MsgIcon::Critical);
    EXPECT_EQ(Eeprom(0, &ProgramData::SerialNumber), "");
    EXPECT_EQ(Last(), "");
}

TEST_F(UsbInit, TheRegisterWindowRefusesWhatCannotBeProgrammed)
{
    machine.bridge.AddDevice({"MR400001", FT_DEVICE_232R, ProgramDataNewer{}});
    const struct { std::string numero, nome, messaggio; } casi[] = {
        {"12a", "X", "Serial number is not a number!"},
        {"123456", "X", "Lenght of serial number: MR4123456 is wrong"},
        {"1", std::string(65, 'N'), "Lenght of name is wrong"},
        // With "ZEM AUTOMATION" and the serial number, the chip has room for 26 characters.
        {"1", std::string(27, 'N'), "Name too long for the USB EEprom: at most 26 characters"},
    };
    for (const auto& c : casi) {
        Type(c.numero, c.nome);
        EXPECT_FALSE(Run("USB: MR400001"));
        EXPECT_EQ(host.MessageTexts().back(), c.messaggio);
    }
    EXPECT_EQ(Eeprom(0, &ProgramData::SerialNumber), "");
    EXPECT_EQ(Last(), "");
}

TEST(RegisterLine, NamesArePaddedToTwentyAndNeverCut)
{
    EXPECT_EQ(RegistroSN::Riga("MR400012", "ZEM", "07/12/2026", "U"), "MR400012  ZEM                 07/12/2026  U\r\n");
    EXPECT_EQ(RegistroSN::Riga("MR400012", std::string(20, 'A'), "07/12/2026", "U"),
              "MR400012  " + std::string(20, 'A') + "07/12/2026  U\r\n");
    EXPECT_EQ(RegistroSN::Riga("MR400012", std::string(64, 'B'), "07/12/2026", "U"),
              "MR400012  " + std::string(64, 'B') + "07/12/2026  U\r\n");
}

} // namespace
} // namespace zem
