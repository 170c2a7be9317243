// zemsetup: the desktop program.
//   /ADV, --adv       advanced mode (first argument only): backup, memory test, USB EEPROM menus
//   /CFG, --cfg       configuration mode: the firmware update menu
//   --simulate        serve the simulated instrument on 127.0.0.1 (UDP) while the program runs
//   --smoke-test [--pictures FOLDER]
//                     play a short session and exit with 0 when it went as expected

#include "gui/FormMainWindow.h"
#include "gui/ProgramOptions.h"
#include "gui/QtHost.h"
#include "gui/SmokeTest.h"
#include "link/Clock.h"
#include "main/FMainZEMSETUP.h"
#include "profile/FileSettingsStore.h"
#include "profile/SettingsStore.h"
#include "sim/DefaultInstrument.h"
#include "sim/UdpInstrumentServer.h"
#include "ui/Application.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

// The default instrument behind its Ethernet module on loopback, served from a thread of its own.
class SimulatorOnLoopback {
public:
    bool Start()
    {
        if (!server_.Start()) return false;
        std::printf("zemsetup: simulated instrument at 127.0.0.1:%u (UDP)\n", server_.Port());
        std::fflush(stdout);
        return true;
    }

private:
    zem::SystemClock clock_;
    zem::sim::DefaultInstrument instrument_{clock_};
    zem::sim::UdpInstrumentServer server_{instrument_.Instrument(), clock_};
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));
    const auto options = zem::gui::ProgramOptions::FromArguments(QApplication::arguments());

    std::unique_ptr<SimulatorOnLoopback> simulated;
    if (options.simulate) {
        simulated = std::make_unique<SimulatorOnLoopback>();
        if (!simulated->Start()) {
            std::fprintf(stderr, "zemsetup: the simulated instrument could not bind 127.0.0.1\n");
            return 1;
        }
    }

    zem::gui::QtHost host(zem::ui::kApplicationTitle);
    // The smoke test must leave the user's settings alone.
    zem::FileSettingsStore userSettings;
    zem::MemorySettingsStore sessionSettings;
    zem::SettingsStore& settings = options.smokeTest ? static_cast<zem::SettingsStore&>(sessionSettings) : userSettings;
    zem::FMainZEMSETUP mainForm(host, settings,
                                {QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString(),
                                 options.commandLine.toStdString(), ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR});
    mainForm.LoadWindow();
    zem::gui::FormMainWindow window(mainForm);

    if (options.smokeTest) return zem::gui::SmokeTest(window, mainForm, options.pictureFolder).Run();
    window.show();
    return QApplication::exec();
}
