// kestrova-snapshot FOLDER
//
// Starts the program's windows offscreen, runs the main action of every tab with the texts the form
// starts with, and saves into FOLDER one picture of the main window per tab (tab1.png, tab2.png, ...,
// with that tab in front) and one of the viewer window (viewer.png). Needs no display.
// Exit status: 0 when every action ran and every picture was written, 1 when an action showed an
// error (it is printed; the pictures are still written), 2 when the folder or a picture could not be
// written.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QPixmap>

#include <cstdio>
#include <string>

#include "Unit_dib.h"
#include "Unit_proby.h"
#include "numtext/rtl_math.h"
#include "program.h"
#include "ui/TApplication.h"
#include "ui/TChart.h"

namespace {

int g_errors = 0;

void reportError(const std::string& message) {
    std::fprintf(stderr, "kestrova-snapshot: an action showed: %s\n", message.c_str());
    ++g_errors;
}

// Everything posted by the actions and by the change of tab (layouts, chart axes, repaints) is
// handled before a picture is taken.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The offscreen platform warns about what it cannot do for a window (raise it, find a runtime
// folder); none of that touches the pictures, so only Qt's errors are passed on.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kestrova-snapshot: %s\n", qPrintable(message));
}

bool save(QWidget* window, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    QImageWriter writer(path, "png");
    // The pictures go into the repository: the smallest file is worth the time.
    writer.setQuality(0);
    if (!writer.write(window->grab().toImage())) {
        std::fprintf(stderr, "kestrova-snapshot: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrova-snapshot FOLDER\n");
        return 2;
    }
    // Drawn offscreen whatever the session offers. The form's default texts are written with a
    // decimal comma, so the actions run with the Polish number format the program is made for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "pl_PL.UTF-8");
    qputenv("LANG", "pl_PL.UTF-8");
    qInstallMessageHandler(qtMessages);
    TApplication application(argc, argv);
    TApplication::setExceptionDisplay(
        [](const std::string& message, const std::string&) { reportError(message); });
    numtext::setMathErrorDisplay(&reportError);

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "kestrova-snapshot: cannot create the folder %s\n", argv[1]);
        return 2;
    }

    bool written = true;
    runGuarded([&] {
        createForms();
#ifdef _WIN32
        // Windows takes the number format from the user's settings, not from LC_ALL: the Polish
        // one is given to the program's texts and to the charts directly.
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        TApplication::setFormatSettings(TApplication::formatSettingsFrom(polish));
        for (TChart* chart : Form1->findChildren<TChart*>())
            chart->setNumberLocale(polish);
#endif
        Form1->show();
        // The offscreen screen is 800 x 600, smaller than the forms: the pictures show all of them.
        Form1->resize(Form1->sizeHint());
        settle();
        // The main action of each tab, with the form's own texts, through the same signals a click
        // or a change of text sends; so every handler runs inside the program's event guard.
        for (const tabs::Tab& tab : Form1->tabHomes())
            tabs::runMainActions(tab);
        TPageControl* pages = Form1->PageControl1;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            settle();
            written = save(Form1, folder, QStringLiteral("tab%1.png").arg(i + 1)) && written;
        }
        Form2->resize(Form2->sizeHint());
        settle();
        written = save(Form2, folder, QStringLiteral("viewer.png")) && written;
    });
    destroyForms();
    if (!written)
        return 2;
    return g_errors == 0 ? 0 : 1;
}
