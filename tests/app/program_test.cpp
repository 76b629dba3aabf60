// Start-up and the end of the run: what escapes them is shown, and the exit code is always 0.

#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "numtext/exceptions.h"
#include "program.h"

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override { shownErrors().clear(); }
};

// Sets or unsets an environment variable for the length of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)) {
        m_old = qgetenv(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

TEST_F(Program, ShowsARunTimeErrorThatEscapesStartUp) {
    EXPECT_EQ(runGuarded([] { throw numtext::EConvertError("'x' is not a valid integer value"); }), 0);
    ASSERT_EQ(shownErrors().size(), 1u);
    EXPECT_EQ(shownErrors().front().message, "'x' is not a valid integer value.");
}

// Shown as a handler's failure is: a standard exception with its message, anything else without one.
TEST_F(Program, ShowsAnyOtherFailureAsAHandlerFailureIsShown) {
    EXPECT_EQ(runGuarded([] { throw std::runtime_error("out of order"); }), 0);
    EXPECT_EQ(runGuarded([] { throw 42; }), 0);
    ASSERT_EQ(shownErrors().size(), 2u);
    EXPECT_EQ(shownErrors()[0].message, "out of order.");
    EXPECT_EQ(shownErrors()[1].message, "");
}

TEST_F(Program, ShowsNothingWhenAllGoesWell) {
    bool ran = false;
    EXPECT_EQ(runGuarded([&] { ran = true; }), 0);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(shownErrors().empty());
}

// The real run: the main window shows with the viewer hidden, closing it ends the loop, and both
// windows are gone afterwards.
TEST_F(Program, RunsUntilTheMainWindowCloses) {
    bool mainShown = false;
    bool viewerHidden = false;
    QTimer::singleShot(0, [&] {
        mainShown = Form1 != nullptr && Form1->isVisible();
        viewerHidden = Form2 != nullptr && !Form2->isVisible();
        if (Form1)
            Form1->close();
    });
    EXPECT_EQ(runProgram(), 0);
    EXPECT_TRUE(mainShown);
    EXPECT_TRUE(viewerHidden);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_TRUE(shownErrors().empty());
}

// Closing the main window ends the run even while the viewer is on screen.
TEST_F(Program, EndsWhenTheMainWindowClosesWhileTheViewerIsOpen) {
    QTimer::singleShot(0, [] {
        Form2->show();
        Form1->close();
    });
    QTimer watchdog;
    bool timedOut = false;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    watchdog.start(5000);
    EXPECT_EQ(runProgram(), 0);
    EXPECT_FALSE(timedOut);
}

#ifdef _WIN32
TEST(Display, IsAlwaysThereOnWindowsWhateverTheVariables) {
    ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    ScopedEnv x11("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    std::string why;
    EXPECT_TRUE(displayAvailable(why));
    EXPECT_EQ(why, "");
}
#else
TEST(Display, IsMissingWithoutAnyWayToReachOne) {
    ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    ScopedEnv x11("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    std::string why;
    EXPECT_FALSE(displayAvailable(why));
    EXPECT_TRUE(why.starts_with("Brak ekranu (nie ustawiono ani DISPLAY, ani WAYLAND_DISPLAY)")) << why;
    {
        ScopedEnv empty("DISPLAY", "");
        EXPECT_FALSE(displayAvailable(why));
    }
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        ScopedEnv one(name, name[0] == 'Q' ? "offscreen" : ":1");
        EXPECT_TRUE(displayAvailable(why)) << name;
    }
}
#endif

// Qt's own words when it cannot start, as Qt 6.4 writes them, and the one sentence the user gets
// for them instead.
TEST(Display, AFailureToOpenTheWindowIsOnePlainSentenceWithoutQtsAdvice) {
    const std::string fatal = "This application failed to start because no Qt platform plugin could be "
                              "initialized. Reinstalling the application may fix this problem.\n\nAvailable "
                              "platform plugins are: minimal, offscreen, xcb.";
    const struct {
        const char* what;
        std::vector<std::string> qt;
        std::string shown;
    } rows[] = {
        {"unknown platform",
         {"Could not find the Qt platform plugin \"nosuch\" in \"\"", fatal},
         "Kestrova nie może otworzyć okna: nie zna platformy „nosuch”. Zna platformy: minimal, offscreen, "
         "xcb."},
        {"unreachable display",
         {"could not connect to display :99",
          "Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found.", fatal},
         "Kestrova nie może otworzyć okna: nie może połączyć się z ekranem „:99”."},
        {"missing platform, then an unreachable fallback",
         {"Could not find the Qt platform plugin \"wayland\" in \"\"", "could not connect to display ",
          "Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found.", fatal},
         "Kestrova nie może otworzyć okna: nie może połączyć się z ekranem."},
        {"anything else", {fatal}, "Kestrova nie może otworzyć okna."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(windowFailure(row.qt), row.shown) << row.what;
}
