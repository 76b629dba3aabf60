#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <string>

// A device-independent bitmap of 24 bits per pixel over pixel rows that someone else owns and keeps
// alive as long as the bitmap: read only, never copied.
//
// Memory layout: row 0 is the top row; each pixel is three bytes in the order blue, green, red; a row
// starts on a 4-byte boundary (700 pixels: 2100 bytes, no padding).
class TBitmap {
public:
    TBitmap(const std::uint8_t* rows, int width, int height, std::ptrdiff_t bytesPerRow);

    // Writes a Windows BMP file (14 + 40 header bytes, 24 bits per pixel, bottom row first) whatever
    // the extension of the name: 1,050,054 bytes for 700 x 500. The file is written to a temporary
    // name and renamed at the end, so a failure leaves no half-written file. A link to a regular
    // file is followed and its target replaced; a name that exists and is no regular file (a pipe, a
    // device, a socket, a directory, a link that is dangling or loops) is refused and left untouched.
    // Any failure throws numtext::Exception("Cannot create file " + name).
    void saveToFile(const std::string& name) const;

    const QImage& image() const;

private:
    QImage m_image;
};
