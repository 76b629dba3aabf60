#include "ui/TBitmap.h"

#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "numtext/exceptions.h"

TBitmap::TBitmap(const std::uint8_t* rows, int width, int height, std::ptrdiff_t bytesPerRow)
    : m_image(rows, std::max(0, width), std::max(0, height), static_cast<qsizetype>(bytesPerRow),
              QImage::Format_BGR888) {}

namespace {

// A save makes a new file and renames it over the name, so what the name stood for is replaced:
// right for a regular file (a link to one is followed and its target replaced), wrong for a pipe, a
// device, a socket or a directory, which would become a regular file, and for a link that leads
// nowhere, which would become a file in the link's place. Those are refused and left as they are.
bool mayReplace(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (fs::symlink_status(name, ignored).type() == fs::file_type::not_found)
        return true;
    return fs::status(name, ignored).type() == fs::file_type::regular;
}

} // namespace

void TBitmap::saveToFile(const std::string& name) const {
    QSaveFile file(QString::fromStdString(name));
    bool written = mayReplace(name) && file.open(QIODevice::WriteOnly);
    if (written) {
        QImageWriter writer(&file, "bmp");
        written = writer.write(m_image);
    }
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written)
        throw numtext::Exception(numtext::fill(numtext::forms::kCannotCreateFile, {name}));
}

const QImage& TBitmap::image() const { return m_image; }
