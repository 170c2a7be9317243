// The access password as the technician meets it: the password window, the gate that asks once
// a run, and the change-password window, all through the scripted host and the settings store.
#include "access/FPassword.h"
#include "access/FSetPassword.h"
#include "access/PasswordGate.h"
#include "profile/FileSettingsStore.h"
#include "profile/IniFile.h"
#include "profile/SettingsStore.h"
#include "tests/profile/TempFolder.h"
#include "ui/ScriptedHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace zem {
namespace {

using ::testing::ElementsAre;
using ui::Form;
using ui::ScriptedHost;

// The technician types `text` into the password window and presses the button.
auto Types(std::string text, const char* button = "cmdOK")
{
    return [text, button](Form& f) {
        f.Get<ui::TextBox>("txtPassword").UserType(text);
        f.Get<ui::CommandButton>(button).UserClick();
    };
}

// The technician fills the three boxes of the change-password window and presses the button.
auto Fills(std::string oldPassword, std::string newPassword, std::string confirm, const char* button = "cmdOK")
{
    return [=](Form& f) {
        f.Get<ui::TextBox>("txtPasswordVecchia").UserType(oldPassword);
        f.Get<ui::TextBox>("txtPasswordNuova").UserType(newPassword);
        f.Get<ui::TextBox>("txtPasswordConferma").UserType(confirm);
        f.Get<ui::CommandButton>(button).UserClick();
    };
}

class Password : public ::testing::Test {
protected:
    void Store(const std::string& value) { settings.SaveSetting(host.ApplicationTitle(), "Main", "Password", value); }
    std::string Stored() { return settings.GetSetting(host.ApplicationTitle(), "Main", "Password", "(none)"); }
    ScriptedHost host{"ZEM Setup"};
    MemorySettingsStore settings;
};

TEST_F(Password, IsComparedWithoutSurroundingBlanksAndLetterCase)
{
    const struct {
        std::optional<std::string> stored;  // nullopt: nothing stored, the factory password
        std::string typed;
        bool granted;
    } cases[] = {
        {std::nullopt, "  6150  ", true}, {std::nullopt, "615", false}, {std::nullopt, "61 50", false},
        {"Zem7", " zEm7", true},          {"Zem7", "6150", false},      {"  abc  ", "ABC", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)") + " typed as '" + c.typed + "'");
        ScriptedHost h;
        MemorySettingsStore s;
        if (c.stored) s.SaveSetting(h.ApplicationTitle(), "Main", "Password", *c.stored);
        FPassword window(h, s);
        window.txtPassword.SetText("left over");
        h.OnForm("FPassword", [&](Form& f) {
            EXPECT_EQ(f.Caption(), "Password");
            EXPECT_EQ(f.Get<ui::TextBox>("txtPassword").Text(), "") << "starts empty";
            EXPECT_NE(f.Get<ui::TextBox>("txtPassword").PasswordChar(), 0);
            Types(c.typed)(f);
        });
        EXPECT_EQ(window.Verifica("Password"), c.granted);
        EXPECT_EQ(h.MessageTexts(), c.granted ? std::vector<std::string>{} : std::vector<std::string>{"The password is wrong."});
    }
}

TEST_F(Password, CancelOrClosingTheWindowRefusesWithoutAMessageAndAnEmptyOneNeverAsks)
{
    FPassword window(host, settings);
    host.OnForm("FPassword", Types("6150", "cmdCancel"));
    EXPECT_FALSE(window.Verifica("Password"));
    host.OnForm("FPassword", [](Form& f) {
        f.Get<ui::TextBox>("txtPassword").UserType("6150");
        f.RequestClose();
    });
    EXPECT_FALSE(window.Verifica("Password"));
    EXPECT_TRUE(host.Messages().empty());
    Store("   ");
    EXPECT_TRUE(window.Verifica("Password"));
    EXPECT_EQ(host.FormsShown().size(), 2u);
}

TEST_F(Password, IsAskedOnlyUntilItHasBeenGivenOnceAndChangingItKeepsTheAccess)
{
    PasswordGate gate(host, settings);
    host.OnForm("FPassword", Types("6150", "cmdCancel"));
    host.OnForm("FPassword", Types("1234"));
    host.OnForm("FPassword", Types("6150"));
    for (const bool granted : {false, false, true, true}) EXPECT_EQ(gate.PasswordOK(), granted);
    EXPECT_EQ(host.FormsShown().size(), 3u);
    EXPECT_THAT(host.MessageTexts(), ElementsAre("The password is wrong."));

    host.OnForm("FSetPassword", Fills("6150", "new", "new"));
    EXPECT_TRUE(gate.ChangePassword());
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_EQ(host.PendingAnswers(), 0u);
    PasswordGate nextRun(host, settings);
    host.OnForm("FPassword", Types("6150"));
    EXPECT_FALSE(nextRun.PasswordOK()) << "the next run asks for the new password";
}

TEST_F(Password, AChangeIsRefusedUntilItIsValidAndThenStoredTrimmedAndUpperCased)
{
    Store(" Old1 ");
    FSetPassword window(host, settings);
    host.OnForm("FSetPassword", [](Form& f) {
        EXPECT_EQ(f.Caption(), "Modify password");
        Fills("old1", "   ", "   ")(f);
        Fills("wrong", "", "")(f);  // the new password is checked first
        Fills("6150", "abc", "abc")(f);
        Fills("old1", "abc", "abd")(f);
        EXPECT_TRUE(f.Loaded()) << "the window stays open for another try";
        Fills("old1", "  Press Line 2 ", "press line 2")(f);
    });
    EXPECT_TRUE(window.Load());
    EXPECT_EQ(Stored(), "PRESS LINE 2");
    EXPECT_THAT(host.MessageTexts(), ElementsAre("The new password is wrong", "The new password is wrong",
                                                 "The old password is wrong", "The confirm of new password is wrong"));
    host.OnForm("FSetPassword", Fills("press line 2", "abc", "abc", "cmdCancel"));
    EXPECT_FALSE(window.Load());
    EXPECT_EQ(Stored(), "PRESS LINE 2");
}

// Saves nothing, as a settings file that cannot be written.
class ReadOnlySettings final : public SettingsStore {
public:
    std::string GetSetting(const std::string&, const std::string&, const std::string&, const std::string& d) override { return d; }
    bool SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override { return false; }
};

TEST(FSetPassword, ANewPasswordThatCannotBeStoredIsReportedNotTakenForDone)
{
    ScriptedHost host;
    ReadOnlySettings settings;
    FSetPassword window(host, settings);
    host.OnForm("FSetPassword", Fills("6150", "abc", "abc"));
    EXPECT_FALSE(window.Load());
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "The new password could not be saved.");
    EXPECT_EQ(host.Messages()[0].icon, ui::MsgIcon::Critical);
}

