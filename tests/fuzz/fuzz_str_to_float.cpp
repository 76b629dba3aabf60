// StrToFloat on arbitrary bytes, judged against the model of the float text under every locale:
//  - it throws EConvertError exactly when the model rejects the text or its value overflows the
//    extended range, with the message "'<text>' is not a valid floating point value";
//  - it throws nothing else;
//  - an accepted text gives the model's value correctly rounded to extended;
//  - it leaves no checked floating-point flag raised, since a later checkpoint would turn a flag
//    left by a conversion into EOverflow or EInvalidOp in the middle of an unrelated handler.

#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "numtext/number_text.h"
#include "reference_float_text.h"

namespace {

std::string hexFloat(long double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%La", v);
    return buf;
}

void checkUnder(std::string_view text, const numtext::FormatSettings& fs) {
    const fuzzing::FloatTextModel model = fuzzing::readFloatText(text, fs.decimalSeparator);
    const bool mustFail = !model.accepted || fuzzing::overflowsExtended(model);
    const std::string where = fuzzing::separatorOf(fs);

    std::feclearexcept(numtext::kCheckedFlags);
    bool parsed = false;
    long double value = 0;
    try {
        value = fuzzing::toLongDouble(numtext::StrToFloat(text, fs));
        parsed = true;
    } catch (const numtext::EConvertError& e) {
        const std::string expected = "'" + std::string(text) + "' is not a valid floating point value";
        if (e.Message() != expected)
            fuzzing::fail("the conversion error quotes the whole text", text,
                          where + "; message: \"" + fuzzing::printable(e.Message()) + "\"");
    } catch (const std::exception& e) {
        fuzzing::fail("StrToFloat throws only EConvertError", text,
                      where + "; threw: " + fuzzing::printable(e.what()));
    } catch (...) {
        fuzzing::fail("StrToFloat throws only EConvertError", text, where + "; threw a non-exception");
    }
    if (std::fetestexcept(numtext::kCheckedFlags))
        fuzzing::fail("StrToFloat leaves no checked flag raised", text, where);

    if (parsed && mustFail)
        fuzzing::fail(model.accepted ? "a value beyond the extended range fails"
                                     : "a text outside the grammar fails",
                      text, where + "; parsed as " + hexFloat(value));
    if (!parsed && !mustFail)
        fuzzing::fail("a text of the grammar within the extended range parses", text, where);
    if (parsed) {
        const long double expected = fuzzing::roundedValue(model);
        if (!(value == expected))
            fuzzing::fail("the value is the text's value correctly rounded to extended", text,
                          where + "; got " + hexFloat(value) + ", expected " + hexFloat(expected));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& fs : fuzzing::localesUnderTest())
        checkUnder(text, fs);
    return 0;
}
