#include "clean/rules/RunLog.h"

#include <cstdio>

namespace tw {

namespace {
std::string TwoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}
} // namespace

LoadTexts MakeLoadTexts(int day, int month, int year, int hour, int minute, int second,
                        std::string_view timeSeparator) {
    char year4[16];
    std::snprintf(year4, sizeof year4, "%04d", year);
    LoadTexts t;
    t.Date = TwoDigits(day) + "-" + TwoDigits(month) + "-" + year4;
    std::string sep(timeSeparator);
    t.Time = TwoDigits(hour) + sep + TwoDigits(minute) + sep + TwoDigits(second);
    t.Stamp = TwoDigits(hour) + TwoDigits(minute) + TwoDigits(second);
    return t;
}

std::string LogHeader(const LoadTexts& load) {
    return "-------- " + load.Date + " -- " + load.Time;
}

std::string SlotLine(bool ticked, std::string_view filterName) {
    return ticked ? "- " + std::string(filterName) : std::string("- ");
}

std::string NormalLogPath(std::string_view programFolder, std::string_view runName,
                          std::string_view filterName) {
    return std::string(programFolder) + "\\Log\\" + std::string(runName) + "_" +
           std::string(filterName) + ".log";
}

std::string AdvancedLogPath(std::string_view programFolder, std::string_view runName) {
    return std::string(programFolder) + "\\Log\\" + std::string(runName) + "_Advanced Cleaning.log";
}

} // namespace tw