// A settings file that cannot be read must not let the factory password in, nor be changed.
TEST(PasswordStore, SettingsThatCannotBeReadRefuseAccessAndChangeWithTheReason)
{
    test::TempFolder dir;
    const std::string file = dir / "ZEM Setup.ini";
    const std::pair<std::string, const char*> cases[] = {
        {"", "Is a directory"},  // a folder of that name
        {std::string(IniFile::kMassimoRighe, '\n') + "[Main]\r\nPassword=SECRET\r\n", "lines: it was only partly read."},
    };
    for (const auto& [content, reason] : cases) {
        std::filesystem::remove_all(file);
        content.empty() ? (void)std::filesystem::create_directory(file) : (void)dir.Write("ZEM Setup.ini", content);
        ScriptedHost host{"ZEM Setup"};
        FileSettingsStore settings(dir.path());
        PasswordGate gate(host, settings);
        EXPECT_FALSE(gate.PasswordOK());
        EXPECT_FALSE(gate.ChangePassword());
        EXPECT_EQ(host.Messages().size(), 2u);
        for (const auto& m : host.Messages())
            EXPECT_EQ(m.text, "The access password cannot be read: access is refused.\r\n" +
                                  (content.empty() ? "Cannot read " + file + ": " : "The settings file " + file +
                                   " has more than 120001 ") + reason);
    }
}

} // namespace
} // namespace zem
