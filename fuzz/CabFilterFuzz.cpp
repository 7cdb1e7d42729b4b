// The cab filter reader against any text: every cabinet line is a non-empty line of the
// text, and writing them back reads back the same.
#include "cab/rules/CabFilter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = tw::CabFilterLines(text);
    std::string again;
    for (const std::string& line : lines) {
        if (line.empty() || line.find("\r\n") != std::string::npos ||
            text.find(line) == std::string_view::npos)
            std::abort();
        again += line + "\r\n";
    }
    if (tw::CabFilterLines(again) != lines)
        std::abort();
    return 0;
}
