// zemsetup: the desktop program. Options: --smoke-test [--pictures FOLDER] plays a short session
// on the offscreen platform and exits with 0 when it went as expected.

#include "access/PasswordGate.h"
#include "gui/FormMainWindow.h"
#include "gui/MainStandIn.h"
#include "gui/QtHost.h"
#include "gui/SmokeTest.h"
#include "profile/FileSettingsStore.h"
#include "profile/SettingsStore.h"
#include "ui/Application.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));

    const QStringList arguments = QApplication::arguments();
    const bool smokeTest = arguments.contains(QStringLiteral("--smoke-test"));
    QString pictureFolder;
    const qsizetype pictures = arguments.indexOf(QStringLiteral("--pictures"));
    if (pictures > 0 && pictures + 1 < arguments.size()) pictureFolder = arguments[pictures + 1];

    zem::gui::QtHost host(zem::ui::kApplicationTitle);
    // The smoke test must leave the user's settings alone.
    zem::FileSettingsStore userSettings;
    zem::MemorySettingsStore sessionSettings;
    zem::SettingsStore& settings = smokeTest ? static_cast<zem::SettingsStore&>(sessionSettings) : userSettings;
    zem::PasswordGate gate(host, settings);
    zem::gui::MainStandIn mainForm(host, gate, ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR);
    mainForm.LoadWindow();
    zem::gui::FormMainWindow window(mainForm);

    if (smokeTest) return zem::gui::SmokeTest(window, pictureFolder).Run();
    window.show();
    return QApplication::exec();
}
