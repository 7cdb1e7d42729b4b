#include "decode/TextSource.h"

namespace tw {

std::vector<std::uint8_t> PrepareTextSource(std::span<const std::uint8_t> source) {
    std::vector<std::uint8_t> out;
    out.reserve(source.size() + source.size() / 16);
    std::size_t start = 0;
    while (start < source.size()) {
        std::size_t end = start;
        while (end < source.size() && source[end] != '\n')
            ++end;
        const bool terminated = end < source.size();
        std::size_t lineEnd = end;
        if (terminated && lineEnd > start && source[lineEnd - 1] == '\r')
            --lineEnd;
        if (source[start] != '#') {
            out.insert(out.end(), source.begin() + static_cast<std::ptrdiff_t>(start),
                       source.begin() + static_cast<std::ptrdiff_t>(lineEnd));
            if (terminated)
                out.insert(out.end(), {'\r', '\n'});
        }
        start = end + 1;
    }
    return out;
}

} // namespace tw
