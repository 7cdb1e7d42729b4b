// The index line reader of the backup store against any text: lines are non-empty and hold
// no CR LF, writing them back reads back the same, and the two fields of a line are its
// text around its last comma.
#include "backup/rules/RestoreRules.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines =
        tw::IndexLines({reinterpret_cast<const char*>(data), size});
    if (tw::IndexLines(tw::IndexText(lines)) != lines)
        std::abort();
    for (const std::string& line : lines) {
        if (line.empty() || line.find("\r\n") != std::string::npos)
            std::abort();
        const tw::IndexFields fields = tw::SplitIndexLine(line);
        const size_t comma = line.rfind(',');
        if (fields.ok != (comma != std::string::npos) ||
            (fields.ok &&
             (line.compare(0, comma, fields.first) != 0 || !line.ends_with(fields.second) ||
              fields.second.find(',') != std::string::npos)))
            std::abort();
    }
    return 0;
}
