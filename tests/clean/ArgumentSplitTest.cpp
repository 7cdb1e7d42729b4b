// The command line split as CommandLineToArgvW splits it (the program's name left out).
#include "core/ArgumentSplit.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

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
