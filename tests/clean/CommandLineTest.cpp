#include "clean/rules/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Mode = tw::CommandLine::Mode;

TEST(CommandLine, AcceptsOneCommandWithAnOptionalReport) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool ok;
        Mode mode = Mode::Preview;
        std::string filter;
        std::string report;
    };
    const Case cases[] = {
        {"preview", {"/preview", "NVIDIA"}, true, Mode::Preview, "NVIDIA", ""},
        {"clean with report",
         {"/clean", "ATI", "/report", "C:\\r.txt"},
         true,
         Mode::Clean,
         "ATI",
         "C:\\r.txt"},
        {"report first, any case",
         {"/REPORT", "r.txt", "/Clean", "My Filter"},
         true,
         Mode::Clean,
         "My Filter",
         "r.txt"},
        {"no arguments", {}, false},
        {"report alone", {"/report", "r.txt"}, false},
        {"filter missing", {"/preview"}, false},
        {"empty filter", {"/preview", ""}, false},
        {"report without file", {"/clean", "ATI", "/report"}, false},
        {"two commands", {"/preview", "ATI", "/clean", "ATI"}, false},
        {"two reports", {"/preview", "ATI", "/report", "a", "/report", "b"}, false},
        {"unknown switch", {"/preview", "ATI", "/quiet", "1"}, false},
        {"dash is no switch", {"-preview", "ATI"}, false},
        {"longer switch", {"/previews", "ATI"}, false},
        {"switch prefix", {"/prev", "ATI"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto line = tw::ParseCommandLine(c.args);
        ASSERT_EQ(line.has_value(), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(line->Command, c.mode);
        EXPECT_EQ(line->Filter, c.filter);
        EXPECT_EQ(line->Report, c.report);
    }
}

} // namespace
