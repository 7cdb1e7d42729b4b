#include "clean/rules/CommandLine.h"

#include "core/Paths.h"

#include <algorithm>
#include <cctype>

namespace tw {

namespace {

bool IsSwitch(const std::string& arg, const char* name) {
    return arg.size() > 1 && arg[0] == '/' &&
           std::equal(
               arg.begin() + 1, arg.end(), name, name + std::char_traits<char>::length(name),
               [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

} // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool command = false;
    bool report = false;
    for (size_t i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size() || args[i + 1].empty())
            return std::nullopt; // every switch needs its value
        const std::string& value = args[i + 1];
        if (IsSwitch(args[i], "preview") || IsSwitch(args[i], "clean")) {
            if (command)
                return std::nullopt;
            command = true;
            line.Command =
                IsSwitch(args[i], "clean") ? CommandLine::Mode::Clean : CommandLine::Mode::Preview;
            line.Filter = value;
        } else if (IsSwitch(args[i], "report") && !report) {
            report = true;
            line.Report = value;
        } else {
            return std::nullopt;
        }
    }
    if (!command)
        return std::nullopt;
    return line;
}

bool IsPlainFilterName(const std::string& name) {
    return IsPlainFileName(name);
}

} // namespace tw
