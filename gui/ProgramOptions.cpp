#include "gui/ProgramOptions.h"

#include <QCommandLineParser>

namespace zem::gui {

namespace {

// The modes are the main window's: they stay in its command line, as the technician wrote them.
const QStringList kModes{"adv", "ADV", "cfg", "CFG"};
const QStringList kValued{"broadcast", "pictures"};

void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        "Configure and service ZEM process-monitoring instruments: edit a profile, send it, back the\n"
        "instrument's memory up, watch live values and curves, calibrate transducers.");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{"h", "help"}, "Show this help and exit."});
    parser.addOption({{"v", "version"}, "Show the version and exit."});
    parser.addOption({{"adv", "ADV"}, "Advanced mode (as /ADV, first argument only): backup, memory test and USB EEPROM menus."});
    parser.addOption({{"cfg", "CFG"}, "Configuration mode (as /CFG): the firmware update menu."});
    parser.addOption({"simulate", "Serve simulated USB bridges, Ethernet modules and their instruments."});
    parser.addOption({"broadcast",
                      "Where module commands go (else $ZEMSETUP_BROADCAST, else 255.255.255.255:65535).",
                      "HOST[:PORT]"});
    QCommandLineOption pictures("pictures", "zemsetup_smoke: a picture of each window in FOLDER.", "FOLDER");
    pictures.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(pictures);
    parser.addPositionalArgument("FILE.zemp", "The profile to open at start.", "[FILE.zemp] [/ADV] [/CFG]");
}

} // namespace

ProgramOptions ProgramOptions::FromArguments(const QStringList& arguments)
{
    ProgramOptions options;
    QCommandLineParser parser;
    Describe(parser);
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.help = parser.isSet("help");
    options.version = parser.isSet("version");
    options.simulate = parser.isSet("simulate");
    options.broadcast = parser.value("broadcast");
    options.pictureFolder = parser.value("pictures");
    // The parser has checked them; the walk keeps the order, since "/ADV" counts only first.
    QStringList line;
    bool plain = false;  // after "--"
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!plain && argument == QStringLiteral("--")) {
            plain = true;
        } else if (!plain && argument.size() > 1 && argument.startsWith('-')) {
            QString name = argument.section('=', 0, 0);
            name.remove(0, name.startsWith(QStringLiteral("--")) ? 2 : 1);
            if (kModes.contains(name)) line << argument;
            if (kValued.contains(name) && !argument.contains('=')) ++i;
        } else if (argument.endsWith(QStringLiteral(".zemp"), Qt::CaseInsensitive)) {
            options.profile = argument;
        } else {
            line << argument;
        }
    }
    options.commandLine = line.join(QLatin1Char(' '));
    return options;
}

QString ProgramOptions::HelpText()
{
    QCommandLineParser parser;
    Describe(parser);
    // Without an application object Qt cannot know the program's name.
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("zemsetup"));
}

} // namespace zem::gui
