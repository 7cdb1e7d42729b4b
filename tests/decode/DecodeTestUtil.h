#pragma once
// Shared by the decoder tests, the fuzz target and the benchmark: runs a decoder and
// records everything it did, and makes plain data to pack.
#include "core/AppError.h"
#include "core/Text.h"
#include "decode/Container.h"

#include <cstdint>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tw::testing {

using Bytes = std::vector<std::uint8_t>;
using DecodeFn = void (*)(Bytes&, std::int32_t, const ProgressHandler&);

// The documented 17-byte container of "aab" and 21-byte one of "abcd".
inline const Bytes kSeventeen = {0x48, 0x45, 0x33, 0x0D, 0x62, 0x03, 0x00, 0x00, 0x00,
                                 0x02, 0x00, 0x61, 0x01, 0x62, 0x01, 0x02, 0x04};
inline const Bytes kTwentyOne = {0x48, 0x45, 0x33, 0x0D, 0x04, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00,
                                 0x61, 0x02, 0x62, 0x02, 0x63, 0x02, 0x64, 0x02, 0xD8, 0xD8};

// While it lives, each text id reads as "text <id>".
struct FakeTexts {
    FakeTexts() {
        SetTextLookup([](std::string_view id) { return "text " + std::string(id); });
    }
    ~FakeTexts() { SetTextLookup(nullptr); }
};

// What one decode did: the bytes or the error, and every Progress value on the way.
struct Outcome {
    bool ok = false;
    Bytes bytes;
    long number = 0;
    std::string source;
    std::string description;
    std::vector<int> events;
    bool inputUntouched = false; // on an error: the array is as it came in

    bool operator==(const Outcome&) const = default;
};

// One decoder on the input, counted as byteLen bytes (none: the input's size).
inline Outcome Decode(DecodeFn fn, Bytes input, std::optional<std::int32_t> byteLen = {}) {
    Outcome o;
    ProgressHandler progress = [&o](std::int16_t p) { o.events.push_back(p); };
    const Bytes before = input;
    try {
        fn(input, byteLen.value_or(static_cast<std::int32_t>(input.size())), progress);
        o.ok = true;
        o.bytes = std::move(input);
    } catch (const AppError& e) {
        o.number = e.number();
        o.source = e.source();
        o.description = e.description();
        o.inputUntouched = input == before;
    }
    return o;
}

inline Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Text with English letter and word-length statistics, CR LF line ends.
inline Bytes EnglishLike(std::size_t size, unsigned seed) {
    static const char* const words[] = {
        "the",     "of",       "and",     "to",     "in",       "is",       "driver",
        "display", "registry", "key",     "file",   "removed",  "folder",   "windows",
        "system",  "nvidia",   "ati",     "backup", "restore",  "cleaning", "filter",
        "that",    "it",       "for",     "was",    "on",       "are",      "with",
        "as",      "this",     "be",      "at",     "from",     "by",       "not",
        "or",      "have",     "an",      "they",   "which",    "one",      "you",
        "were",    "all",      "we",      "when",   "there",    "can",      "value",
        "Program", "Files",    "Control", "Panel",  "Software", "Classes",  "CurrentVersion"};
    std::mt19937 rng(seed);
    std::geometric_distribution<int> pick(0.08);
    std::uniform_int_distribution<int> lineLen(40, 90);
    Bytes out;
    out.reserve(size + 16);
    int column = 0, limit = lineLen(rng);
    while (out.size() < size) {
        const std::string_view w = words[pick(rng) % std::size(words)];
        out.insert(out.end(), w.begin(), w.end());
        column += static_cast<int>(w.size()) + 1;
        if (column > limit) {
            out.insert(out.end(),
                       {static_cast<std::uint8_t>(rng() % 3 == 0 ? '.' : ','), '\r', '\n'});
            column = 0;
            limit = lineLen(rng);
        } else {
            out.push_back(' ');
        }
    }
    out.resize(size);
    return out;
}

inline Bytes RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

} // namespace tw::testing
