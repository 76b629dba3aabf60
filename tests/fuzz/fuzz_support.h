#pragma once

// What the fuzz targets share: the locales every input is tried under, and the way a broken
// property is reported. A target aborts on the first broken property so that libFuzzer keeps the
// input as a crash file that replays it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/format_settings.h"

namespace fuzzing {

// A comma (the program's own default texts), a full stop, and a decimal separator of two UTF-8
// bytes (U+066B) that a parser comparing single bytes would split.
inline const std::vector<numtext::FormatSettings>& localesUnderTest() {
    static const std::vector<numtext::FormatSettings> locales = [] {
        numtext::FormatSettings arabic;
        arabic.decimalSeparator = "\u066B";
        arabic.thousandSeparator = "\u066C";
        return std::vector<numtext::FormatSettings>{numtext::FormatSettings::comma(),
                                                    numtext::FormatSettings::fullStop(), arabic};
    }();
    return locales;
}

// The text with every byte outside printable ASCII as \xNN, and long texts shortened, so that a
// report stays readable whatever the input.
inline std::string printable(std::string_view text) {
    constexpr std::size_t kShown = 200;
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    if (text.size() > kShown)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

[[noreturn]] inline void fail(std::string_view property, std::string_view text,
                              std::string_view detail = {}) {
    std::fprintf(stderr, "\nBROKEN: %.*s\n  text: \"%s\"\n", static_cast<int>(property.size()),
                 property.data(), printable(text).c_str());
    if (!detail.empty())
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline std::string separatorOf(const numtext::FormatSettings& fs) {
    return "decimal separator \"" + printable(fs.decimalSeparator) + "\"";
}

} // namespace fuzzing
