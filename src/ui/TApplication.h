#pragma once

#include <QApplication>
#include <QObject>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "numtext/format_settings.h"

class QColor;
class QLocale;
class QPalette;
class QTranslator;

// The application object: the title, the exception display, the user's number format, and the
// guard that every event handler runs in.
class TApplication : public QApplication {
    Q_OBJECT

public:
    using ExceptionDisplay = std::function<void(const std::string& message, const std::string& title)>;

    // Keeps selected text readable (see withReadableSelection), gives combo boxes and charts
    // the interfaces screen readers need (ui/accessible_controls.h), reads the user's number
    // format, loads Qt's own translations for the user's language (its dialogs and context menus)
    // and installs the message boxes of the math-error display.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The program file's name without its directory, cut at its first ".", every letter after the
    // first in lower case: "kestrova" -> "kestrova", "Kestrova.exe" -> "Kestrova",
    // "PROBY.EXE" -> "Proby".
    std::string title() const;
    static std::string titleFromFileName(const std::string& path);
    // The title of the running program, also when the application object is a plain QApplication.
    static std::string applicationTitle();

    // The contrast ratio of two colours, from 1 (the same luminance) to 21 (black and white), by
    // their relative luminance in sRGB: white on #308cc6 is 3.69.
    static double contrastRatio(const QColor& a, const QColor& b);
    // `palette` with its selected text, in the active and inactive windows, turned to black or white,
    // whichever stands out more from the selection's colour, where the platform's pair has less than
    // the 4.5:1 text needs. The selection's colour itself stays the platform's.
    static QPalette withReadableSelection(QPalette palette);

    // The text the exception display shows: the message, plus "." when it is not empty and its last
    // byte sorts after "." ("Division by zero" -> "Division by zero.", "Why?" -> "Why?.", while
    // "Stop.", "Done!" and "a -" stay as they are). The text a message quotes (what its form's "%s"
    // stands for; the whole message when no form fits) shows its control characters as visible
    // symbols ("a\x1Bb" as "a␛b") and, when it holds direction marks, is shut in a bidi isolate
    // of its own; a message without either is returned byte for byte.
    static std::string exceptionMessage(const std::exception& e);
    // Shows exceptionMessage(e) titled with the application title: a message box with the error icon
    // and one OK button, or the display installed instead.
    static void showException(const std::exception& e);
    // Shows what was thrown, the one way for every failure the program reports: a std::exception as
    // showException does, anything else as an exception with an empty message. Never throws; if the
    // display itself fails, nothing is shown.
    static void showThrown(std::exception_ptr thrown) noexcept;
    // Installs a display and returns the previous one; an empty function restores the message box.
    static ExceptionDisplay setExceptionDisplay(ExceptionDisplay display);

    // The user's number format: read from QLocale::system() at start-up and again whenever the
    // system announces a change of its locale.
    static const numtext::FormatSettings& formatSettings();
    static void setFormatSettings(const numtext::FormatSettings& settings);
    // Decimal and thousands separators, the long time format without its time-zone letters
    // ("HH:mm:ss t" -> "HH:mm:ss"), ":" as the time separator, the AM and PM texts.
    static numtext::FormatSettings formatSettingsFrom(const QLocale& locale);

protected:
    bool event(QEvent* event) override;

private:
    void loadQtTranslations();

    std::string m_title;
    std::unique_ptr<QTranslator> m_qtTranslations;
};

namespace ui {

// Runs one event handler: keeps the floating-point flags of the caller, starts the handler with
// clear flags, catches whatever it throws and shows it with TApplication::showThrown. Never throws,
// so nothing ever unwinds through Qt's event loop.
void guard(const std::function<void()>& handler) noexcept;

// Connects a signal to a handler that takes no arguments and runs it through guard().
template <class Sender, class Signal, class Handler>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, const QObject* context,
                                       Handler handler) {
    return QObject::connect(sender, signal, context, [h = std::move(handler)]() { guard([&h] { h(); }); });
}

} // namespace ui
