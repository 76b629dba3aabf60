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

// The program's own words are Polish, as its window is; the headings of the help ("Usage",
// "Options") are Qt's.
const char* const kDescription =
    "Warsztat małych doświadczeń liczbowych i programistycznych, po jednym na zakładkę okna:\n"
    "liczby zespolone, równanie trzeciego stopnia, data Wielkanocy, zaokrąglenia i reszta z\n"
    "dzielenia, bity liczby całkowitej, pomiar czasu trzech sposobów dostępu do zmiennej,\n"
    "krzywa parametryczna i 24-bitowa mapa bitowa.\n\n"
    "Przyjmuje też standardowe opcje Qt (-platform, -style, -reverse, ...).";

// The name the user typed, without its folder: "kestrova" for "/usr/bin/kestrova". Windows passes the
// whole path with its own separators and the ".exe" that nobody types: "C:\Program
// Files\Kestrova\kestrova.exe" is "kestrova" too.
std::string programName(const char* argv0) {
    QString name = QString::fromLocal8Bit(argv0 ? argv0 : "kestrova").section(QLatin1Char('/'), -1);
#ifdef _WIN32
    name = name.section(QLatin1Char('\\'), -1);
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
#endif
    return (name.isEmpty() ? QStringLiteral("kestrova") : name).toStdString();
}

// Why the parser refused the command line, in Polish. The parser knows two mistakes: an option it
// does not know, and an option given without its value (Qt says "Missing value after '-style'.").
std::string refusal(const QCommandLineParser& parser) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
        return "nieznana opcja „" + unknown.first().toStdString() + "”.";
    const QString error = parser.errorText();
    const qsizetype open = error.indexOf(QLatin1Char('\''));
    const qsizetype close = error.lastIndexOf(QLatin1Char('\''));
    if (open >= 0 && close > open)
        return "brak wartości po „" + error.mid(open + 1, close - open - 1).toStdString() + "”.";
    return error.toStdString();
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
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Pokazuje tę pomoc i kończy."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Pokazuje wersję i kończy."));
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
    const std::string tryHelp = "Więcej informacji: „" + name + " --help”.\n";
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Refuse;
        result.text = name + ": " + refusal(parser) + "\n" + tryHelp;
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
        result.text = name + ": niespodziewany argument „" +
                      parser.positionalArguments().first().toStdString() +
                      "”; Kestrova nie otwiera plików.\n" + tryHelp;
        return result;
    }
    result.platformGiven = parser.isSet(QStringLiteral("platform"));
    return result;
}
