#include "gui/ProgramOptions.h"
#include "main/StartModes.h"

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

// zemsetup's own options never reach the main window, so "/ADV" still counts after --simulate.
TEST(ProgramOptions, TakeTheirOwnArgumentsAndLeaveTheRestAsTheCommandLine)
{
    struct Case {
        QStringList arguments;
        bool smokeTest;
        bool simulate;
        QString pictures;
        QString commandLine;
        bool advanced;
    };
    const Case cases[] = {
        {{"zemsetup"}, false, false, "", "", false},
        {{"zemsetup", "--simulate", "/ADV"}, false, true, "", "/ADV", true},
        {{"zemsetup", "/adv", "--simulate", "/CFG"}, false, true, "", "/adv /CFG", true},
        {{"zemsetup", "--smoke-test", "--pictures", "/tmp/p", "--cfg"}, true, false, "/tmp/p", "--cfg", false},
        {{"zemsetup", "x", "/ADV"}, false, false, "", "x /ADV", false},
        {{"zemsetup", "--pictures"}, false, false, "", "--pictures", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramOptions options = ProgramOptions::FromArguments(c.arguments);
        EXPECT_EQ(options.smokeTest, c.smokeTest);
        EXPECT_EQ(options.simulate, c.simulate);
        EXPECT_EQ(options.pictureFolder, c.pictures);
        EXPECT_EQ(options.commandLine, c.commandLine);
        EXPECT_EQ(StartModes::FromCommandLine(options.commandLine.toStdString()).advanced, c.advanced);
    }
}

} // namespace
} // namespace zem::gui
