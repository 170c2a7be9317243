#include "gui/ProgramOptions.h"

namespace zem::gui {

ProgramOptions ProgramOptions::FromArguments(const QStringList& arguments)
{
    ProgramOptions options;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--simulate")) {
            options.simulate = true;
        } else if (argument == QStringLiteral("--pictures") && i + 1 < arguments.size()) {
            options.pictureFolder = arguments[++i];
        } else if (argument == QStringLiteral("--broadcast") && i + 1 < arguments.size()) {
            options.broadcast = arguments[++i];
        } else if (argument.endsWith(QStringLiteral(".zemp"), Qt::CaseInsensitive)) {
            options.profile = argument;
        } else {
            rest << argument;
        }
    }
    options.commandLine = rest.join(QLatin1Char(' '));
    return options;
}

} // namespace zem::gui
