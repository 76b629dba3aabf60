#pragma once

#include <array>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

namespace numtext {

// Every text a failure of the program can show, as a form whose "%s" stands for a text of the
// moment (a field's text, a file name, a function's name). The program makes its messages from these
// forms, and whatever must recognise a message reads them here.
namespace forms {
inline constexpr const char* kNotAFloat = "'%s' is not a valid floating point value";
inline constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";
inline constexpr const char* kZeroDivide = "Floating point division by zero";
inline constexpr const char* kInvalidOp = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
// The timing tab's refusal of a count its double pass counter cannot reach. The program's own words,
// so in the window's language.
inline constexpr const char* kCountTooLarge =
    "'%s' to więcej niż 9007199254740992 działań, najwięcej, ile zliczy licznik przejść typu double";
// What an exception can carry out of a handler.
inline constexpr std::array kExceptions = {kNotAFloat, kNotAnInteger,     kZeroDivide,   kInvalidOp,
                                           kOverflow,  kCannotCreateFile, kCountTooLarge};
// The math-error routine's: the function's name, then the kind of error ("sqrt: DOMAIN error").
inline constexpr const char* kMathError = "%s: %s error";
} // namespace forms

// The form with each "%s" replaced by the next of `values`: fill(kNotAFloat, {"abc"}) is
// "'abc' is not a valid floating point value".
inline std::string fill(std::string_view form, std::initializer_list<std::string_view> values) {
    std::string out;
    const auto* value = values.begin();
    for (std::size_t at = 0; at < form.size(); ++at) {
        if (form.compare(at, 2, "%s") == 0 && value != values.end()) {
            out += *value++;
            ++at;
        } else {
            out += form[at];
        }
    }
    return out;
}

// The run-time error family. Every error that ends a handler is one of these; the application's
// exception display shows Message() with a full stop added.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// A text that does not convert: forms::kNotAFloat, forms::kNotAnInteger.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The floating-point unit's unmasked exceptions, each with its fixed message.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError(forms::kZeroDivide) {}
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError(forms::kInvalidOp) {}
};

class EOverflow : public EMathError {
public:
    EOverflow() : EMathError(forms::kOverflow) {}
};

} // namespace numtext
