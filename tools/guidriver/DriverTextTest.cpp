#include "DriverText.h"
#include "core/MenuCaption.h"

#include <gtest/gtest.h>

namespace tw::gui {
namespace {

using tw::MenuCaptionMatches;
using tw::PlainMenuCaption;

TEST(DriverText, PlainMenuCaptionDropsAccessMarksAndShortcut) {
    struct Case {
        const char* caption;
        const char* plain;
    } cases[] = {
        {"&File", "File"},         {"E&xit\tCtrl+X", "Exit"},
        {"A&bout...", "About..."}, {"Save && Quit", "Save & Quit"},
        {"&&&Tools", "&Tools"},    {"Trailing&", "Trailing"},
        {"\tCtrl+R", ""},          {"File / Directory", "File / Directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(PlainMenuCaption(c.caption), c.plain);
    }
}

TEST(DriverText, MenuCaptionMatchesPlainFormIgnoringCase) {
    struct Case {
        const char* caption;
        const char* wanted;
        bool match;
    } cases[] = {
        {"&Clean\tCtrl+R", "Clean", true},
        {"&Clean\tCtrl+R", "clean", true},
        {"&Clean", "&Clean", true},
        {"&Clean", "Clea", false},
        {"&Clean", "Cleaner", false},
        {"Backup Cleaner", "Backup  Cleaner", false},
        {"&Registry", "Registry\tCtrl+Z", true},
        {"", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + " / " + c.wanted);
        EXPECT_EQ(MenuCaptionMatches(c.caption, c.wanted), c.match);
    }
}

TEST(DriverText, WinePathMapsLinuxPathsToDriveZ) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"/work/build/screenshots", "Z:\\work\\build\\screenshots"},
        {"/", "Z:\\"},
        {"C:\\Windows", "C:\\Windows"},
        {"relative/path", "relative/path"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(WinePath(c.in), c.out);
    }
}

} // namespace
} // namespace tw::gui
