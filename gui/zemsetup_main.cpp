// zemsetup: the desktop program.
//   /ADV, --adv       advanced mode (first argument only): backup, memory test, USB EEPROM menus
//   /CFG, --cfg       configuration mode: the firmware update menu
//   --simulate        serve simulated USB bridges, Ethernet modules and their instruments while the
//                     program runs (the modules on 127.0.0.1, UDP)
//   --broadcast HOST[:PORT]
//                     where module commands go (else $ZEMSETUP_BROADCAST, else 255.255.255.255:65535)
//   FILE.zemp         the profile to open (the desktop passes a double-clicked one)

#include "gui/DesktopSession.h"
#include "gui/ProgramOptions.h"
#include "profile/DataPaths.h"
#include "profile/FileSettingsStore.h"
#include "ui/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));
    const auto options = zem::gui::ProgramOptions::FromArguments(QApplication::arguments());
    zem::FileSettingsStore settings;
    int exitCode = 0;
    const auto session = zem::gui::DesktopSession::Open(
        options, settings,
        {zem::DataPaths::DataFolder().string(), options.commandLine.toStdString(), ZEM_VERSION_MAJOR,
         ZEM_VERSION_MINOR, options.profile.toStdString()},
        exitCode);
    if (!session) return exitCode;
    session->Window().show();
    return QApplication::exec();
}
