#pragma once

// What the fuzz targets share: the locales every input is tried under, and the way a broken
// property is reported. A target aborts on the first broken property so that libFuzzer keeps the
// input as a crash file that replays it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/extended.h"
#include "numtext/format_settings.h"

namespace fuzzing {

// The fuzzers run on x86-64, where long double is the x87 type the program's extended type
// emulates, so the models compute in long double and the two convert bit for bit.
static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64, "the fuzzers need the x87 long double");

inline numtext::Extended toExtended(long double v) {
    unsigned char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    std::uint64_t significand;
    std::memcpy(&significand, bytes, 8);
    const unsigned signExponent = bytes[8] | (bytes[9] << 8);
    return numtext::Extended::fromFields((signExponent & 0x8000u) != 0,
                                         static_cast<std::uint16_t>(signExponent & 0x7FFFu), significand);
}

inline long double toLongDouble(numtext::Extended x) {
    unsigned char bytes[sizeof(long double)] = {};
    const std::uint64_t significand = x.significand();
    std::memcpy(bytes, &significand, 8);
    const unsigned signExponent = x.biasedExponent() | (x.signBit() ? 0x8000u : 0u);
    bytes[8] = static_cast<unsigned char>(signExponent);
    bytes[9] = static_cast<unsigned char>(signExponent >> 8);
    long double v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

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
