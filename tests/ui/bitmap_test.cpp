#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <vector>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "numtext/exceptions.h"
#include "ui/TBitmap.h"
#include "ui/TSavePictureDialog.h"
#include "ui/screen_fit.h"

namespace {

std::uint32_t le32(const QByteArray& bytes, int at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

std::uint16_t le16(const QByteArray& bytes, int at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

// 700 x 500 black pixels, 2100 bytes a row, as the bitmap is laid over them.
struct Pixels {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(2100 * 500, 0);
    std::uint8_t* row(int r) { return bytes.data() + 2100 * r; }
    TBitmap bitmap() const { return {bytes.data(), 700, 500, 2100}; }
};

TEST(Bitmap, RowsAreBlueGreenRedTopRowFirst) {
    Pixels pixels;
    pixels.row(0)[0] = 10; // blue
    pixels.row(0)[1] = 20; // green
    pixels.row(0)[2] = 30; // red
    pixels.row(499)[3 * 699 + 2] = 255;
    const TBitmap b = pixels.bitmap();
    ASSERT_EQ(b.image().size(), QSize(700, 500));
    EXPECT_EQ(b.image().pixelColor(0, 0), QColor(30, 20, 10));
    EXPECT_EQ(b.image().pixelColor(699, 499), QColor(255, 0, 0));
}

TEST(Bitmap, SavesA24BitBmpWhateverTheExtension) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Pixels pixels;
    pixels.row(499)[0] = 1; // bottom row, first pixel: blue 1
    pixels.row(0)[2] = 2;   // top row, first pixel: red 2
    const std::string name = dir.filePath(QStringLiteral("picture.wmf")).toStdString();
    pixels.bitmap().saveToFile(name);

    QFile file(QString::fromStdString(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 1050054);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), 1050054u); // file size
    EXPECT_EQ(le32(bytes, 10), 54u);     // pixel data offset
    EXPECT_EQ(le32(bytes, 14), 40u);     // information header size
    EXPECT_EQ(le32(bytes, 18), 700u);
    EXPECT_EQ(le32(bytes, 22), 500u); // positive: bottom row first
    EXPECT_EQ(le16(bytes, 26), 1u);   // planes
    EXPECT_EQ(le16(bytes, 28), 24u);  // bits per pixel
    EXPECT_EQ(le32(bytes, 30), 0u);   // no compression
    // The file starts with the bottom row and ends with the top row.
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[54]), 1);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[54 + 2]), 0);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[54 + 499 * 2100 + 2]), 2);
}

// A save replaces what the name stands for, so a name that is not a regular file, nor a link to one,
// is refused and stays what it was.
TEST(Bitmap, UncreatableFileRaisesTheFileCreationErrorAndLeavesTheNameAsItWas) {
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path in = dir.path().toStdString();
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> make;
    };
    const std::vector<Row> rows = {
        {"missing/picture.bmp", [](const fs::path&) {}},
        {"folder.bmp", [](const fs::path& p) { fs::create_directory(p); }},
    // Windows has no pipes, devices or sockets among a folder's files, and a link to a file needs
    // rights that a user does not have by default: only the two rows above are there.
#ifndef _WIN32
        {"pipe.bmp", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"dangling.bmp", [](const fs::path& p) { fs::create_symlink("nowhere.bmp", p); }},
        {"loop.bmp", [](const fs::path& p) { fs::create_symlink("loop.bmp", p); }},
        // A node of its own, never a link to the machine's: a fault would replace what it names.
        // Only root may make one; elsewhere the row names a missing file and proves nothing.
        {"device.bmp", [](const fs::path& p) { (void)::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)); }},
        {"socket.bmp",
         [](const fs::path& p) {
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, p.c_str(), sizeof address.sun_path - 1);
             const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
             ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
             ::close(s);
         }},
