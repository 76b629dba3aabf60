#include "ui/TBitmap.h"

#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>

#include "numtext/exceptions.h"

TBitmap::TBitmap(const std::uint8_t* rows, int width, int height, std::ptrdiff_t bytesPerRow)
    : m_image(rows, std::max(0, width), std::max(0, height), static_cast<qsizetype>(bytesPerRow),
              QImage::Format_BGR888) {}

void TBitmap::saveToFile(const std::string& name) const {
    QSaveFile file(QString::fromStdString(name));
    bool written = file.open(QIODevice::WriteOnly);
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
