#include "clean/rules/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Mode = tw::CommandLine::Mode;

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

} // namespace
