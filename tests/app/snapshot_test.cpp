// The picture tool: one picture per tab and one of the viewer, at the windows' sizes, drawn after
// every tab's main action, with no display at all.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include "app_test_support.h"

namespace {

struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    std::string output;
};

// Runs the tool as a user without a display would, at the given Qt scale factor.
ToolRun runSnapshotTool(const QStringList& arguments, const QString& scaleFactor) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scaleFactor);
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    // KESTROVA_EMULATOR: the emulator's words, "|"-separated, when the tool is another processor's.
    QStringList command = QStringLiteral(KESTROVA_EMULATOR).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    command << QStringLiteral(KESTROVA_SNAPSHOT_TOOL) << arguments;
    tool.start(command.takeFirst(), command);
    ToolRun run;
    run.finished = tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit;
    run.exitCode = tool.exitCode();
    run.output = tool.readAll().toStdString();
    return run;
}

QStringList pictureNames() {
    QStringList names;
    for (int tab = 1; tab <= 8; ++tab)
        names << QStringLiteral("tab%1.png").arg(tab);
    names << QStringLiteral("viewer.png");
    names.sort();
    return names;
}

} // namespace

using SnapshotTool = FormTest;

TEST_F(SnapshotTool, WritesNinePicturesAtTheWindowsSizes) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString out = folder.filePath(QStringLiteral("pictures"));
    const ToolRun run = runSnapshotTool({out}, QStringLiteral("1"));
    ASSERT_TRUE(run.finished) << run.output;
    // 0: every action ran without showing an error, and every picture was written.
    EXPECT_EQ(run.exitCode, 0) << run.output;

    ASSERT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), pictureNames()) << run.output;
    std::vector<QImage> tabs;
    for (int tab = 1; tab <= 8; ++tab) {
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

// The README shows the nine pictures, and they are still those of windows of today's sizes.
TEST_F(SnapshotTool, TheReadmeShowsTheNinePictures) {
    const QDir source(QStringLiteral(KESTROVA_SOURCE_DIR));
    QFile readme(source.filePath(QStringLiteral("README.md")));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const QDir pictures(source.filePath(QStringLiteral("docs/snapshots")));
    for (const QString& name : pictureNames()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(text.contains(QStringLiteral("(docs/snapshots/") + name + QLatin1Char(')')));
        const QImage picture(pictures.filePath(name));
        EXPECT_EQ(picture.size(), name == QLatin1String("viewer.png") ? Form2->size() : Form1->size());
    }
}
