#pragma once
// The run name and the log block of a cleaning run.
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The three texts a cleaning window takes once, when it loads.
struct LoadTexts {
    std::string Date;  // "dd-mm-yyyy"
    std::string Time;  // "hh:mm:ss" with the system's time separator
    std::string Stamp; // "hhmmss"

    // load date, "_", load stamp: 04-12-2026_070509
    std::string RunName() const { return Date + "_" + Stamp; }
};

LoadTexts MakeLoadTexts(int day, int month, int year, int hour, int minute, int second,
                        std::string_view timeSeparator = ":");

// "-------- <date> -- <time>"
std::string LogHeader(const LoadTexts& load);

// A slot line of the Advanced log: "- " and the filter name of a ticked slot.
std::string SlotLine(bool ticked, std::string_view filterName);

// Log\<run name>_<filter name>.log and Log\<run name>_Advanced Cleaning.log
std::string NormalLogPath(std::string_view programFolder, std::string_view runName,
                          std::string_view filterName);
std::string AdvancedLogPath(std::string_view programFolder, std::string_view runName);

} // namespace tw
