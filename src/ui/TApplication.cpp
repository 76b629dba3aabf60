#include "ui/TApplication.h"

#include <QAccessible>
#include <QColor>
#include <QEvent>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "numtext/exceptions.h"
#include "numtext/fpenv.h"
#include "numtext/rtl_math.h"
#include "ui/accessible_controls.h"

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

// The part of a message that a form's "%s" stands for: the text it quotes. A message of no known
// form is all quoted text.
std::pair<std::size_t, std::size_t> quotedPart(const std::string& message) {
    for (const std::string_view form : numtext::forms::kExceptions) {
        const std::size_t at = form.find("%s");
        if (at == std::string_view::npos)
            continue;
        const std::string_view before = form.substr(0, at);
        const std::string_view after = form.substr(at + 2);
        if (message.size() >= before.size() + after.size() && message.starts_with(before) &&
            message.ends_with(after))
            return {before.size(), message.size() - before.size() - after.size()};
    }
    return {0, message.size()};
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool isIsolateStart(char32_t c) { return c >= 0x2066 && c <= 0x2068; }

constexpr char32_t kIsolatePop = 0x2069;

bool isDirectionMark(char32_t c) {
    return c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) || isIsolateStart(c) ||
           c == kIsolatePop;
}

// A quoted text as a message box can show it: control characters as the visible symbols of
// U+2400 to U+2421 (C1 controls, which have none, as \xNN), and direction marks kept but shut in an
// isolate of the quote's own, so that an override typed into a field turns the quote and not the
// sentence around it. An isolate ends every embedding and override opened inside it; the quote's own
// isolate marks are balanced first, so that none of them ends it early or outlives it.
QString visibleQuote(const QString& quote) {
    QString out;
    int unmatchedPops = 0;
    int open = 0;
    bool directed = false;
    for (const char32_t c : quote.toUcs4()) {
        if (isControl(c)) {
            if (c < 0x20)
                out += QChar(static_cast<char16_t>(0x2400 + c));
            else if (c == 0x7F)
                out += QChar(u'\u2421');
            else
                out += QStringLiteral("\\x") + QString::number(static_cast<unsigned>(c), 16).toUpper();
            continue;
        }
        directed = directed || isDirectionMark(c);
        if (isIsolateStart(c))
            ++open;
        else if (c == kIsolatePop && open > 0)
            --open;
        else if (c == kIsolatePop)
            ++unmatchedPops;
        out += QString::fromUcs4(&c, 1);
    }
    if (!directed)
        return out;
    const QChar firstStrong(u'\u2068');
    const QChar pop(kIsolatePop);
    return QString(unmatchedPops + 1, firstStrong) + out + QString(open + 1, pop);
}

bool needsVisibleQuote(std::string_view quote) {
    const QString text = QString::fromUtf8(quote.data(), static_cast<qsizetype>(quote.size()));
    for (const char32_t c : text.toUcs4())
        if (isControl(c) || isDirectionMark(c))
            return true;
    return false;
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
    setPalette(withReadableSelection(palette()));
    QAccessible::installFactory(ui::accessibleControl);
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

double TApplication::contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette TApplication::withReadableSelection(QPalette palette) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor selection = palette.color(group, QPalette::Highlight);
        if (contrastRatio(selection, palette.color(group, QPalette::HighlightedText)) >= 4.5)
            continue;
        const QColor black(Qt::black), white(Qt::white);
        palette.setColor(group, QPalette::HighlightedText,
                         contrastRatio(selection, black) > contrastRatio(selection, white) ? black : white);
    }
    return palette;
}

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
    // The full stop follows the message as raised, whatever the quote then shows.
    const bool fullStop =
        !message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.');
    const auto [at, length] = quotedPart(message);
    const std::string_view quote = std::string_view(message).substr(at, length);
    if (needsVisibleQuote(quote))
        message.replace(
            at, length,
            visibleQuote(QString::fromUtf8(quote.data(), static_cast<qsizetype>(length))).toStdString());
    if (fullStop)
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
#ifdef _WIN32
        // Qt passes the announcement on to every widget that follows the default locale, but not on
        // Windows, where it leaves that to its handler of the system's message, which in Qt 6.4 does
        // not do it. The charts write their numbers in the new locale only when told.
        for (QWidget* widget : allWidgets()) {
            if (widget->testAttribute(Qt::WA_SetLocale))
                continue;
            QEvent change(QEvent::LocaleChange);
            sendEvent(widget, &change);
        }
#endif
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
