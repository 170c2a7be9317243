#pragma once

#include <QString>
#include <QStringList>

namespace zem::gui {

// What zemsetup's own options ask for (and zemsetup_smoke's); everything else is the main window's
// command line.
struct ProgramOptions {
    bool simulate = false;   // --simulate
    bool help = false;       // --help: the usage goes to stdout, no window opens
    bool version = false;    // --version
    QString error;           // why the arguments were refused, naming the culprit; empty when they were not
    QString pictureFolder;   // --pictures FOLDER, zemsetup_smoke's
    QString broadcast;       // --broadcast HOST[:PORT], where module commands go
    QString profile;         // the last argument ending in .zemp: the profile to open at start
    // "/ADV", "/CFG" and the other plain arguments, in order, joined by blanks, as the main window
    // reads them.
    QString commandLine;

    // `arguments` as QCoreApplication gives them, the program first. Needs no QApplication, so
    // --help and --version work without a display.
    static ProgramOptions FromArguments(const QStringList& arguments);
    // The usage --help prints.
    static QString HelpText();
};

} // namespace zem::gui
