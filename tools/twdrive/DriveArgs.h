#pragma once
// Command line of twdrive: a command, "--name value" options, bare flags and the
// remaining words.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tw::drive {

struct Args {
    std::string command;
    std::map<std::string, std::string> options; // without the leading "--"
    std::set<std::string> flags;
    std::vector<std::string> words;

    std::optional<std::string> Option(const std::string& name) const;
    bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Options named in `flagNames` take no value. Nothing when an option lacks its value.
std::optional<Args> ParseArgs(const std::vector<std::string>& argv,
                              const std::set<std::string>& flagNames);

// A menu path from the words of the menu command: several words are one caption each;
// a single word is split at every "/" that has no blank on both sides, so "File/Clean"
// is two captions and "Restore/File / Directory" keeps "File / Directory" whole.
std::vector<std::string> MenuPath(const std::vector<std::string>& words);

// A whole number in decimal, or nothing.
std::optional<unsigned long> Number(const std::string& text);

} // namespace tw::drive
