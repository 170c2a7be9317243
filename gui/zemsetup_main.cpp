// zemsetup: the desktop program.
//   /ADV, --adv       advanced mode (first argument only): backup, memory test, USB EEPROM menus
//   /CFG, --cfg       configuration mode: the firmware update menu
//   --simulate        serve simulated USB bridges, Ethernet modules and their instruments while the
//                     program runs (the modules on 127.0.0.1, UDP)
//   --broadcast HOST[:PORT]
//                     where module commands go (else $ZEMSETUP_BROADCAST, else 255.255.255.255:65535)
//   FILE.zemp         the profile to open (the desktop passes a double-clicked one)
//   --smoke-test [--pictures FOLDER]
//                     play a short session and exit with 0 when it went as expected

#include "gui/FormMainWindow.h"
#include "gui/ProgramOptions.h"
#include "gui/QtHost.h"
#include "gui/SmokeTest.h"
#include "link/SystemPlatform.h"
#include "link/usb/MachineUsbDriver.h"
#include "main/FMainZEMSETUP.h"
#include "profile/DataPaths.h"
#include "profile/FileSettingsStore.h"
#include "profile/SettingsStore.h"
#include "sim/SimulatedSite.h"
#include "ui/Application.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <optional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));
    const auto options = zem::gui::ProgramOptions::FromArguments(QApplication::arguments());
    const auto broadcastOption = options.broadcast.isEmpty() ? std::nullopt
                                                             : std::optional(options.broadcast.toStdString());

    std::unique_ptr<zem::sim::SimulatedSite> site;
    std::unique_ptr<zem::D2xx> machineUsb;
    std::optional<zem::BroadcastTarget> broadcast;
    if (options.simulate) {
        site = std::make_unique<zem::sim::SimulatedSite>();
        if (!site->Start()) {
            std::fprintf(stderr, "zemsetup: the simulated instruments could not be served on 127.0.0.1\n");
            return 1;
        }
        std::printf("zemsetup: simulated USB bridges; simulated Ethernet modules at 127.0.0.1:%u (UDP)\n",
                    site->Broadcast().port);
        std::fflush(stdout);
        broadcast = broadcastOption ? zem::ParseBroadcastTarget(*broadcastOption) : site->Broadcast();
    } else {
        machineUsb = zem::MachineUsbDriver();
        broadcast = zem::ChooseBroadcastTarget(broadcastOption);
    }
    if (!broadcast) {
        std::fprintf(stderr, "zemsetup: the broadcast target is not HOST or HOST:PORT (port 1-65535)\n");
        return 2;
    }
    zem::SystemPlatform system(site ? site->UsbDriver() : *machineUsb, *broadcast);

    zem::gui::QtHost host(zem::ui::kApplicationTitle);
    host.WatchSockets(system.WindowPump());
    // The smoke test must leave the user's settings alone.
    zem::FileSettingsStore userSettings;
    zem::MemorySettingsStore sessionSettings;
    zem::SettingsStore& settings = options.smokeTest ? static_cast<zem::SettingsStore&>(sessionSettings) : userSettings;
    zem::FMainZEMSETUP mainForm(host, settings, system.Platform(),
                                {zem::DataPaths::DataFolder().string(), options.commandLine.toStdString(),
                                 ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR, options.profile.toStdString()});
    mainForm.LoadWindow();
    zem::gui::FormMainWindow window(mainForm);

    if (options.smokeTest) {
        const auto simulated = site ? std::optional(system.Platform()) : std::nullopt;
        return zem::gui::SmokeTest(window, mainForm, options.pictureFolder, simulated).Run();
    }
    window.show();
    return QApplication::exec();
}
