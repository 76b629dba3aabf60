#include "ui/TApplication.h"

#include <QEvent>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "numtext/exceptions.h"
#include "numtext/fpenv.h"
#include "numtext/rtl_math.h"

using numtext::FlagGuard;

namespace {

TApplication::ExceptionDisplay& exceptionDisplay() {
    static TApplication::ExceptionDisplay display;
    return display;
}

struct LocaleState {
    numtext::FormatSettings settings;
    bool loaded = false;
};

LocaleState& localeState() {
    static LocaleState state;
    return state;
}

QString programFileName() {
    QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty())
        return path;
    const QStringList args = QCoreApplication::arguments();
    return args.isEmpty() ? QString() : args.first();
}

QString withoutDirectory(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

// Removes the time-zone letters ("t" runs outside quotes) with the blank that separates them from the
// rest: the number texts know no time zones.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted || c != QLatin1Char('t')) {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t'))
            ++i;
        if (out.endsWith(QLatin1Char(' ')))
            out.chop(1);
        else if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char(' '))
            ++i;
    }
    return out.trimmed();
}

void showMathError(const std::string& text) {
    FlagGuard guard;
    QMessageBox box(QMessageBox::Warning, withoutDirectory(programFileName()), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    FlagGuard guard;
    // cppcheck-suppress useInitializationList ; computed under the guard, which an initialiser would precede
    m_title = titleFromFileName(programFileName().toStdString());
    setFormatSettings(formatSettingsFrom(QLocale::system()));
    loadQtTranslations();
    numtext::setMathErrorDisplay(&showMathError);
}

void TApplication::loadQtTranslations() {
    if (m_qtTranslations)
        removeTranslator(m_qtTranslations.get());
    m_qtTranslations = std::make_unique<QTranslator>();
    // Without a translation for the language (English, or the package not installed) Qt's own
    // English texts stay.
    if (m_qtTranslations->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(m_qtTranslations.get());
}

TApplication::~TApplication() {
    // The message box needs the application object.
    numtext::setMathErrorDisplay({});
}

std::string TApplication::title() const { return m_title; }

std::string TApplication::titleFromFileName(const std::string& path) {
    QString name = withoutDirectory(QString::fromStdString(path));
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return {};
    const qsizetype first = name.at(0).isHighSurrogate() && name.size() > 1 ? 2 : 1;
    return (name.left(first) + name.mid(first).toLower()).toStdString();
}

std::string TApplication::applicationTitle() {
    if (const auto* app = qobject_cast<TApplication*>(QCoreApplication::instance()))
        return app->title();
    if (QCoreApplication::instance())
        return titleFromFileName(programFileName().toStdString());
    return {};
}

std::string TApplication::exceptionMessage(const std::exception& e) {
    // Message() keeps bytes that what() would cut at a NUL.
    const auto* own = dynamic_cast<const numtext::Exception*>(&e);
    std::string message = own ? own->Message() : std::string(e.what());
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        message += '.';
    return message;
}

void TApplication::showException(const std::exception& e) {
    FlagGuard guard;
    const std::string message = exceptionMessage(e);
    const std::string title = applicationTitle();
    if (exceptionDisplay()) {
        exceptionDisplay()(message, title);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TApplication::showThrown(std::exception_ptr thrown) noexcept {
    try {
        try {
            std::rethrow_exception(std::move(thrown));
        } catch (const std::exception& e) {
            showException(e);
        } catch (...) {
            showException(numtext::Exception(std::string()));
        }
    } catch (...) {
        // The display itself failed (out of memory, most likely): nothing is left to tell the user with.
    }
}

TApplication::ExceptionDisplay TApplication::setExceptionDisplay(ExceptionDisplay display) {
    ExceptionDisplay previous = std::move(exceptionDisplay());
    exceptionDisplay() = std::move(display);
    return previous;
}

const numtext::FormatSettings& TApplication::formatSettings() {
    LocaleState& state = localeState();
    if (!state.loaded) {
        FlagGuard guard;
        state.settings = formatSettingsFrom(QLocale::system());
        state.loaded = true;
    }
    return state.settings;
}

void TApplication::setFormatSettings(const numtext::FormatSettings& settings) {
    localeState().settings = settings;
    localeState().loaded = true;
}

numtext::FormatSettings TApplication::formatSettingsFrom(const QLocale& locale) {
    FlagGuard guard;
    numtext::FormatSettings fs;
    fs.decimalSeparator = locale.decimalPoint().toStdString();
    fs.thousandSeparator = locale.groupSeparator().toStdString();
    fs.timeSeparator = ":";
    fs.longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat)).toStdString();
    fs.timeAmString = locale.amText().toStdString();
    fs.timePmString = locale.pmText().toStdString();
    return fs;
}

bool TApplication::event(QEvent* event) {
    FlagGuard guard;
    if (event->type() == QEvent::LocaleChange) {
        setFormatSettings(formatSettingsFrom(QLocale::system()));
        loadQtTranslations();
    }
    return QApplication::event(event);
}

void ui::guard(const std::function<void()>& handler) noexcept {
    FlagGuard keepCallersFlags;
    numtext::clearFpFlags();
    try {
        handler();
    } catch (...) {
        TApplication::showThrown(std::current_exception());
    }
}
