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
        bool simulate;
        QString pictures;
        QString commandLine;
        bool advanced;
        QString error = {};
        QString profile = {};
    };
    const Case cases[] = {
        {{"zemsetup"}, false, "", "", false},
        {{"zemsetup", "--simulate", "/ADV"}, true, "", "/ADV", true},
        {{"zemsetup", "/adv", "--simulate", "/CFG"}, true, "", "/adv /CFG", true},
        {{"zemsetup_smoke", "--pictures", "/tmp/p", "--cfg"}, false, "/tmp/p", "--cfg", false},
        {{"zemsetup", "x", "/ADV"}, false, "", "x /ADV", false},
        {{"zemsetup", "/adv", "--cfg", "--broadcast=127.0.0.1:9", "a.ZEMP"}, false, "", "/adv --cfg", true, "", "a.ZEMP"},
        {{"zemsetup", "--", "--simulate.zemp"}, false, "", "", false, "", "--simulate.zemp"},
        {{"zemsetup", "--pictures"}, false, "", "", false, "Missing value after '--pictures'."},
        {{"zemsetup", "/ADV", "--simulat"}, false, "", "", false, "Unknown option 'simulat'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramOptions options = ProgramOptions::FromArguments(c.arguments);
        EXPECT_EQ(options.simulate, c.simulate);
        EXPECT_EQ(options.pictureFolder, c.pictures);
        EXPECT_EQ(options.commandLine, c.commandLine);
        EXPECT_EQ(StartModes::FromCommandLine(options.commandLine.toStdString()).advanced, c.advanced);
        EXPECT_EQ(options.error, c.error);
        EXPECT_EQ(options.profile, c.profile);
    }
}

} // namespace
} // namespace zem::gui
