#include "ui/TSavePictureDialog.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>

#include "numtext/fpenv.h"

using numtext::FlagGuard;

namespace {

TSavePictureDialog::Runner& runner() {
    static TSavePictureDialog::Runner r;
    return r;
}

} // namespace

TSavePictureDialog::Runner TSavePictureDialog::setRunner(Runner r) {
    Runner previous = std::move(runner());
    runner() = std::move(r);
    return previous;
}

TSavePictureDialog::TSavePictureDialog(QObject* parent) : QObject(parent) {}

bool TSavePictureDialog::execute(QWidget* parent) {
    FlagGuard guard;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters({QStringLiteral("All (*.bmp *.ico *.emf *.wmf)"), QStringLiteral("Bitmaps (*.bmp)"),
                           QStringLiteral("Icons (*.ico)"), QStringLiteral("Enhanced Metafiles (*.emf)"),
                           QStringLiteral("Metafiles (*.wmf)")});
    dialog.setDefaultSuffix(dialogSuffix(m_defaultExt));
    if (!m_fileName.empty())
        dialog.selectFile(QString::fromStdString(m_fileName));

    const int result = runner() ? runner()(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    QString name = files.first();
    // QFileDialog adds the suffix itself when it runs; this covers every way of choosing a name.
    const QString suffix = dialog.defaultSuffix();
    if (!suffix.isEmpty() && QFileInfo(name).suffix().isEmpty() && !name.endsWith(QLatin1Char('/')))
        name += QLatin1Char('.') + suffix;
    m_fileName = name.toStdString();
    return true;
}

std::string TSavePictureDialog::fileName() const { return m_fileName; }

void TSavePictureDialog::setFileName(const std::string& name) { m_fileName = name; }

std::string TSavePictureDialog::defaultExt() const { return m_defaultExt; }

void TSavePictureDialog::setDefaultExt(const std::string& ext) { m_defaultExt = ext; }

QString TSavePictureDialog::dialogSuffix(const std::string& ext) {
    QString suffix = QString::fromStdString(ext);
    if (suffix.startsWith(QLatin1Char('*')))
        suffix.remove(0, 1);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    return suffix;
}
