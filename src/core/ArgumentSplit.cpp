#include "core/ArgumentSplit.h"

namespace tw {

std::vector<std::string> SplitArguments(std::string_view line, bool (*isLeadByte)(unsigned char)) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    // the program's name, taken without the rules of the arguments
    if (i < line.size() && line[i] == '"') {
        const size_t close = line.find('"', i + 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && !blank(line[i]))
            ++i;
    }
    std::vector<std::string> args;
    std::string arg;
    bool inArgument = false;
    bool quoted = false;
    size_t backslashes = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (blank(c) && !quoted) {
            if (inArgument)
                args.push_back(std::move(arg));
            arg.clear();
            inArgument = false;
            backslashes = 0;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            arg += c;
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            arg.resize(arg.size() - (backslashes + 1) / 2);
            ++i;
            if (backslashes % 2 == 1) {
                arg += '"';
            } else {
                // quotes in a row: every third one counts as a literal quote
                int quotes = quoted ? 2 : 1;
                for (; i < line.size() && line[i] == '"'; ++i)
                    if (++quotes == 3) {
                        arg += '"';
                        quotes = 0;
                    }
                quoted = quotes == 1;
            }
            backslashes = 0;
            continue;
        }
        backslashes = 0;
        arg += c;
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size())
            arg += line[++i];
        ++i;
    }
    if (inArgument)
        args.push_back(std::move(arg));
    return args;
}

} // namespace tw
