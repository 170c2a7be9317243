#include "access/FPassword.h"
#include "access/PasswordGate.h"
#include "profile/SettingsStore.h"
#include "ui/ScriptedHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

namespace zem {
namespace {

using ::testing::ElementsAre;
using ui::Form;
using ui::MsgButtons;
using ui::MsgIcon;
using ui::ScriptedHost;

// The technician types `text` into the password window and presses the button.
auto Types(std::string text, const char* button = "cmdOK")
{
    return [text, button](Form& f) {
        f.Get<ui::TextBox>("txtPassword").UserType(text);
        f.Get<ui::CommandButton>(button).UserClick();
    };
}

class Password : public ::testing::Test {
protected:
    void Store(const std::string& value) { settings.SaveSetting(host.ApplicationTitle(), "Main", "Password", value); }
    ScriptedHost host;
    MemorySettingsStore settings;
};

TEST_F(Password, IsComparedWithoutSurroundingBlanksAndLetterCase)
{
    struct Case {
        std::optional<std::string> stored;  // nullopt: nothing stored
        std::string typed;
        bool granted;
    };
    const Case cases[] = {
        {std::nullopt, "6150", true},
        {std::nullopt, "  6150  ", true},
        {std::nullopt, "615", false},
        {std::nullopt, "61 50", false},
        {std::nullopt, "", false},
        {"Zem7", "zem7", true},
        {"Zem7", " ZeM7", true},
        {"Zem7", "6150", false},
        {"  abc  ", "ABC", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)") + " typed as '" + c.typed + "'");
        ScriptedHost h;
        MemorySettingsStore s;
        if (c.stored) s.SaveSetting(h.ApplicationTitle(), "Main", "Password", *c.stored);
        FPassword window(h, s);
        h.OnForm("FPassword", Types(c.typed));
        EXPECT_EQ(window.Verifica("Password"), c.granted);
        if (c.granted) {
            EXPECT_TRUE(h.Messages().empty());
        } else {
            ASSERT_EQ(h.Messages().size(), 1u);
            EXPECT_EQ(h.Messages()[0].text, "The password is wrong.");
            EXPECT_EQ(h.Messages()[0].icon, MsgIcon::Information);
            EXPECT_EQ(h.Messages()[0].buttons, MsgButtons::OK);
        }
    }
}

TEST_F(Password, WindowShowsThePromptAsCaptionAndStartsEmptyAndMasked)
{
    FPassword window(host, settings);
    window.txtPassword.SetText("left over");
    host.OnForm("FPassword", [](Form& f) {
        auto& text = f.Get<ui::TextBox>("txtPassword");
        EXPECT_EQ(f.Caption(), "Password");
        EXPECT_TRUE(f.Centred());
        EXPECT_EQ(text.Text(), "");
        EXPECT_NE(text.PasswordChar(), 0);
        Types("6150")(f);
    });
    EXPECT_TRUE(window.Verifica("Password"));
    EXPECT_THAT(host.FormsShown().size(), 1u);
}

TEST_F(Password, CancelOrClosingTheWindowRefusesWithoutAMessage)
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
}

TEST_F(Password, AnEmptyStoredPasswordGrantsAccessWithoutAskingForTheWholeRun)
{
    for (const char* stored : {"", "   "}) {
        Store(stored);
        FPassword window(host, settings);
        EXPECT_TRUE(window.Verifica("Password"));
    }
    PasswordGate gate(host, settings);
    EXPECT_TRUE(gate.PasswordOK());
    Store("LOCKED");
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_TRUE(host.FormsShown().empty());
}

TEST_F(Password, IsAskedOnlyUntilItHasBeenGivenOnce)
{
    PasswordGate gate(host, settings);
    host.OnForm("FPassword", [](Form& f) { f.Get<ui::CommandButton>("cmdCancel").UserClick(); });
    host.OnForm("FPassword", Types("1234"));
    host.OnForm("FPassword", Types("6150"));
    EXPECT_FALSE(gate.PasswordOK());
    EXPECT_FALSE(gate.PasswordOK());
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_EQ(host.FormsShown().size(), 3u);
    EXPECT_THAT(host.MessageTexts(), ElementsAre("The password is wrong."));
}

TEST_F(Password, ChangingItKeepsTheAccessAlreadyGranted)
{
    PasswordGate gate(host, settings);
    host.OnForm("FPassword", Types("6150"));
    ASSERT_TRUE(gate.PasswordOK());
    host.OnForm("FSetPassword", [](Form& f) {
        f.Get<ui::TextBox>("txtPasswordVecchia").UserType("6150");
        f.Get<ui::TextBox>("txtPasswordNuova").UserType("new");
        f.Get<ui::TextBox>("txtPasswordConferma").UserType("new");
        f.Get<ui::CommandButton>("cmdOK").UserClick();
    });
    EXPECT_TRUE(gate.ChangePassword());
    EXPECT_TRUE(gate.PasswordOK());
    EXPECT_EQ(host.PendingAnswers(), 0u);

    PasswordGate nextRun(host, settings);
    host.OnForm("FPassword", Types("6150"));
    EXPECT_FALSE(nextRun.PasswordOK()) << "the next run asks for the new password";
}

} // namespace
} // namespace zem
