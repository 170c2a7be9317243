#pragma once

#include <QString>
#include <QStringList>

namespace zem::gui {

// What zemsetup's own options ask for (and zemsetup_smoke's); everything else is the main window's
// command line.
struct ProgramOptions {
    bool simulate = false;   // --simulate
    QString pictureFolder;   // --pictures FOLDER, zemsetup_smoke's
    QString broadcast;       // --broadcast HOST[:PORT], where module commands go
    QString profile;         // the last argument ending in .zemp: the profile to open at start
    // The other arguments, in order, joined by blanks, as the main window reads "/ADV" and "/CFG".
    QString commandLine;

    // `arguments` as QCoreApplication gives them, the program first.
    static ProgramOptions FromArguments(const QStringList& arguments);
};

} // namespace zem::gui
