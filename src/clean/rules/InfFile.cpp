#include "clean/rules/InfFile.h"

#include <cstdint>
#include <map>

namespace tw {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string LowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = Lower(c);
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\x1a';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The text as single-byte characters: a UTF-16LE file (with its mark) is narrowed, every
// character above 255 becoming "?"; a UTF-8 mark is dropped.
std::string Narrow(std::string_view bytes) {
    const auto byte = [&](size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        std::string out;
        out.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit = byte(i) | (byte(i + 1) << 8);
            out += unit < 256 ? static_cast<char>(unit) : '?';
        }
        return out;
    }
    if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        bytes.remove_prefix(3);
    return std::string(bytes);
}

// The line without its comment: ";" outside double quotes starts one.
std::string_view WithoutComment(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ';' && !quoted)
            return line.substr(0, i);
    }
    return line;
}

// The position of the first "=" outside double quotes, npos when there is none.
size_t EqualsSign(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == '=' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

// A value with its quoting undone: the text inside double quotes is taken as it is, ""
// inside quotes is one quote character, and the quotes themselves go.
std::string Unquote(std::string_view value) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '"') {
            out += value[i];
        } else if (quoted && i + 1 < value.size() && value[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return std::string(Trim(out));
}

enum class Section { Other, Version, Strings, StringsUs };

struct Reader {
    InfVersion inf;
    std::map<std::string, std::string> raw; // [Version] keys (lower case) as written
    std::map<std::string, std::string> strings;
    std::map<std::string, std::string> stringsUs; // [Strings.0409]
    Section section = Section::Other;

    void Line(std::string_view line) {
        line = Trim(WithoutComment(line));
        if (line.empty())
            return;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string name = LowerCopy(
                Trim(line.substr(1, close == std::string_view::npos ? close : close - 1)));
            if (name == "version") {
                section = Section::Version;
                inf.HasVersion = true;
            } else if (name == "strings") {
                section = Section::Strings;
            } else if (name == "strings.0409") {
                section = Section::StringsUs;
            } else {
                section = Section::Other;
            }
            return;
        }
        if (section == Section::Other)
            return;
        const size_t equals = EqualsSign(line);
        if (equals == std::string_view::npos)
            return;
        const std::string key = LowerCopy(Unquote(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        switch (section) {
        case Section::Version:
            raw.emplace(key, std::string(value)); // the first of a key counts
            break;
        case Section::Strings:
            strings.emplace(key, Unquote(value));
            break;
        case Section::StringsUs:
            stringsUs.emplace(key, Unquote(value));
            break;
        case Section::Other:
            break;
        }
    }

    // The value of a [Version] key: unquoted, %name% replaced from [Strings] (then
    // [Strings.0409]); "%%" is one "%", an unknown name stays as written.
    std::string Value(const char* key) const {
        const auto found = raw.find(key);
        if (found == raw.end())
            return {};
        const std::string text = Unquote(found->second);
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
            if (close == std::string::npos) {
                out += text[i];
                continue;
            }
            const std::string name = LowerCopy(text.substr(i + 1, close - i - 1));
            if (name.empty()) {
                out += '%';
            } else if (auto s = strings.find(name); s != strings.end()) {
                out += s->second;
            } else if (auto us = stringsUs.find(name); us != stringsUs.end()) {
                out += us->second;
            } else {
                out += text.substr(i, close - i + 1);
            }
            i = close;
        }
        return Unquote(out);
    }
};

} // namespace

InfVersion ReadInfVersion(std::string_view bytes) {
    const std::string text = Narrow(bytes);
    Reader reader;
    std::string joined; // a line continued with a backslash at its end
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line = std::string_view(text).substr(start, end - start);
        const std::string_view body = Trim(WithoutComment(line));
        if (!body.empty() && body.back() == '\\' && end < text.size()) {
            // the parts of a continued line are joined by one blank
            joined.append(Trim(body.substr(0, body.size() - 1)));
            joined += ' ';
        } else if (!joined.empty()) {
            joined.append(Trim(line));
            reader.Line(joined);
            joined.clear();
        } else {
            reader.Line(line);
        }
        // CR LF is one line end
        start =
            end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    }
    if (!joined.empty())
        reader.Line(joined);
    InfVersion& inf = reader.inf;
    inf.Class = reader.Value("class");
    inf.Provider = reader.Value("provider");
    inf.CatalogFile = reader.Value("catalogfile");
    inf.CatalogFileNT = reader.Value("catalogfile.nt");
    inf.CatalogFileNTx86 = reader.Value("catalogfile.ntx86");
    inf.CatalogFileNTamd64 = reader.Value("catalogfile.ntamd64");
    return inf;
}

std::string CatalogFor(const InfVersion& inf, InfArch arch) {
    const std::string& specific =
        arch == InfArch::Amd64 ? inf.CatalogFileNTamd64 : inf.CatalogFileNTx86;
    const std::string& name = !specific.empty()            ? specific
                              : !inf.CatalogFileNT.empty() ? inf.CatalogFileNT
                                                           : inf.CatalogFile;
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos || name == "." || name == "..")
        return {};
    return name;
}

std::optional<PackageRule> SplitPackageEntry(std::string_view entry) {
    const size_t bar = entry.find('|');
    if (bar == std::string_view::npos || bar == 0 || bar + 1 == entry.size())
        return std::nullopt;
    return PackageRule{std::string(entry.substr(0, bar)), std::string(entry.substr(bar + 1))};
}

bool PackageMatches(const PackageRule& rule, const InfVersion& inf) {
    if (!inf.HasVersion || inf.Provider.empty() || !EqualNoCase(rule.Provider, inf.Provider))
        return false;
    return rule.Class == "*" || EqualNoCase(rule.Class, inf.Class);
}

bool IsOemInfName(std::string_view name) {
    if (name.size() < 8 || !EqualNoCase(name.substr(0, 3), "oem") ||
        !EqualNoCase(name.substr(name.size() - 4), ".inf"))
        return false;
    const std::string_view digits = name.substr(3, name.size() - 7);
    return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace tw
