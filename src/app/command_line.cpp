#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace {

// Options that QGuiApplication and QApplication take out of the command line themselves. They are
// known here only so that they are not reported as mistakes; the application object acts on them.
const char* const kQtValueOptions[] = {"platform",      "platformpluginpath",
                                       "platformtheme", "plugin",
                                       "qmljsdebugger", "qwindowgeometry",
                                       "qwindowicon",   "qwindowtitle",
                                       "session",       "display",
                                       "geometry",      "name",
                                       "title",         "dialogs",
                                       "fontengine",    "style",
                                       "stylesheet"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

const char* const kDescription =
    "A workbench of small numeric and programming experiments, one per tab of a Polish-language\n"
    "window: complex numbers, a cubic equation, the date of Easter, rounding and the remainder,\n"
    "the bits of an integer, a timing of three ways of reaching a variable, a parametric curve\n"
    "and a 24-bit bitmap.\n\n"
    "Qt's standard options (-platform, -style, -reverse, ...) are accepted as well.";

std::string programName(const char* argv0) {
    const QString path = QString::fromLocal8Bit(argv0 ? argv0 : "kestrova");
    const QString name = path.section(QLatin1Char('/'), -1);
    return (name.isEmpty() ? QStringLiteral("kestrova") : name).toStdString();
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const argv[]) {
    const std::string name = programName(argc > 0 ? argv[0] : nullptr);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.isEmpty())
        arguments << QString::fromStdString(name);

    QCommandLineParser parser;
    // Qt's options are single words after one dash: "-platform offscreen", "-style=fusion".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    for (const char* option : kQtValueOptions) {
        QCommandLineOption qt(QString::fromLatin1(option), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* option : kQtFlagOptions) {
        QCommandLineOption qt(QString::fromLatin1(option));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }

    CommandLine result;
    const std::string tryHelp = "Try '" + name + " --help' for more information.\n";
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Refuse;
        result.text = name + ": " + parser.errorText().toStdString() + "\n" + tryHelp;
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::PrintAndEnd;
        // Without an application object the parser cannot know the program's name.
        result.text = parser.helpText()
                          .replace(QStringLiteral("<executable_name>"), QString::fromStdString(name))
                          .toStdString();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::PrintAndEnd;
        result.text = "kestrova " KESTROVA_VERSION "\n";
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Refuse;
        result.text = name + ": unexpected argument '" + parser.positionalArguments().first().toStdString() +
                      "'; Kestrova opens no files.\n" + tryHelp;
        return result;
    }
    result.platformGiven = parser.isSet(QStringLiteral("platform"));
    return result;
}
