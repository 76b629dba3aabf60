#pragma once

#include <exception>
#include <string>

namespace numtext {

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

// A text that does not convert: "'%s' is not a valid floating point value", and the like.
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
    EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};

class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};

// Integer division by zero, which the processor reports as a fault of its own.
class EDivByZero : public Exception {
public:
    EDivByZero() : Exception("Division by zero") {}
};

} // namespace numtext
