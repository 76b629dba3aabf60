#include "program.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>

#include <cstdlib>
#include <optional>

#include "Unit_dib.h"
#include "Unit_proby.h"
#include "ui/TApplication.h"

bool displayAvailable(std::string& why) {
#ifdef _WIN32
    // Every Windows session has its desktop; there is no variable that names one.
    (void)why;
    return true;
#else
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"))
        return true;
    why = "Brak ekranu (nie ustawiono ani DISPLAY, ani WAYLAND_DISPLAY), więc Kestrova nie może otworzyć "
          "okna. Uruchom ją w sesji pulpitu albo na ekranie wirtualnym, na przykład przez xvfb-run.";
    return false;
#endif
}

std::string windowFailure(const std::vector<std::string>& qtMessages) {
    static const QRegularExpression unknownPlatform(
        QStringLiteral("Could not find the Qt platform plugin \"([^\"]*)\""));
    static const QRegularExpression known(
        QStringLiteral("Available platform plugins are: ([^\n]*?)\\.?\\s*$"));
    static const QRegularExpression noDisplay(QStringLiteral("could not connect to display ?(\\S*)"));
    QString platform;
    QString platforms;
    std::optional<QString> display;
    for (const std::string& message : qtMessages) {
        const QString text = QString::fromStdString(message);
        if (const QRegularExpressionMatch m = noDisplay.match(text); m.hasMatch())
            display = m.captured(1);
        if (const QRegularExpressionMatch m = unknownPlatform.match(text); m.hasMatch() && platform.isEmpty())
            platform = m.captured(1);
        if (const QRegularExpressionMatch m = known.match(text); m.hasMatch())
            platforms = m.captured(1);
    }
    const QString cannot = QStringLiteral("Kestrova nie może otworzyć okna");
    // A platform that is missing but has a fallback (Wayland's, say, before X11) is not the failure;
    // the display the fallback could not reach is.
    if (display)
        return (cannot + QStringLiteral(": nie może połączyć się z ekranem") +
                (display->isEmpty() ? QString() : QStringLiteral(" „") + *display + QStringLiteral("”")) +
                QLatin1Char('.'))
            .toStdString();
    if (!platform.isEmpty())
        return (cannot + QStringLiteral(": nie zna platformy „") + platform + QStringLiteral("”.") +
                (platforms.isEmpty() ? QString()
                                     : QStringLiteral(" Zna platformy: ") + platforms + QLatin1Char('.')))
            .toStdString();
    return (cannot + QLatin1Char('.')).toStdString();
}

void createForms(TForm1::Pages pages) {
    Form2 = new TForm2();
    Form1 = new TForm1(*Form2, nullptr, pages);
}

void destroyForms() {
    delete Form1;
    Form1 = nullptr;
    delete Form2;
    Form2 = nullptr;
}

int runGuarded(const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
        TApplication::showThrown(std::current_exception());
    }
    return 0;
}

int runProgram() {
    const int result = runGuarded([] {
        // The window is on screen sooner with only its page in front built; the others follow
        // before the user can reach them.
        createForms(TForm1::Pages::FrontFirst);
        Form1->show();
        QCoreApplication::exec();
    });
    destroyForms();
    return result;
}
