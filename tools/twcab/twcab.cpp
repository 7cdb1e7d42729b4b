// twcab DLL CABINET FOLDER
// Writes CABINET from every file of FOLDER through the cabinet library DLL, with the
// cab cleaner's own rebuild. Prints what the cleaner would report; exit code 1 then.
#include "cab/CabCleaner.h"
#include "core/Text.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: twcab DLL CABINET FOLDER\n", stderr);
        return 2;
    }
    // reports name their text ids
    tw::SetTextLookup([](std::string_view id) { return std::string(id); });
    const tw::CabLibrary library(argv[1]);
    int reports = 0;
    tw::RebuildHooks hooks;
    hooks.ReportError = [&](const std::string& message) {
        std::fprintf(stderr, "twcab: %s\n", message.c_str());
        ++reports;
    };
    hooks.AfterFile = [] {};
    tw::RebuildCabinet(library, argv[2], argv[3], tw::FilesIn(argv[3]), hooks);
    return reports ? 1 : 0;
}
