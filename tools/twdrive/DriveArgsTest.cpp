#include "DriveArgs.h"

#include <gtest/gtest.h>

namespace tw::drive {
namespace {

TEST(DriveArgs, SplitsCommandOptionsFlagsAndWords) {
    auto a = ParseArgs({"menu", "--title-prefix", "Tracewipe", "--print-text", "File", "--timeout",
                        "500", "Clean"},
                       {"print-text"});
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->command, "menu");
    EXPECT_EQ(a->Option("title-prefix"), "Tracewipe");
    EXPECT_EQ(a->Option("timeout"), "500");
    EXPECT_EQ(a->Option("title"), std::nullopt);
    EXPECT_TRUE(a->Flag("print-text"));
    EXPECT_FALSE(a->Flag("window"));
    EXPECT_EQ(a->words, (std::vector<std::string>{"File", "Clean"}));

    // An option value may itself look like a word or start with a dash.
    auto b = ParseArgs({"type", "--control", "--odd", "x"}, {});
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->Option("control"), "--odd");
    EXPECT_EQ(b->words, std::vector<std::string>{"x"});
    EXPECT_EQ(b->command, "type");

    EXPECT_FALSE(ParseArgs({"click", "--control"}, {}).has_value());
    EXPECT_TRUE(ParseArgs({}, {})->command.empty());
}

TEST(DriveArgs, MenuPathSplitsOneWordAtSlashesWithoutBlanksAround) {
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> path;
    } cases[] = {
        {{"File/Clean"}, {"File", "Clean"}},
        {{"Options/Restore/File / Directory"}, {"Options", "Restore", "File / Directory"}},
        {{"Options/Backup Cleaner/Log"}, {"Options", "Backup Cleaner", "Log"}},
        {{"Help"}, {"Help"}},
        {{"File/ Clean"}, {"File", " Clean"}},
        {{"Options", "Restore", "File/Directory"}, {"Options", "Restore", "File/Directory"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.empty() ? "(none)" : c.words.front());
        EXPECT_EQ(MenuPath(c.words), c.path);
    }
}

TEST(DriveArgs, NumberAcceptsOnlyPlainDecimals) {
    struct Case {
        const char* text;
        std::optional<unsigned long> value;
    } cases[] = {{"0", 0},
                 {"10000", 10000},
                 {"", std::nullopt},
                 {"-5", std::nullopt},
                 {"12ms", std::nullopt},
                 {"1234567890", std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Number(c.text), c.value);
    }
}

} // namespace
} // namespace tw::drive
