#pragma once
// How a menu caption reads to the user, for finding menu entries by caption.
#include <string>
#include <string_view>

namespace tw {

// "&&" stands for "&", a single "&" only marks the access key, and a tab starts the
// shortcut text: "E&xit\tCtrl+X" reads "Exit".
inline std::string PlainMenuCaption(std::string_view caption) {
    std::string out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        char c = caption[i];
        if (c == '\t')
            break;
        if (c == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += c;
    }
    return out;
}

// True when `caption` names the entry `wanted`: equal plain forms, ASCII letter case
// ignored, so "file" finds "&File".
inline bool MenuCaptionMatches(std::string_view caption, std::string_view wanted) {
    std::string a = PlainMenuCaption(caption);
    std::string b = PlainMenuCaption(wanted);
    if (a.size() != b.size())
        return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace tw
