#include "decode/Container.h"

#include "core/AppError.h"
#include "core/Text.h"

#include <cmath>

namespace tw {

int RoundHalfEven(double value) {
    double whole = std::floor(value);
    double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

std::int16_t InputProgress(std::int64_t position, std::int64_t byteLen) {
    return static_cast<std::int16_t>(
        RoundHalfEven(static_cast<double>(position) / static_cast<double>(byteLen) * 89.0));
}

std::int16_t OutputProgress(std::int64_t index, std::int64_t count) {
    return static_cast<std::int16_t>(
        RoundHalfEven(static_cast<double>(index) / static_cast<double>(count) * 11.0 + 89.0));
}

void ThrowUnknownMethod() {
    throw AppError(kAppErrorNumber, kSourceMethod, LookupText("0321"));
}

void ThrowChecksum() {
    throw AppError(kAppErrorNumber, kSourceChecksum, LookupText("0322"));
}

void ThrowDataFault() {
    throw SubscriptOutOfRange(kSourceData);
}

} // namespace tw
