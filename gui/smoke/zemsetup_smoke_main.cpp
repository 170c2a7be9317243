// zemsetup_smoke: zemsetup put together as the program does, then a short session played on its
// real widgets; exits with 0 when everything showed as expected.
//   --simulate        the simulated instruments too: selection, Ethernet setup, diagnosis, curves
//   --pictures FOLDER a picture of each window there
//   other arguments   as zemsetup takes them ("/ADV", "/CFG", --broadcast)

#include "gui/DesktopSession.h"
#include "gui/ProgramOptions.h"
#include "gui/smoke/SmokeTest.h"
#include "profile/DataPaths.h"
#include "profile/SettingsStore.h"
#include "ui/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));
    const auto options = zem::gui::ProgramOptions::FromArguments(QApplication::arguments());
    // The user's settings are left alone.
    zem::MemorySettingsStore settings;
    int exitCode = 0;
    const auto session = zem::gui::DesktopSession::Open(
        options, settings,
        {zem::DataPaths::DataFolder().string(),
         options.commandLine.toStdString(), ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR},
        exitCode);
    if (!session) return exitCode;
    return zem::gui::SmokeTest(session->Window(), session->MainForm(), options.pictureFolder, session->Simulated()).Run();
}
