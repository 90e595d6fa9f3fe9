#pragma once
// Errors raised by the program's arithmetic and by its platform pieces.
// Routines with an error trap catch ZorvaneError at their top; no error ever
// leaves an event handler.
#include <stdexcept>
#include <string>

namespace zv {

class ZorvaneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A 32-bit (or 16-bit) result that does not fit its type.
class OverflowError : public ZorvaneError {
public:
    OverflowError() : ZorvaneError("Overflow") {}
};

// A division whose divisor is zero (or gives no finite result).
class DivisionByZeroError : public ZorvaneError {
public:
    DivisionByZeroError() : ZorvaneError("Division by zero") {}
};

// A platform piece that refused an operation; what() is its reason.
class DeviceError : public ZorvaneError {
public:
    using ZorvaneError::ZorvaneError;
};

} // namespace zv
