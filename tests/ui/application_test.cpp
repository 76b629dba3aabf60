#include <gtest/gtest.h>

#include <QColor>
#include <QPalette>

#include <QAbstractButton>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cfenv>
#include <stdexcept>

#include "numtext/exceptions.h"
#include "numtext/fpenv.h"
#include "ui/TApplication.h"
#include "ui/plain_controls.h"
#include "ui_test_support.h"

namespace {

TEST(ApplicationTitle, IsTheFileNameCutAtTheFirstDotWithTheRestInLowerCase) {
    const struct {
        const char* path;
        const char* title;
    } rows[] = {
        {"kestrova", "kestrova"},
        {"Kestrova.exe", "Kestrova"},
        {"PROBY.EXE", "Proby"},
        {"/usr/local/bin/KESTROVA", "Kestrova"},
        {"C:\\Program Files\\Proby.v2.exe", "Proby"},
        {"ŁÓDŹ.EXE", "Łódź"},
        {".hidden", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TApplication::titleFromFileName(row.path), row.title) << row.path;
}

TEST(ApplicationTitle, ComesFromTheRunningProgram) {
    // This test program is ui_tests.
    EXPECT_EQ(TApplication::applicationTitle(), "ui_tests");
}

// WCAG's contrast ratios; the expected values were computed apart from the program, from the sRGB
// luminance formula.
TEST(SelectionColours, ContrastRatioIsThatOfTheRelativeLuminances) {
    struct Row {
        const char* a;
        const char* b;
        double ratio;
    } const rows[] = {
        {"#ffffff", "#000000", 21.0},  {"#000000", "#ffffff", 21.0},  {"#777777", "#777777", 1.0},
        {"#ffffff", "#308cc6", 3.689}, {"#000000", "#308cc6", 5.692}, {"#ffffff", "#0078d7", 4.499},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(TApplication::contrastRatio(QColor(row.a), QColor(row.b)), row.ratio, 0.001)
            << row.a << " on " << row.b;
}

TEST(SelectionColours, TextTooFaintOnTheSelectionTurnsBlackOrWhite) {
    struct Row {
        const char* selection;
        const char* text;
        const char* readable;
    } const rows[] = {
        {"#308cc6", "#ffffff", "#000000"}, // Qt's own Fusion pair, 3.69:1
        {"#0078d7", "#ffffff", "#000000"}, // Windows 10's pair, 4.499:1
        {"#0066cc", "#ffffff", "#ffffff"}, // 5.57:1 is enough
        {"#202020", "#404040", "#ffffff"}, {"#ffff00", "#ffffff", "#000000"},
    };
    for (const Row& row : rows) {
        QPalette palette;
        palette.setColor(QPalette::Highlight, QColor(row.selection));
        palette.setColor(QPalette::HighlightedText, QColor(row.text));
        const QPalette readable = TApplication::withReadableSelection(palette);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            EXPECT_EQ(readable.color(group, QPalette::HighlightedText).name(), row.readable) << row.selection;
            EXPECT_EQ(readable.color(group, QPalette::Highlight).name(), row.selection);
        }
    }
}

TEST(ExceptionDisplay, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
    const struct {
        const char* message;
        const char* shown;
    } rows[] = {
        {"Floating point division by zero", "Floating point division by zero."},
        {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"", ""},
        {"Stop.", "Stop."},
        {"Done!", "Done!"},
        {"a -", "a -"},
        {"a,", "a,"},
        {"trailing ", "trailing "},
        {"Why?", "Why?."},
        {"ends /", "ends /."},
        {"x 0", "x 0."},
        {"miesiąc ł", "miesiąc ł."}, // a multibyte last character: its bytes sort after "."
    };
    for (const auto& row : rows)
        EXPECT_EQ(TApplication::exceptionMessage(numtext::Exception(row.message)), row.shown) << row.message;
    EXPECT_EQ(TApplication::exceptionMessage(std::runtime_error("plain")), "plain.");
}

// A quoted text shows what it holds: its control characters as visible symbols, and direction marks
// only inside the quote, never turning the sentence around it. Messages without either keep every
// byte (the rows above).
TEST(ExceptionDisplay, AQuotedTextShowsItsControlsAndKeepsItsDirectionToItself) {
    const struct {
        std::string message;
        const char* shown;
    } rows[] = {
        {"'\u202E12' is not a valid floating point value",
         "'\u2068\u202E12\u2069' is not a valid floating point value."},
        {"'\x1B[31m\x07' is not a valid integer value", "'\u241B[31m\u2407' is not a valid integer value."},
        {std::string("'a\0b\x7F\u0085' is not a valid integer value", 37),
         "'a\u2400b\u2421\\x85' is not a valid integer value."},
        // A pop of the quote's own would end its isolate early, an open isolate would outlive it.
        {"'\u2069\u202Ex\u2067y' is not a valid floating point value",
         "'\u2068\u2068\u2069\u202Ex\u2067y\u2069\u2069' is not a valid floating point value."},
        // The full stop follows the name as typed: after a visible symbol of a control there is none.
        {"Cannot create file /tmp/\u202Egnp.exe", "Cannot create file \u2068/tmp/\u202Egnp.exe\u2069."},
        {"Cannot create file a\tb\n", "Cannot create file a\u2409b\u240A"},
        // A message of no known form is quoted whole.
        {std::string("a\0b", 3), "a\u2400b."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TApplication::exceptionMessage(numtext::Exception(row.message)), row.shown) << row.message;
}

TEST(ExceptionDisplay, DefaultIsAnErrorBoxTitledWithTheApplicationTitle) {
    auto previous = TApplication::setExceptionDisplay({});
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool closed = false;
    int attempts = 0;
    std::function<void()> inspect = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++attempts < 200)
                QTimer::singleShot(10, inspect);
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        closed = true;
        box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, inspect);
    TApplication::showException(numtext::EZeroDivide());
    TApplication::setExceptionDisplay(std::move(previous));
    ASSERT_TRUE(closed);
    EXPECT_EQ(title, QStringLiteral("ui_tests"));
    EXPECT_EQ(text, QStringLiteral("Floating point division by zero."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
}

TEST(Guard, ShowsWhatAHandlerThrowsAndGoesOn) {
    uitest::CapturedDisplay display;
    std::vector<std::string> steps;
    ui::guard([&] {
        steps.push_back("written");
        throw numtext::EConvertError("'2.0' is not a valid floating point value");
        steps.push_back("never");
    });
    ui::guard([&] { throw std::out_of_range("index"); });
    ui::guard([&] { throw 42; });
    ui::guard([&] { steps.push_back("next handler"); });
    EXPECT_EQ(steps, (std::vector<std::string>{"written", "next handler"}));
    ASSERT_EQ(display.shown.size(), 3u);
    EXPECT_EQ(display.shown[0].message, "'2.0' is not a valid floating point value.");
    EXPECT_EQ(display.shown[0].title, "ui_tests");
    EXPECT_EQ(display.shown[1].message, "index.");
    EXPECT_EQ(display.shown[2].message, ""); // not an exception object: an empty message
}

TEST(Guard, HandlerStartsWithClearFlagsAndTheCallerKeepsItsOwn) {
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_OVERFLOW);
    int seenAtStart = -1;
    ui::guard([&] {
        seenAtStart = std::fetestexcept(numtext::kCheckedFlags);
        std::feraiseexcept(FE_DIVBYZERO);
    });
    EXPECT_EQ(seenAtStart, 0);
    EXPECT_NE(std::fetestexcept(FE_OVERFLOW), 0);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0);
    std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(Guard, ConnectedHandlerRunsGuardedOnEverySignal) {
    uitest::CapturedDisplay display;
    TButton button;
    int runs = 0;
    QObject context;
    ui::connectGuarded(&button, &QPushButton::clicked, &context, [&] {
        ++runs;
        if (runs == 1)
            throw numtext::EOverflow();
    });
    button.click();
    button.click();
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(display.shown.size(), 1u);
    EXPECT_EQ(display.shown[0].message, "Floating point overflow.");
}

TEST(FormatSettings, ComeFromTheLocaleWithoutTimeZones) {
    const numtext::FormatSettings pl =
        TApplication::formatSettingsFrom(QLocale(QLocale::Polish, QLocale::Poland));
    EXPECT_EQ(pl.decimalSeparator, ",");
    EXPECT_EQ(pl.thousandSeparator, "\u00A0");
    EXPECT_EQ(pl.longTimeFormat, "HH:mm:ss");
    EXPECT_EQ(pl.timeSeparator, ":");

    const numtext::FormatSettings us =
        TApplication::formatSettingsFrom(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.decimalSeparator, ".");
    EXPECT_EQ(us.thousandSeparator, ",");
    EXPECT_EQ(us.longTimeFormat, "h:mm:ss AP");
    EXPECT_EQ(us.timeAmString, "AM");
    EXPECT_EQ(us.timePmString, "PM");
}

TEST(FormatSettings, AreReadAgainWhenTheSystemAnnouncesALocaleChange) {
    numtext::FormatSettings odd;
    odd.decimalSeparator = "#";
    TApplication::setFormatSettings(odd);
    ASSERT_EQ(TApplication::formatSettings().decimalSeparator, "#");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(qApp, &change);
    EXPECT_EQ(TApplication::formatSettings().decimalSeparator,
              TApplication::formatSettingsFrom(QLocale::system()).decimalSeparator);
}

} // namespace
