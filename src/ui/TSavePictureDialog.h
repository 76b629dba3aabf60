#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <string>

class QFileDialog;
class QWidget;

// The picture save dialog: a QFileDialog in save mode listing picture file types. The file written
// is always a BMP, so a name chosen without an extension gets ".bmp", whatever the default
// extension the program sets ("*.wmf" from its first save request on); that one is kept, for the
// program to read back, and names no file. A name that names something already is taken as it is:
// replacing a file is asked first, in Polish, "Nie" being the default answer; anything else there
// (a device, a pipe, a folder) is for the save to refuse.
//
// The dialog opens in the folder of the last successful save (see savedTo), else in the user's
// pictures folder, else in the home folder: never where a save just failed, which may be a folder
// such as /proc whose files block when read. It tells file types by their names alone, never by
// reading their contents, for the same reason.
class TSavePictureDialog : public QObject {
    Q_OBJECT

public:
    // Runs the configured dialog instead of QDialog::exec() and returns QDialog::Accepted or
    // QDialog::Rejected; Accepted stands for a press of the save button, question included. Tests
    // install one to choose a name without a modal wait.
    using Runner = std::function<int(QFileDialog& dialog)>;
    // Installs a runner and returns the previous one; an empty function restores exec().
    static Runner setRunner(Runner runner);

    explicit TSavePictureDialog(QObject* parent = nullptr);

    // Modal, over `parent`'s window. Returns whether the user confirmed; the chosen name is then
    // fileName(). A valid `keepInSight` (in screen coordinates) is the picture the dialog is placed to
    // cover as little of as the screen allows, and never its middle third if the dialog can be made
    // small enough to leave that in sight.
    bool execute(QWidget* parent, QRect keepInSight = {});

    std::string fileName() const;
    // The file of that name was written: later dialogs open in its folder.
    void savedTo(const std::string& fileName);
    // The folder the next dialog opens in.
    QString startFolder() const;

    std::string defaultExt() const;
    void setDefaultExt(const std::string& ext);

private:
    std::string m_fileName;
    std::string m_defaultExt;
    QString m_savedFolder;
};
