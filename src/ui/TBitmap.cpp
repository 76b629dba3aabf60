#include "ui/TBitmap.h"

#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>

#include "numtext/exceptions.h"

TBitmap::TBitmap(const std::uint8_t* rows, int width, int height, std::ptrdiff_t bytesPerRow)
    : m_width(std::max(0, width)), m_height(std::max(0, height)),
      m_image(rows, m_width, m_height, static_cast<qsizetype>(bytesPerRow), QImage::Format_BGR888) {}

int TBitmap::width() const { return m_width; }

int TBitmap::height() const { return m_height; }

void TBitmap::setWidth(int width) { resize(width, m_height); }

void TBitmap::setHeight(int height) { resize(m_width, height); }

void TBitmap::resize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    if (m_width == 0 || m_height == 0) {
        m_image = QImage();
        return;
    }
    QImage image(m_width, m_height, QImage::Format_BGR888);
    image.fill(Qt::black);
    if (!m_image.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, m_image);
    }
    m_image = std::move(image);
}

std::uint8_t* TBitmap::scanLine(int row) {
    if (row < 0 || row >= m_height)
        throw numtext::Exception("Scan line index out of range");
    return m_image.scanLine(row);
}

const std::uint8_t* TBitmap::scanLine(int row) const {
    if (row < 0 || row >= m_height)
        throw numtext::Exception("Scan line index out of range");
    return m_image.constScanLine(row);
}

void TBitmap::fillRect(const QRect& rect, const QColor& color) {
    if (m_image.isNull())
        return;
    QPainter painter(&m_image);
    painter.fillRect(rect, color);
}

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
