// The picture tool: one picture per tab and one of the viewer, at the windows' sizes, drawn after
// every tab's main action, with no display at all.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app_test_support.h"

namespace {

struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    std::string output;
};

// The environment of a user without a display, at the given Qt scale factor.
QProcessEnvironment toolEnvironment(const QString& scaleFactor) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scaleFactor);
    return environment;
}

#ifdef _WIN32
// Runs the tool as a user without a display would, its output and errors together. A Windows
// program starts the tool itself, whatever runs the tests (Wine's loader is no word of the command).
ToolRun runSnapshotTool(const QStringList& arguments, const QString& scaleFactor) {
    ToolRun run;
    QProcess tool;
    tool.setProcessEnvironment(toolEnvironment(scaleFactor));
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(KESTROVA_SNAPSHOT_TOOL), arguments);
    if (!tool.waitForStarted()) {
        run.output = "could not start " KESTROVA_SNAPSHOT_TOOL ": " + tool.errorString().toStdString();
        return run;
    }
    if (!tool.waitForFinished(120000)) {
        tool.kill();
        tool.waitForFinished();
    }
    run.finished = tool.exitStatus() == QProcess::NormalExit;
    run.exitCode = run.finished ? tool.exitCode() : -1;
    run.output = tool.readAll().toStdString();
    return run;
}
#else
// Runs the tool as a user without a display would, at the given Qt scale factor, its output and
// errors together in a temporary file. Started with posix_spawn rather than QProcess: under
// qemu-user, as the ARM64 check runs the tests, Qt's start of a process (a clone that asks for a
// pidfd) is refused, while posix_spawn's is emulated.
ToolRun runSnapshotTool(const QStringList& arguments, const QString& scaleFactor) {
    const QProcessEnvironment environment = toolEnvironment(scaleFactor);
    // KESTROVA_EMULATOR: the emulator's words, "|"-separated, when the tool is another processor's.
    QStringList command = QStringLiteral(KESTROVA_EMULATOR).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    command << QStringLiteral(KESTROVA_SNAPSHOT_TOOL) << arguments;

    std::vector<std::string> words;
    std::vector<std::string> variables;
    for (const QString& word : command)
        words.push_back(word.toStdString());
    for (const QString& variable : environment.toStringList())
        variables.push_back(variable.toStdString());
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> list;
        for (std::string& text : strings)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argv = pointers(words);
    std::vector<char*> envp = pointers(variables);

    ToolRun run;
    QTemporaryFile output;
    if (!output.open()) {
        run.output = "no temporary file for the tool's output";
        return run;
    }
    const std::string outputPath = output.fileName().toStdString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.output = std::string("could not start ") + argv[0] + ": " + std::strerror(spawned);
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.finished = WIFEXITED(status);
    run.exitCode = run.finished ? WEXITSTATUS(status) : -1;
    run.output = output.readAll().toStdString();
    return run;
}
#endif

// A picture of each tab the form has, and one of the viewer.
QStringList pictureNames() {
    QStringList names;
    for (std::size_t tab = 1; tab <= Form1->tabHomes().size(); ++tab)
        names << QStringLiteral("tab%1.png").arg(tab);
    names << QStringLiteral("viewer.png");
    names.sort();
    return names;
}

} // namespace

using SnapshotTool = FormTest;

TEST_F(SnapshotTool, WritesAPictureOfEachTabAndOfTheViewerAtTheWindowsSizes) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString out = folder.filePath(QStringLiteral("pictures"));
    const ToolRun run = runSnapshotTool({out}, QStringLiteral("1"));
    ASSERT_TRUE(run.finished) << run.output;
    // 0: every action ran without showing an error, and every picture was written.
    EXPECT_EQ(run.exitCode, 0) << run.output;

    ASSERT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), pictureNames()) << run.output;
    std::vector<QImage> tabs;
    for (std::size_t tab = 1; tab <= Form1->tabHomes().size(); ++tab) {
        const QImage picture(QDir(out).filePath(QStringLiteral("tab%1.png").arg(tab)));
        EXPECT_EQ(picture.size(), Form1->size()) << "tab " << tab;
        EXPECT_EQ(picture.size(), QSize(1110, 746)) << "tab " << tab;
        tabs.push_back(picture);
    }
    // Each picture shows its own tab in front.
    for (std::size_t a = 0; a < tabs.size(); ++a)
        for (std::size_t b = a + 1; b < tabs.size(); ++b)
            EXPECT_NE(tabs[a], tabs[b]) << "tab" << a + 1 << ".png and tab" << b + 1 << ".png are the same";

    const QImage viewer(QDir(out).filePath(QStringLiteral("viewer.png")));
    EXPECT_EQ(viewer.size(), Form2->size());
    // The bitmap was drawn: its middle is not the window's bare surface beside it.
    EXPECT_NE(viewer.pixelColor(350, 250), viewer.pixelColor(viewer.width() - 1, viewer.height() - 1));
}

TEST_F(SnapshotTool, DrawsTwiceAsManyPixelsAtScaleFactorTwo) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const ToolRun run = runSnapshotTool({folder.path()}, QStringLiteral("2"));
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(QImage(folder.filePath(QStringLiteral("tab5.png"))).size(), QSize(2220, 1492));
    EXPECT_EQ(QImage(folder.filePath(QStringLiteral("viewer.png"))).size(), Form2->size() * 2);
}

TEST_F(SnapshotTool, AsksForAFolder) {
    const ToolRun run = runSnapshotTool({}, QStringLiteral("1"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("usage: kestrova-snapshot FOLDER"), std::string::npos) << run.output;
}

// The README shows every picture of docs/snapshots, each is one the tool draws, and they are still
// those of windows of today's sizes.
TEST_F(SnapshotTool, TheReadmeShowsEveryPicture) {
    const QDir source(QStringLiteral(KESTROVA_SOURCE_DIR));
    QFile readme(source.filePath(QStringLiteral("README.md")));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const QDir pictures(source.filePath(QStringLiteral("docs/snapshots")));
    const QStringList shown = pictures.entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_GE(shown.size(), 2);
    for (const QString& name : shown) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(pictureNames().contains(name));
        EXPECT_TRUE(text.contains(QStringLiteral("(docs/snapshots/") + name + QLatin1Char(')')));
        const QImage picture(pictures.filePath(name));
        EXPECT_EQ(picture.size(), name == QLatin1String("viewer.png") ? Form2->size() : Form1->size());
    }
}
