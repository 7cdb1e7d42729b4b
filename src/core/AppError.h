#pragma once
// Errors raised by the program's own procedures. They mirror the platform's error
// object: a number, a source text naming the operation and a description.
#include <stdexcept>
#include <string>
#include <utility>

namespace tw {

// Base number of errors that the program defines itself (0x80040000).
inline constexpr long kAppErrorNumber = -2147221504L;
// The run-time error for an index out of range ("Subscript out of range").
inline constexpr long kSubscriptOutOfRange = 9;

class AppError : public std::runtime_error {
  public:
    AppError(long number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}

    long number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

  private:
    long number_;
    std::string source_;
    std::string description_;
};

// Raised for every fault in data that has no error of its own (truncated input, a
// path into a missing branch ...).
inline AppError SubscriptOutOfRange(std::string source) {
    return AppError(kSubscriptOutOfRange, std::move(source), "Subscript out of range");
}

} // namespace tw