#endif
    };
    const Pixels pixels;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path path = in / row.name;
        row.make(path);
        std::error_code ignored;
        const fs::file_type was = fs::symlink_status(path, ignored).type();
        try {
            pixels.bitmap().saveToFile(path.string());
            ADD_FAILURE() << "no error";
        } catch (const numtext::Exception& e) {
            EXPECT_EQ(e.Message(), "Cannot create file " + path.string());
        }
        EXPECT_EQ(fs::symlink_status(path, ignored).type(), was);
    }
    EXPECT_FALSE(fs::exists(in / "nowhere.bmp"));
    // Nothing else was made beside them: no temporary file stays behind.
    const QStringList made =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    // Every row's name is there but the missing folder's, and the device's where only root could make it.
    qsizetype expected = qsizetype(rows.size()) - 1;
#ifndef _WIN32
    if (!made.contains(QStringLiteral("device.bmp")))
        --expected;
#endif
    EXPECT_EQ(made.size(), expected);
}

TEST(Bitmap, ALinkToAFileIsWrittenThroughToItsTarget) {
#ifdef _WIN32
    GTEST_SKIP() << "A link to a file needs rights on Windows that a user does not have by default";
#endif
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path in = dir.path().toStdString();
    QFile target(QString::fromStdString((in / "target.bmp").string()));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.close();
    fs::create_symlink("target.bmp", in / "link.bmp");

    Pixels().bitmap().saveToFile((in / "link.bmp").string());
    EXPECT_TRUE(fs::is_symlink(in / "link.bmp"));
    EXPECT_EQ(fs::file_size(in / "target.bmp"), 1050054u);
}

// Installs a runner for one test and restores exec() afterwards.
class RunnerScope {
public:
    explicit RunnerScope(TSavePictureDialog::Runner runner)
        : m_previous(TSavePictureDialog::setRunner(std::move(runner))) {}
    ~RunnerScope() { TSavePictureDialog::setRunner(std::move(m_previous)); }

private:
    TSavePictureDialog::Runner m_previous;
};

// Qt's own question before replacing a file is off: it would ask of the name typed, not of the name
// written, and in English.
TEST(SavePictureDialog, IsASaveDialogForPictures) {
    TSavePictureDialog dialog;
    bool ran = false;
    RunnerScope scope([&](QFileDialog& d) {
        ran = true;
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(d.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(d.defaultSuffix().isEmpty());
        EXPECT_TRUE(d.nameFilters().join(' ').contains(QStringLiteral("*.bmp")));
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(dialog.execute(nullptr));
    EXPECT_TRUE(ran);
    EXPECT_EQ(dialog.fileName(), "");
}

// The file is a BMP whatever its name: a new name without an extension gets ".bmp", before the
// first request and after it, when the default extension is "*.wmf". A name of something that
// exists stays as it is, so a device or a pipe is refused by the save rather than made a new file.
TEST(SavePictureDialog, ANewNameWithoutAnExtensionGetsBmp) {
    QTemporaryDir dir;
    struct Row {
        const char* defaultExt;
        QString typed;
        QString chosen;
    };
    std::vector<Row> rows = {
        {"", dir.filePath(QStringLiteral("obraz")), dir.filePath(QStringLiteral("obraz.bmp"))},
        {"*.wmf", dir.filePath(QStringLiteral("obraz")), dir.filePath(QStringLiteral("obraz.bmp"))},
        {"*.wmf", dir.filePath(QStringLiteral("obraz.wmf")), dir.filePath(QStringLiteral("obraz.wmf"))},
        {"*.wmf", dir.filePath(QStringLiteral("obraz.bmp")), dir.filePath(QStringLiteral("obraz.bmp"))},
    };
    // A pipe and a device exist as files only on a Unix system.
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir.filePath(QStringLiteral("rura")).toLocal8Bit().constData(), 0600), 0);
    rows.push_back({"*.wmf", dir.filePath(QStringLiteral("rura")), dir.filePath(QStringLiteral("rura"))});
    rows.push_back({"*.wmf", QStringLiteral("/dev/null"), QStringLiteral("/dev/null")});
#endif
    for (const auto& row : rows) {
        TSavePictureDialog dialog;
        dialog.setDefaultExt(row.defaultExt);
        RunnerScope scope([&](QFileDialog& d) {
            d.selectFile(row.typed);
            return int(QDialog::Accepted);
        });
        ASSERT_TRUE(dialog.execute(nullptr));
        EXPECT_EQ(dialog.fileName(), row.chosen.toStdString()) << row.defaultExt;
        EXPECT_EQ(dialog.defaultExt(), row.defaultExt);
    }
}

// Replacing a file is asked first, and "Nie", the default, keeps it: the save button then chooses
// nothing.
TEST(SavePictureDialog, ReplacingAFileIsAskedFirst) {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("obraz.bmp")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    for (const bool yes : {false, true}) {
        QStringList asked; // title, text, default answer
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = {box->windowTitle(), box->text(), box->defaultButton()->text()};
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            }
        });
        answer.start(10);
        TSavePictureDialog dialog;
        RunnerScope scope([&](QFileDialog& d) {
            d.selectFile(dir.filePath(QStringLiteral("obraz")));
            static_cast<QDialog&>(d).accept(); // the save button
            return d.result();
        });
        EXPECT_EQ(dialog.execute(nullptr), yes);
        EXPECT_EQ(asked.join(QLatin1Char('|')).toStdString(),
                  "ui_tests|Plik „obraz.bmp” już istnieje.\nCzy chcesz go zastąpić?|Nie");
        EXPECT_EQ(dialog.fileName(), yes ? dir.filePath(QStringLiteral("obraz.bmp")).toStdString() : "");
    }
}

