#include "tests/main/MainWindowSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace zem::test {
namespace {

using ui::FileDialogKind;
using ui::MsgIcon;

const std::string kFilter = "ZEM profile file|*.zemp|All files (*.*)|*.*";

ProfiloZem Loaded(const std::string& path)
{
    ProfiloZem p;
    EXPECT_TRUE(p.ApriFile(path)) << path;
    return p;
}

TEST(MenuState, ProfileItemsFollowWhetherAProfileIsOpenAndWorkflowsStayGreyed)
{
    struct Case {
        bool open;
        bool changed;
    };
    for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}, Case{true, true}}) {
        SCOPED_TRACE(std::string(c.open ? "open" : "empty") + (c.changed ? ", changed" : ", unchanged"));
        MainWindowSession s;
        if (c.open) s.Open(s.Example());
        s.window->Profilo().Modificato = c.changed;
        s.window->AggiornaMenu();
        for (const ui::Menu* item : {&s.window->mnuConfig, &s.window->mnuSalva, &s.window->mnuSaveAs,
                                     &s.window->mnuChiudi, &s.window->mnuFormat})
            EXPECT_EQ(item->Enabled(), c.open) << item->Name();
        EXPECT_FALSE(s.window->mnuDiagnosi.Enabled());
        for (const ui::Menu* item : {&s.window->mnuNuovo, &s.window->mnuApri, &s.window->mnuSetPassword,
                                     &s.window->mnuUscita})
            EXPECT_TRUE(item->Usable()) << item->Name();
    }
}

TEST(OpenProfile, ReadsTheFileNamesItInTheCaptionAndRemembersWhereItWas)
{
    MainWindowSession s;
    s.Open(s.Example());
    ASSERT_EQ(s.host.FileDialogs().size(), 1u);
    const ui::FileDialogRequest& dialog = s.host.FileDialogs()[0];
    EXPECT_EQ(dialog.kind, FileDialogKind::Open);
    EXPECT_EQ(dialog.title, "Profile");
    EXPECT_EQ(dialog.filter, kFilter);
    EXPECT_EQ(dialog.defaultExtension, "zemp");
    EXPECT_EQ(dialog.initialFolder, "");
    EXPECT_EQ(dialog.fileName, "");
    EXPECT_TRUE(dialog.fileMustExist);

    EXPECT_EQ(s.window->Caption(), "ZEM Setup - PressLine3");
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_TRUE(s.window->Profilo() == Loaded(s.Example()));
    EXPECT_FALSE(s.window->Profilo().Vuoto);
    EXPECT_FALSE(s.window->Profilo().Modificato);
    EXPECT_EQ(s.Setting("PathProfili"), s.Path("profiles/"));
    EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());
    EXPECT_TRUE(s.host.Messages().empty());

    // The next dialog starts in that folder; a cancelled one changes nothing.
    s.host.CancelFile();
    s.window->mnuApri.UserClick();
    EXPECT_EQ(s.host.FileDialogs()[1].initialFolder, s.Path("profiles/"));
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_TRUE(s.host.Messages().empty());
}

