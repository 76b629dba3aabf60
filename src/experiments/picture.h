#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace experiments {

// A picture of 24-bit pixels laid out as a device-independent bitmap holds them: row 0 at the top,
// each pixel the three bytes blue, green, red, each row starting on a 4-byte boundary (700 pixels:
// 2100 bytes, no fill). A new picture is black. An experiment fills it and hands it to the window
// to show and to save.
class Picture {
public:
    Picture(int width, int height)
        : m_width(width > 0 ? width : 0), m_height(height > 0 ? height : 0),
          m_bytesPerRow((3 * static_cast<std::ptrdiff_t>(m_width) + 3) / 4 * 4),
          m_bytes(static_cast<std::size_t>(m_bytesPerRow) * static_cast<std::size_t>(m_height)) {}

    int width() const noexcept { return m_width; }
    int height() const noexcept { return m_height; }
    std::ptrdiff_t bytesPerRow() const noexcept { return m_bytesPerRow; }

    // The first byte of row `row`, 0 <= row < height().
    std::uint8_t* row(int row) noexcept { return m_bytes.data() + row * m_bytesPerRow; }
    const std::uint8_t* row(int row) const noexcept { return m_bytes.data() + row * m_bytesPerRow; }

private:
    int m_width;
    int m_height;
    std::ptrdiff_t m_bytesPerRow;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace experiments
