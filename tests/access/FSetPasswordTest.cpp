#include "access/FSetPassword.h"
#include "profile/SettingsStore.h"
#include "ui/ScriptedHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zem {
namespace {

using ::testing::ElementsAre;
using ui::Form;
using ui::ScriptedHost;

constexpr const char* kTitle = "ZEM Setup";

struct Typed {
    std::string oldPassword;
    std::string newPassword;
    std::string confirm;
};

// The technician fills the three boxes and presses the button.
void Fill(Form& f, const Typed& t, const char* button = "cmdOK")
{
    f.Get<ui::TextBox>("txtPasswordVecchia").UserType(t.oldPassword);
    f.Get<ui::TextBox>("txtPasswordNuova").UserType(t.newPassword);
    f.Get<ui::TextBox>("txtPasswordConferma").UserType(t.confirm);
    f.Get<ui::CommandButton>(button).UserClick();
}

// Saves nothing, as a settings file that cannot be written.
class ReadOnlySettings final : public SettingsStore {
public:
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultValue) override
    {
        return defaultValue;
    }
    bool SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override
    {
        return false;
    }
};

TEST(FSetPassword, RefusesAnInvalidChangeAndStaysOpen)
{
    struct Case {
        Typed typed;
        const char* message;
    };
    const Case cases[] = {
        {{"6150", "", ""}, "The new password is wrong"},
        {{"6150", "   ", "   "}, "The new password is wrong"},
        {{"wrong", "", ""}, "The new password is wrong"},  // the new password is checked first
        {{"6151", "abc", "abc"}, "The old password is wrong"},
        {{"6150", "abc", "abd"}, "The confirm of new password is wrong"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ScriptedHost host(kTitle);
        MemorySettingsStore settings;
        FSetPassword window(host, settings);
        host.OnForm("FSetPassword", [&](Form& f) {
            Fill(f, c.typed);
            EXPECT_TRUE(f.Loaded()) << "the window stays open for another try";
            f.Get<ui::CommandButton>("cmdCancel").UserClick();
        });
        EXPECT_FALSE(window.Load());
        ASSERT_EQ(host.Messages().size(), 1u);
        EXPECT_EQ(host.Messages()[0].text, c.message);
        EXPECT_EQ(host.Messages()[0].icon, ui::MsgIcon::Information);
        EXPECT_EQ(settings.GetSetting(kTitle, "Main", "Password", "(none)"), "(none)");
    }
}

TEST(FSetPassword, AnotherTryAfterARefusalStoresTheNewPasswordTrimmedAndUpperCased)
{
    ScriptedHost host(kTitle);
    MemorySettingsStore settings;
    settings.SaveSetting(kTitle, "Main", "Password", " Old1 ");
    FSetPassword window(host, settings);
    host.OnForm("FSetPassword", [](Form& f) {
        EXPECT_EQ(f.Caption(), "Modify password");
        EXPECT_TRUE(f.Centred());
        Fill(f, {"6150", "zem", "zem"});
        Fill(f, {"old1", "  Press Line 2 ", "press line 2"});
    });
    EXPECT_TRUE(window.Load());
    EXPECT_EQ(settings.GetSetting(kTitle, "Main", "Password", ""), "PRESS LINE 2");
    EXPECT_THAT(host.MessageTexts(), ElementsAre("The old password is wrong"));
}

TEST(FSetPassword, CancelAndClosingStoreNothing)
{
    ScriptedHost host(kTitle);
    MemorySettingsStore settings;
    FSetPassword window(host, settings);
    host.OnForm("FSetPassword", [](Form& f) { Fill(f, {"6150", "abc", "abc"}, "cmdCancel"); });
    EXPECT_FALSE(window.Load());
    host.OnForm("FSetPassword", [](Form& f) { f.RequestClose(); });
    EXPECT_FALSE(window.Load());
    EXPECT_EQ(settings.GetSetting(kTitle, "Main", "Password", "(none)"), "(none)");
}

TEST(FSetPassword, ANewPasswordThatCannotBeStoredIsReportedNotTakenForDone)
{
    ScriptedHost host(kTitle);
    ReadOnlySettings settings;
    FSetPassword window(host, settings);
    host.OnForm("FSetPassword", [](Form& f) { Fill(f, {"6150", "abc", "abc"}); });
    EXPECT_FALSE(window.Load());
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "The new password could not be saved.");
    EXPECT_EQ(host.Messages()[0].icon, ui::MsgIcon::Critical);
}

} // namespace
} // namespace zem
