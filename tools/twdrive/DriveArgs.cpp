#include "DriveArgs.h"

namespace tw::drive {

std::optional<std::string> Args::Option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

std::optional<Args> ParseArgs(const std::vector<std::string>& argv,
                              const std::set<std::string>& flagNames) {
    Args a;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& w = argv[i];
        if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
            std::string name = w.substr(2);
            if (flagNames.count(name)) {
                a.flags.insert(name);
                continue;
            }
            if (i + 1 >= argv.size())
                return std::nullopt;
            a.options[name] = argv[++i];
        } else if (a.command.empty()) {
            a.command = w;
        } else {
            a.words.push_back(w);
        }
    }
    return a;
}

std::vector<std::string> MenuPath(const std::vector<std::string>& words) {
    if (words.size() != 1)
        return words;
    const std::string& s = words.front();
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < s.size(); ++i) {
        bool blankBefore = i > 0 && s[i - 1] == ' ';
        bool blankAfter = i + 1 < s.size() && s[i + 1] == ' ';
        if (s[i] == '/' && !(blankBefore && blankAfter)) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += s[i];
        }
    }
    out.push_back(cur);
    return out;
}

std::optional<unsigned long> Number(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    unsigned long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + static_cast<unsigned long>(c - '0');
    }
    return n;
}

} // namespace tw::drive
