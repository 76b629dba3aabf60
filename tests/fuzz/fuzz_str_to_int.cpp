// StrToInt and StrToIntDef on arbitrary bytes:
//  - StrToInt agrees with a model of the integer text written from its grammar: it returns the
//    model's value, or throws EConvertError with "'<text>' is not a valid integer value" exactly
//    when the model rejects the text or the value does not fit 32 bits; it throws nothing else;
//  - StrToIntDef(text, d) is StrToInt(text) when that parses and d when it throws, for several d.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "numtext/number_text.h"

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// The integer text: spaces; then one optional sign and decimal digits, or, with no sign, a "$",
// "x", "X", "0x" or "0X" prefix and hexadecimal digits; nothing after the digits (not even spaces).
std::optional<std::int32_t> modelInteger(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(i);

    bool negative = false;
    int base = 10;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    } else {
        for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
            if (text.starts_with(prefix)) {
                text.remove_prefix(prefix.size());
                base = 16;
                break;
            }
        }
    }
    if (text.empty())
        return std::nullopt;
    for (char c : text) {
        if (digitValue(c) >= base)
            return std::nullopt;
    }

    // Leading zeros do not count; more than ten significant digits cannot fit in either base.
    const std::size_t first = text.find_first_not_of('0');
    const std::string_view significant =
        first == std::string_view::npos ? std::string_view{} : text.substr(first);
    if (significant.size() > 10)
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (char c : significant)
        magnitude = magnitude * base + digitValue(c);
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> expected = modelInteger(text);

    std::optional<std::int32_t> parsed;
    try {
        parsed = numtext::StrToInt(text);
    } catch (const numtext::EConvertError& e) {
        if (e.Message() != "'" + std::string(text) + "' is not a valid integer value")
            fuzzing::fail("the conversion error quotes the whole text", text,
                          "message: \"" + fuzzing::printable(e.Message()) + "\"");
    } catch (const std::exception& e) {
        fuzzing::fail("StrToInt throws only EConvertError", text,
                      std::string("threw: ") + fuzzing::printable(e.what()));
    } catch (...) {
        fuzzing::fail("StrToInt throws only EConvertError", text, "threw a non-exception");
    }
    if (parsed != expected)
        fuzzing::fail("StrToInt follows the integer grammar and the 32-bit range", text,
                      "got " + (parsed ? std::to_string(*parsed) : std::string("a failure")) + ", expected " +
                          (expected ? std::to_string(*expected) : std::string("a failure")));

    // Defaults at the edges of the range, and one from the input so that it can equal the value.
    std::int32_t fromInput = 0;
    if (size >= sizeof fromInput)
        std::memcpy(&fromInput, data, sizeof fromInput);
    for (const std::int32_t fallback :
         {std::int32_t{0}, std::int32_t{-1}, std::numeric_limits<std::int32_t>::min(),
          std::numeric_limits<std::int32_t>::max(), fromInput}) {
        const std::int32_t got = numtext::StrToIntDef(text, fallback);
        const std::int32_t want = parsed ? *parsed : fallback;
        if (got != want)
            fuzzing::fail("StrToIntDef returns StrToInt's value, or the default where it throws", text,
                          "default " + std::to_string(fallback) + ": got " + std::to_string(got) +
                              ", expected " + std::to_string(want));
    }
    return 0;
}
