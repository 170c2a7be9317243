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

TEST(OpenProfile, ReadsTheFileNamesItInTheCaptionAndRemembersWhereItWas)
{
    MainWindowSession s;
    s.Open(s.Example());
    ASSERT_EQ(s.host.FileDialogs().size(), 1u);
    const ui::FileDialogRequest& d = s.host.FileDialogs()[0];
    EXPECT_EQ(std::tie(d.kind, d.title, d.filter, d.defaultExtension, d.initialFolder),
              std::make_tuple(FileDialogKind::Open, "Profile", kFilter, "zemp", ""));
    EXPECT_TRUE(d.fileMustExist);

    EXPECT_EQ(s.window->Caption(), "ZEM Setup - PressLine3");
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_TRUE(s.window->Profilo() == Loaded(s.Example()));
    EXPECT_FALSE(s.window->Profilo().Modificato);
    EXPECT_EQ(s.Setting("PathProfili"), s.Path("profiles/"));
    EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());

    // The next dialog starts in that folder; a cancelled one changes nothing.
    s.host.CancelFile();
    s.window->mnuApri.UserClick();
    EXPECT_EQ(s.host.FileDialogs()[1].initialFolder, s.Path("profiles/"));
    EXPECT_EQ(s.window->FileCorrente(), s.Example());
    EXPECT_TRUE(s.host.Messages().empty());
}

TEST(OpenProfile, AFileThatCannotBeReadLeavesTheTemplateWithoutAName)
{
    for (const bool folder : {false, true}) {  // missing, or a folder of that name
        MainWindowSession s;
        s.Open(s.Example());
        const std::string bad = s.Path("profiles/Bad.zemp");
        if (folder) std::filesystem::create_directory(bad);
        s.Open(bad);
        ASSERT_EQ(s.host.Messages().size(), 1u);
        EXPECT_EQ(s.host.Messages()[0].text, "Open file error.\r\n" + bad + "\r\nCannot read " + bad +
                                                 (folder ? ": Is a directory" : ": No such file or directory"));
        EXPECT_EQ(s.host.Messages()[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(s.window->Profilo() == Loaded(s.Path("program/Default.ZemP")));
        EXPECT_EQ(s.window->Caption(), "ZEM Setup");
        EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());

        // So the next Save asks for a name.
        s.TypesPassword("6150");
        s.host.CancelFile();
        s.window->mnuSalva.UserClick();
        ASSERT_EQ(s.host.FileDialogs().size(), 3u);
        EXPECT_EQ(s.host.FileDialogs()[2].kind, FileDialogKind::Save);
    }
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
    EXPECT_EQ(s.host.Messages()[0].text, nowhere + "\r\nProfile saving fail.\r\nCannot write in " +
                                             s.Path("no such folder") + ": No such file or directory");
    EXPECT_EQ(s.host.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(s.window->Caption(), "ZEM Setup - PressLine3");
    EXPECT_EQ(s.Setting("PathProfili"), s.Path("profiles/"));
    EXPECT_TRUE(s.window->Profilo().Modificato);

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

TEST(NewProfile, StartsFromTheTemplateWithoutAFileOrFromTheModelsDefaultsWithoutATemplate)
{
    for (const int template_ : {0, 1, 2}) {  // usable, missing, empty
        SCOPED_TRACE(template_);
        MainWindowSession s({"", template_ == 0});
        if (template_ == 2) std::ofstream(s.Path("program/Default.ZemP"));
        s.Open(s.Example());
        s.New();
        EXPECT_TRUE(s.window->Profilo() == (template_ == 0 ? Loaded(s.Path("program/Default.ZemP")) : ProfiloZem{}));
        EXPECT_FALSE(s.window->Profilo().Vuoto);
        EXPECT_FALSE(s.window->Profilo().Modificato);
        EXPECT_EQ(s.window->FileCorrente(), "");
        EXPECT_EQ(s.window->Caption(), "ZEM Setup");
        EXPECT_TRUE(s.window->mnuSaveAs.Enabled());
        EXPECT_TRUE(s.host.Messages().empty());
        EXPECT_EQ(s.Setting("UltimoProfilo"), s.Example());
        if (template_ == 0) {
            EXPECT_EQ(ReadFile(s.Path("program/Default.ZemP")), ReadFile(kTemplateSource)) << "only read";
        }
    }
}

} // namespace
} // namespace zem::test
