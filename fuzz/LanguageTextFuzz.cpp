// The language file reader against any text: ids hold no "=", no line end and no blank at
// either end, values no line end, and writing the texts back under [Language] reads back
// the same.
#include "app/LanguageText.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using Texts = std::vector<std::pair<std::string, std::string>>;

static Texts Read(std::string_view text) {
    Texts texts;
    tw::ForEachLanguageText(text, [&](std::string_view id, std::string_view value) {
        if (id.find_first_of("=\n") != std::string_view::npos ||
            value.find('\n') != std::string_view::npos ||
            (!id.empty() &&
             (id.front() == ' ' || id.back() == ' ' || id.front() == '\t' || id.back() == '\t')))
            std::abort();
        texts.emplace_back(id, value);
    });
    return texts;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Texts texts = Read({reinterpret_cast<const char*>(data), size});
    std::string again = "[Language]\r\n";
    for (const auto& [id, value] : texts)
        again += id + "=\"" + value + "\"\r\n";
    if (Read(again) != texts)
        std::abort();
    return 0;
}
