// zemsetup: the desktop program. `zemsetup --help` lists its options; "/ADV" and "/CFG" are the
// main window's (advanced mode as the first argument, configuration mode anywhere), and a
// FILE.zemp is the profile to open (the desktop passes a double-clicked one).

#include "gui/DesktopSession.h"
#include "gui/ProgramOptions.h"
#include "profile/DataPaths.h"
#include "profile/FileSettingsStore.h"
#include "ui/Application.h"

#include <QApplication>

#include <cstdio>

namespace {

// The arguments as the shell gave them: read before any window system is asked for a display.
QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = zem::gui::ProgramOptions::FromArguments(Arguments(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "zemsetup: %s\nTry 'zemsetup --help'.\n", options.error.toLocal8Bit().constData());
        return 2;
    }
    if (options.help) {
        std::fputs(zem::gui::ProgramOptions::HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("zemsetup %d.%d\n", ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zem::ui::kApplicationTitle));
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
