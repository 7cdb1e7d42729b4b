// The command line: split as CommandLineToArgvW splits it (the program's name left out),
// then read as one command with an optional report.
#include "clean/rules/CommandLine.h"
#include "core/ArgumentSplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Mode = tw::CommandLine::Mode;
using Args = std::vector<std::string>;

TEST(CommandLine, AcceptsOneCommandWithAnOptionalReport) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        const char* filter = nullptr; // nullptr: the line is refused
        Mode mode = Mode::Preview;
        std::string report;
    } cases[] = {
        {"preview", {"/preview", "NVIDIA"}, "NVIDIA"},
        {"with report", {"/clean", "ATI", "/report", "C:\\r.txt"}, "ATI", Mode::Clean, "C:\\r.txt"},
        {"report first", {"/REPORT", "r", "/Clean", "My Filter"}, "My Filter", Mode::Clean, "r"},
        {"no arguments", {}},
        {"report alone", {"/report", "r.txt"}},
        {"filter missing", {"/preview"}},
        {"empty filter", {"/preview", ""}},
        {"report without file", {"/clean", "ATI", "/report"}},
        {"two commands", {"/preview", "ATI", "/clean", "ATI"}},
        {"two reports", {"/preview", "ATI", "/report", "a", "/report", "b"}},
        {"unknown switch", {"/preview", "ATI", "/quiet", "1"}},
        {"dash is no switch", {"-preview", "ATI"}},
        {"longer switch", {"/previews", "ATI"}},
        {"switch prefix", {"/prev", "ATI"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto line = tw::ParseCommandLine(c.args);
        ASSERT_EQ(line.has_value(), c.filter != nullptr);
        if (!line)
            continue;
        EXPECT_EQ(line->Command, c.mode);
        EXPECT_EQ(line->Filter, c.filter);
        EXPECT_EQ(line->Report, c.report);
    }
}

TEST(ArgumentSplit, FollowsTheRulesOfCommandLineToArgvW) {
    const struct {
        const char* line;
        Args args;
    } cases[] = {
        {R"(tw.exe /preview "C:\My Files\x.txt")", {"/preview", R"(C:\My Files\x.txt)"}},
        {R"("C:\Program Files\tw.exe" /clean)", {"/clean"}},
        {R"("C:\tw.exe"next /a)", {"next", "/a"}},
        {R"(C:\a\"b.exe x)", {"x"}},
        {R"(p a\\\b d"e f"g h)", {R"(a\\\b)", "de fg", "h"}},
        {R"(p a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(p a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        {R"(p a"b"" c d)", {R"(ab")", "c", "d"}},
        {R"(p """a""" b)", {R"("a")", "b"}},
        {R"(p "a""b" c)", {R"(a"b c)"}},
        {R"(p "" x)", {"", "x"}},
        {"p\ta\t\tb  ", {"a", "b"}},
        {R"(p c:\dir\ "c:\dir\\")", {R"(c:\dir\)", R"(c:\dir\)"}},
        {" a b", {"a", "b"}},
        {"p", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::SplitArguments(c.line), c.args) << c.line;
}

TEST(ArgumentSplit, TheSecondByteOfADoubleByteCharacterIsNoBackslash) {
    auto lead = [](unsigned char c) { return c == 0x81; };
    EXPECT_EQ(tw::SplitArguments("p \"\x81\\\" x", lead), (Args{"\x81\\", "x"}));
    EXPECT_EQ(tw::SplitArguments("p \"\x81\\\" x"), (Args{"\x81\" x"}));
}

} // namespace
