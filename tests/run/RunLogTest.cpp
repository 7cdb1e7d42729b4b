#include "clean/rules/RunLog.h"

#include <gtest/gtest.h>

namespace {

TEST(RunLogTest, LoadTextsAreZeroPaddedAndShareOneMoment) {
    struct Case {
        int d, mo, y, h, mi, s;
        const char* sep;
        const char* date;
        const char* time;
        const char* runName;
    } cases[] = {
        {4, 12, 2026, 7, 5, 9, ":", "04-12-2026", "07:05:09", "04-12-2026_070509"},
        {31, 1, 2027, 23, 59, 0, ":", "31-01-2027", "23:59:00", "31-01-2027_235900"},
        {1, 9, 999, 0, 0, 0, ".", "01-09-0999", "00.00.00", "01-09-0999_000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        tw::LoadTexts t = tw::MakeLoadTexts(c.d, c.mo, c.y, c.h, c.mi, c.s, c.sep);
        EXPECT_EQ(t.Date, c.date);
        EXPECT_EQ(t.Time, c.time);
        EXPECT_EQ(t.RunName(), c.runName);
        EXPECT_EQ(tw::LogHeader(t), std::string("-------- ") + c.date + " -- " + c.time);
    }
}

TEST(RunLogTest, LogPathsAndSlotLines) {
    EXPECT_EQ(tw::NormalLogPath("C:\\P", "04-12-2026_070509", "My_Filter"),
              "C:\\P\\Log\\04-12-2026_070509_My_Filter.log");
    EXPECT_EQ(tw::AdvancedLogPath("C:\\P", "04-12-2026_070509"),
              "C:\\P\\Log\\04-12-2026_070509_Advanced Cleaning.log");
    EXPECT_EQ(tw::SlotLine(true, "ATI"), "- ATI");
    EXPECT_EQ(tw::SlotLine(false, "ATI"), "- ");
}

} // namespace