TEST(OpenProfile, AFileThatCannotBeReadLeavesTheTemplateWithoutAName)
{
    struct Case {
        const char* what;
        std::function<std::string(MainWindowSession&)> make;
    };
    const Case cases[] = {
        {"missing", [](MainWindowSession& s) { return s.Path("profiles/Missing.zemp"); }},
        {"empty",
         [](MainWindowSession& s) {
             std::ofstream(s.Path("profiles/Empty.zemp"));
             return s.Path("profiles/Empty.zemp");
         }},
        {"a folder",
         [](MainWindowSession& s) {
             std::filesystem::create_directory(s.Path("profiles/Folder.zemp"));
             return s.Path("profiles/Folder.zemp");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowSession s;
        s.Open(s.Example());
        const std::string bad = c.make(s);
        s.Open(bad);
        ASSERT_EQ(s.host.Messages().size(), 1u);
        EXPECT_EQ(s.host.Messages()[0].text, "Open file error.\r\n" + bad);
        EXPECT_EQ(s.host.Messages()[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(s.window->Profilo() == Loaded(s.Path("program/Default.ZemP")));
        EXPECT_EQ(s.window->FileCorrente(), "");
        EXPECT_EQ(s.window->Caption(), "ZEM Setup");
        EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());
        EXPECT_TRUE(s.window->mnuSalva.Enabled());

        // So the next Save asks for a name.
        s.TypesPassword("6150");
        s.host.CancelFile();
        s.window->mnuSalva.UserClick();
        ASSERT_EQ(s.host.FileDialogs().size(), 3u);
        EXPECT_EQ(s.host.FileDialogs()[2].kind, FileDialogKind::Save);
    }
}

TEST(OpenProfile, WithoutTheTemplateAFailedOpenKeepsNothingOfTheProfileBefore)
{
    MainWindowSession s({"", false});
    s.Open(s.Example());
    s.Open(s.Path("profiles/Missing.zemp"));
    EXPECT_TRUE(s.window->Profilo() == ProfiloZem{});
    EXPECT_EQ(s.window->FileCorrente(), "");
}

TEST(OpenProfile, ADialogErrorIsReportedAndTheProgramCarriesOn)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.host.FailFile("The file dialog could not be shown.");
    s.window->mnuApri.UserClick();
    ASSERT_EQ(s.host.Messages().size(), 1u);
    EXPECT_EQ(s.host.Messages()[0].text, "The file dialog could not be shown.");
    EXPECT_EQ(s.host.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_EQ(s.window->Caption(), "ZEM Setup - PressLine3");

    s.Open(s.Path("program/Default.ZemP"));
    EXPECT_EQ(s.window->Caption(), "ZEM Setup - Default");
}

TEST(SaveAs, AFailedSaveKeepsTheOldNameAndSettings)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.Change("Renamed");
    const std::string nowhere = s.Path("no such folder/Other.zemp");
    s.TypesPassword("6150");
    s.host.ChooseFile(nowhere);
    s.window->mnuSaveAs.UserClick();
    ASSERT_EQ(s.host.Messages().size(), 1u);
    EXPECT_EQ(s.host.Messages()[0].text, nowhere + "\r\nProfile saving fail.");
    EXPECT_EQ(s.host.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_EQ(s.window->Caption(), "ZEM Setup - PressLine3");
    EXPECT_EQ(s.Setting("PathProfili"), s.Path("profiles/"));
    EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());
    EXPECT_TRUE(s.window->Profilo().Modificato);
    EXPECT_FALSE(std::filesystem::exists(nowhere));

    // A dialog error and a cancel change nothing either, and say so only for the error.
    s.host.FailFile("No file was chosen.");
    s.window->mnuSaveAs.UserClick();
    s.host.CancelFile();
    s.window->mnuSaveAs.UserClick();
    EXPECT_EQ(s.host.MessageTexts().back(), "No file was chosen.");
    EXPECT_EQ(s.host.Messages().size(), 2u);
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
}

TEST(SaveAs, ASuccessfulSaveRenamesTheProfileEverywhere)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.Change("Renamed");
    std::filesystem::create_directory(s.Path("elsewhere"));
    const std::string target = s.Path("elsewhere/Line4.zemp");
    s.TypesPassword("6150");
    s.host.ChooseFile(target);
    s.window->mnuSaveAs.UserClick();

    const ui::FileDialogRequest& dialog = s.host.FileDialogs().back();
    EXPECT_EQ(dialog.kind, FileDialogKind::Save);
    EXPECT_EQ(dialog.title, "Profile");
    EXPECT_EQ(dialog.filter, kFilter);
    EXPECT_EQ(dialog.defaultExtension, "zemp");
    EXPECT_EQ(dialog.initialFolder, s.Path("profiles/"));
    EXPECT_TRUE(dialog.overwritePrompt);

    EXPECT_TRUE(s.host.Messages().empty());
    EXPECT_EQ(s.window->FileCorrente(), target);
    EXPECT_EQ(s.window->Caption(), "ZEM Setup - Line4");
    EXPECT_EQ(s.Setting("PathProfili"), s.Path("elsewhere/"));
    EXPECT_EQ(s.Setting("UltimoProfilo"), target);
    EXPECT_FALSE(s.window->Profilo().Modificato);
    EXPECT_EQ(Loaded(target).Nome, "Renamed");
    EXPECT_EQ(Loaded(s.Example()).Nome, "Press line 3");

    // Save now writes there, without a dialog or a second password.
    s.Change("Renamed again");
    s.window->mnuSalva.UserClick();
    EXPECT_EQ(Loaded(target).Nome, "Renamed again");
    EXPECT_EQ(s.host.FileDialogs().size(), 2u);
    EXPECT_EQ(s.host.FormsShown().size(), 1u);
}

TEST(SaveProfile, NeedsThePasswordAndReportsAFileThatCannotBeWritten)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.Change("Renamed");
    const std::string before = ReadFile(s.Example());
    s.TypesPassword("wrong");
    s.window->mnuSalva.UserClick();
    EXPECT_EQ(ReadFile(s.Example()), before);
    EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"The password is wrong."});

    std::filesystem::remove(s.Example());
    std::filesystem::create_directory(s.Example());
    s.TypesPassword("6150");
    s.window->mnuSalva.UserClick();
    EXPECT_EQ(s.host.MessageTexts().back(), s.Example() + "\r\nProfile saving fail.");
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_TRUE(s.window->Profilo().Modificato);
}

TEST(NewProfile, StartsFromTheTemplateWithoutAFile)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.New();
    EXPECT_TRUE(s.window->Profilo() == Loaded(s.Path("program/Default.ZemP")));
    EXPECT_EQ(s.window->FileCorrente(), "");
    EXPECT_EQ(s.window->Caption(), "ZEM Setup");
    EXPECT_FALSE(s.window->Profilo().Vuoto);
    EXPECT_FALSE(s.window->Profilo().Modificato);
    EXPECT_TRUE(s.window->mnuSaveAs.Enabled());
    // The template is only read.
    EXPECT_EQ(ReadFile(s.Path("program/Default.ZemP")), ReadFile(kTemplateSource));
    EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());
}

TEST(NewProfile, WithoutAUsableTemplateStartsFromTheModelsDefaults)
{
    for (const bool emptyTemplate : {false, true}) {
        SCOPED_TRACE(emptyTemplate ? "empty template" : "no template");
        MainWindowSession s({"", false});
        if (emptyTemplate) std::ofstream(s.Path("program/Default.ZemP"));
        s.Open(s.Example());
        s.New();
        EXPECT_TRUE(s.window->Profilo() == ProfiloZem{});
        EXPECT_FALSE(s.window->Profilo().Vuoto);
        EXPECT_FALSE(s.window->Profilo().Modificato);
        EXPECT_EQ(s.window->FileCorrente(), "");
        EXPECT_TRUE(s.window->mnuSaveAs.Enabled());
        EXPECT_TRUE(s.host.Messages().empty());
    }
}

} // namespace
} // namespace zem::test
