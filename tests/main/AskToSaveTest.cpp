#include "tests/main/MainWindowSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

namespace zem::test {
namespace {

using ::testing::HasSubstr;
using ui::MsgAnswer;

const std::string kQuestion = "Profile has been changed.\r\nSave changes?";

// What the technician answers to "Save changes?" and what follows it.
enum class Reply { Unchanged, Yes, YesWrongPassword, YesSaveFails, No, Cancel };

struct Action {
    const char* name;
    std::function<void(MainWindowSession&)> run;    // queues what the action itself asks, then acts
    std::function<bool(MainWindowSession&)> done;   // the action went through
};

const std::vector<Action>& Actions()
{
    static const std::vector<Action> actions = {
        {"Exit", [](MainWindowSession& s) { s.window->mnuUscita.UserClick(); },
         [](MainWindowSession& s) { return !s.window->Loaded() && s.window->Chiusura(); }},
        {"New", [](MainWindowSession& s) { s.New(); },
         [](MainWindowSession& s) {
             return s.window->Profilo().Nome == "ZEM AUTOMATION" && s.window->FileCorrente().empty();
         }},
        {"Open",
         [](MainWindowSession& s) {
             s.host.ChooseFile(s.Path("program/Default.ZemP"));
             s.window->mnuApri.UserClick();
         },
         [](MainWindowSession& s) { return s.window->FileCorrente() == s.Path("program/Default.ZemP"); }},
        {"Close", [](MainWindowSession& s) { s.window->mnuChiudi.UserClick(); },
         [](MainWindowSession& s) {
             return s.window->Profilo().Vuoto && s.window->FileCorrente().empty()
                    && s.window->Caption() == "ZEM Setup" && !s.window->mnuSalva.Enabled();
         }},
    };
    return actions;
}

TEST(AskToSave, ExitNewOpenAndCloseGoOnOnlyWhenTheChangesAreSafeOrGivenUp)
{
    struct Expected {
        Reply reply;
        const char* name;
        bool goesOn;
        bool saved;
        std::vector<std::string> messages;  // {"path"} stands for the profile's path
    };
    const Expected table[] = {
        {Reply::Unchanged, "unchanged", true, false, {}},
        {Reply::Yes, "Yes", true, true, {kQuestion}},
        {Reply::YesWrongPassword, "Yes, wrong password", false, false, {kQuestion, "The password is wrong."}},
        {Reply::YesSaveFails, "Yes, save fails", false, false, {kQuestion, "path\r\nProfile saving fail.\r\nCannot read path: Is a directory"}},
        {Reply::No, "No", true, false, {kQuestion}},
        {Reply::Cancel, "Cancel", false, false, {kQuestion}},
    };
    for (const Action& action : Actions()) {
        for (const Expected& e : table) {
            SCOPED_TRACE(std::string(action.name) + " / " + e.name);
            MainWindowSession s;
            const std::string file = s.Example();
            s.Open(file);
            const std::string before = ReadFile(file);
            if (e.reply != Reply::Unchanged) s.Change("Changed name");
            switch (e.reply) {
            case Reply::Unchanged: break;
            case Reply::Yes: s.host.Answer(MsgAnswer::Yes); s.TypesPassword("6150"); break;
            case Reply::YesWrongPassword: s.host.Answer(MsgAnswer::Yes); s.TypesPassword("0000"); break;
            case Reply::YesSaveFails:
                // The profile's file has become a folder of the same name.
                std::filesystem::remove(file);
                std::filesystem::create_directory(file);
                s.host.Answer(MsgAnswer::Yes);
                s.TypesPassword("6150");
                break;
            case Reply::No: s.host.Answer(MsgAnswer::No); break;
            case Reply::Cancel: s.host.Answer(MsgAnswer::Cancel); break;
            }
            if (!e.goesOn && (std::string(action.name) == "Open" || std::string(action.name) == "New")) {
                // The open dialog or the main settings must not come up: run without their answer queued.
                (std::string(action.name) == "Open" ? s.window->mnuApri : s.window->mnuNuovo).UserClick();
            } else {
                action.run(s);
            }

            EXPECT_EQ(action.done(s), e.goesOn);
            EXPECT_EQ(s.host.PendingAnswers(), 0u);
            std::vector<std::string> expected;
            for (const auto& m : e.messages) expected.push_back(m.starts_with("path") ? std::regex_replace(m, std::regex("path"), file) : m);
            EXPECT_EQ(s.host.MessageTexts(), expected);
            if (!s.host.Messages().empty()) {
                EXPECT_EQ(s.host.Messages()[0].buttons, ui::MsgButtons::YesNoCancel);
                EXPECT_EQ(s.host.Messages()[0].icon, ui::MsgIcon::Question);
            }
            if (e.reply == Reply::YesSaveFails) continue;
            const std::string after = ReadFile(file);
            if (e.saved) {
                EXPECT_THAT(after, HasSubstr("Nome=Changed name\r\n"));
            } else {
                EXPECT_EQ(after, before);
            }
            if (!e.goesOn) {
                // Nothing of the changed profile is lost.
                EXPECT_TRUE(s.window->Loaded());
                EXPECT_FALSE(s.window->Chiusura());
                EXPECT_EQ(s.window->Profilo().Nome, "Changed name");
                EXPECT_TRUE(s.window->Profilo().Modificato);
                EXPECT_EQ(s.window->FileCorrente(), file);
            }
        }
    }
}

TEST(AskToSave, YesOnAProfileWithoutAFileAsksForANameAndCancellingThatStops)
{
    MainWindowSession s;
    s.New();
    s.Change("From the template");
    s.host.Answer(MsgAnswer::Yes);
    s.TypesPassword("6150");
    s.host.CancelFile();
    s.window->mnuUscita.UserClick();
    EXPECT_TRUE(s.window->Loaded());
    ASSERT_EQ(s.host.FileDialogs().size(), 1u);
    EXPECT_EQ(s.host.FileDialogs()[0].kind, ui::FileDialogKind::Save);

    // Given a name, the same question lets the program end, the profile saved there.
    const std::string target = s.Path("profiles/New.zemp");
    s.host.Answer(MsgAnswer::Yes);
    s.host.ChooseFile(target);
    s.window->mnuUscita.UserClick();
    EXPECT_FALSE(s.window->Loaded());
    EXPECT_THAT(ReadFile(target), HasSubstr("Nome=From the template\r\n"));
    // The password was given once and not asked again.
    ASSERT_EQ(s.host.FormsShown().size(), 2u);  // the main settings, then the password
    EXPECT_EQ(s.host.FormsShown()[1].name, "FPassword");
}

} // namespace
} // namespace zem::test
