#include "ui/TSavePictureDialog.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>

#include <algorithm>

#include "ui/TApplication.h"
#include "ui/screen_fit.h"

namespace {

TSavePictureDialog::Runner& runner() {
    static TSavePictureDialog::Runner r;
    return r;
}

// Qt's own icon provider asks the MIME database for each file's type, and the database reads a file
// whose name does not tell; reading /proc/kmsg or a FIFO never returns. This one goes by names only.
// The icons of folders and plain files still come from Qt, which falls back on the style's own.
class IconsByName : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir())
            return icon(Folder);
        const QIcon byName = QIcon::fromTheme(mimeType(info).iconName());
        return byName.isNull() ? icon(File) : byName;
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = mimeType(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType mimeType(const QFileInfo& info) const {
        return m_mimeTypes.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }
    QMimeDatabase m_mimeTypes;
};

IconsByName& iconsByName() {
    static IconsByName provider;
    return provider;
}

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

// The file is a BMP whatever its name, so a name that names nothing yet and has no extension gets
// ".bmp". A name that names something is taken as it is: a file is replaced (once the user agrees),
// while a device, a pipe or a folder is refused by the save, never turned into a new file beside it
// ("/dev/null" is not "/dev/null.bmp").
QString completedName(const QString& chosen) {
    const QFileInfo info(chosen);
    if (info.exists() || info.isSymLink() || info.fileName().isEmpty() || info.fileName().contains(u'.'))
        return chosen;
    return chosen + QStringLiteral(".bmp");
}

// Whether the user agrees to replace the file of that name; "Nie", the default, keeps it. A typo must
// not cost a file.
bool mayReplace(QWidget* parent, const QString& name) {
    QMessageBox question(
        QMessageBox::Warning, QString::fromStdString(TApplication::applicationTitle()),
        QStringLiteral("Plik „%1” już istnieje.\nCzy chcesz go zastąpić?").arg(QFileInfo(name).fileName()),
        QMessageBox::Yes | QMessageBox::No, parent);
    question.button(QMessageBox::Yes)->setText(QStringLiteral("Tak"));
    question.button(QMessageBox::No)->setText(QStringLiteral("Nie"));
    question.setDefaultButton(QMessageBox::No);
    question.setEscapeButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

// Qt's file dialog whose save button goes through choose(): the name completed, and a file it
// would replace replaced only if the user agrees; otherwise the dialog stays open for another name.
class PictureFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The name the user chose and agreed to; empty until then.
    const QString& chosen() const { return m_chosen; }

    bool choose() {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return false;
        const QString name = completedName(files.first());
        if (QFileInfo(name).isFile() && !mayReplace(this, name))
            return false;
        m_chosen = name;
        return true;
    }

    void accept() override {
        if (choose())
            QFileDialog::accept();
    }

private:
    QString m_chosen;
};

// Beside the picture where the screen has room, else over as little of it as it can, and otherwise
// as near the middle of the window it belongs to as it can; but never over the picture's middle
// third, where the colour is at its full strength, if a narrower or shorter dialog (down to its
// least size) leaves that in sight. Its frame is not known before it is on screen; the owner's frame
// is as good a guess as there is.
void placeBeside(QDialog& dialog, const QWidget* owner, QRect picture) {
    const QScreen* screen = owner->screen();
    if (screen == nullptr)
        return;
    const QRect ownerOuter = ui::outerGeometry(owner);
    const QSize frame = ownerOuter.size() - owner->size();
    const QSize outer = dialog.size() + frame;
    QRect centred(QPoint(0, 0), outer);
    centred.moveCenter(ownerOuter.center());
    const QRect middle(picture.topLeft() + QPoint(picture.width() / 3, picture.height() / 3),
                       picture.size() / 3);
    const QRect place = ui::placeAside(ui::sizesDownTo(outer, dialog.minimumSizeHint() + frame, 4),
                                       {QRegion(middle), QRegion(picture)}, 1, screen->availableGeometry(),
                                       centred.topLeft());
    dialog.resize(place.size() - frame);
    dialog.move(place.topLeft());
}

} // namespace

TSavePictureDialog::Runner TSavePictureDialog::setRunner(Runner r) {
    Runner previous = std::move(runner());
    runner() = std::move(r);
    return previous;
}

TSavePictureDialog::TSavePictureDialog(QObject* parent) : QObject(parent) {}

bool TSavePictureDialog::execute(QWidget* parent, QRect keepInSight) {
    PictureFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Asked by choose() instead, of the name the file is really written to, and in Polish.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // In the program's language, like the rest of its window.
    dialog.setNameFilters({QStringLiteral("Wszystkie obrazy (*.bmp *.ico *.emf *.wmf)"),
                           QStringLiteral("Mapy bitowe (*.bmp)"), QStringLiteral("Ikony (*.ico)"),
                           QStringLiteral("Rozszerzone metapliki (*.emf)"),
                           QStringLiteral("Metapliki (*.wmf)")});
    // Qt's own dialog opens so narrow that its list of places cuts "Komputer" short.
    if (auto* places = dialog.findChild<QSplitter*>()) {
        dialog.resize(std::max(dialog.width(), 720), std::max(dialog.height(), 460));
        places->setSizes({170, 550});
    }
    dialog.setIconProvider(&iconsByName());
    dialog.setDirectory(startFolder());
    // The last name offered again, in the start folder rather than wherever it was tried.
    if (!m_fileName.empty())
        dialog.selectFile(QFileInfo(QString::fromStdString(m_fileName)).fileName());

    if (keepInSight.isValid() && parent != nullptr)
        placeBeside(dialog, parent->window(), keepInSight);

    const int result = runner() ? runner()(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return false;
    // A runner's Accepted without the save button pressed stands for a press of it.
    if (dialog.chosen().isEmpty() && !dialog.choose())
        return false;
    m_fileName = dialog.chosen().toStdString();
    return true;
}

std::string TSavePictureDialog::fileName() const { return m_fileName; }

void TSavePictureDialog::savedTo(const std::string& fileName) {
    m_savedFolder = QFileInfo(QString::fromStdString(fileName)).absolutePath();
}

QString TSavePictureDialog::startFolder() const {
    if (isFolder(m_savedFolder))
        return m_savedFolder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return isFolder(pictures) ? pictures : QDir::homePath();
}

std::string TSavePictureDialog::defaultExt() const { return m_defaultExt; }

void TSavePictureDialog::setDefaultExt(const std::string& ext) { m_defaultExt = ext; }