// A window goes where it covers least of what it must leave in sight, the most important first, and
// of equal places the one nearest where it would open anyway. A smaller size is taken only to cover
// less of the regions it is allowed to spare.
TEST(SavePictureDialog, IsPlacedToCoverAsLittleAsItCanOfThePicture) {
    const QRect picture(429, 20, 700, 500);
    const struct {
        const char* what;
        QRect area;
        std::vector<QRect> keep;
        std::vector<QSize> sizes;
        std::size_t shrinkFor;
        QPoint preferred;
        QRect expected;
    } rows[] = {
        {"room below", {0, 0, 2560, 1600}, {picture}, {{722, 483}}, 1, {300, 100}, {300, 520, 722, 483}},
        {"no room: the corner that covers least",
         {0, 0, 1366, 768},
         {picture},
         {{722, 483}},
         1,
         {322, 142},
         {0, 285, 722, 483}},
        {"nothing to cover where it was going",
         {0, 0, 1366, 768},
         {{0, 0, 100, 100}},
         {{400, 300}},
         1,
         {500, 200},
         {500, 200, 400, 300}},
        {"larger than the screen",
         {0, 0, 800, 600},
         {picture},
         {{1000, 700}},
         1,
         {-100, -50},
         {0, 0, 1000, 700}},
        {"narrower to spare the first",
         {0, 0, 1000, 600},
         {{500, 0, 100, 100}},
         {{600, 600}, {500, 600}},
         1,
         {0, 0},
         {0, 0, 500, 600}},
        {"not narrower to spare the second",
         {0, 0, 1000, 600},
         {{}, {500, 0, 100, 100}},
         {{600, 600}, {500, 600}},
         1,
         {0, 0},
         {0, 0, 600, 600}},
    };
    for (const auto& row : rows) {
        std::vector<QRegion> keep;
        for (const QRect& r : row.keep)
            keep.emplace_back(r);
        EXPECT_EQ(ui::placeAside(row.sizes, keep, row.shrinkFor, row.area, row.preferred), row.expected)
            << row.what;
    }
}

} // namespace
