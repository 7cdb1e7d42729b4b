#include "clean/CommandRun.h"

#include "app/modLanguage.h"
#include "clean/CleaningRun.h"
#include "clean/Preview.h"
#include "clean/rules/CommandLine.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "registry/cRegSearch.h"
#include "win/Console.h"
#include "win/Files.h"
#include "win/Handle.h"
#include "win/Instance.h"
#include "win/ProgramFolder.h"

#include <algorithm>

namespace tw {

namespace {

// A cleaning run without a window: the detail lines are only collected.
class HeadlessRun final : public RunWindow, private ReportSink {
  public:
    bool Alive() const override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRunning(bool) override {}
    void ClearDetails() override {
        removed_.clear();
        notFound_.clear();
    }
    std::vector<std::string> DetailLines() const override { return removed_; }
    ReportSink& Details() override { return *this; }

    const std::vector<std::string>& NotFoundLines() const { return notFound_; }
    // Items found and kept: refused as protected, or their backup failed.
    int Kept() const { return kept_; }

  private:
    void Removed(const std::string& line) override {
        for (const char* id : {"0030", "0031"}) {
            const std::string text = LookupText(id) + " (";
            if (line.compare(0, text.size(), text) == 0)
                ++kept_;
        }
        removed_.push_back(line);
    }
    void NotFound(const std::string& line) override { notFound_.push_back(line); }

    std::vector<std::string> removed_;
    std::vector<std::string> notFound_;
    int kept_ = 0;
};

// `code`, or kExitBadArgs with a message on the console when the report was not written.
int Reported(bool written, int code, const std::string& report) {
    if (written)
        return code;
    win::ConsoleOutput().Write(LookupText("2150") + " " + report + "\r\n");
    return kExitBadArgs;
}

// True when everything a preview still finds was left to the restart by the run, or is in
// use (a file, or a folder holding only files in use).
bool OnlyInUseLeft(const PreviewResult& after, const std::vector<std::string>& scheduled) {
    std::vector<std::string> left;
    for (const std::string& path : scheduled)
        left.push_back(NormalizePath(path));
    for (const PreviewEntry& entry : after.Entries) {
        for (const PreviewItem& item : entry.Items) {
            const bool fileOrFolder =
                item.What == PreviewItem::Kind::File || item.What == PreviewItem::Kind::Directory;
            const bool inUse = item.InUse > 0 && item.InUse == item.Files;
            const bool pending =
                fileOrFolder && (inUse || std::find(left.begin(), left.end(),
                                                    NormalizePath(item.Path)) != left.end());
            if (!item.Repeated && !pending)
                return false;
        }
    }
    return true;
}

int Clean(const std::string& folder, const std::string& filter, const PreviewResult& before,
          cRegSearch& search, const std::string& report) {
    HeadlessRun window;
    RunRequest request;
    request.ProgramFolder = folder;
    request.Load = TakeLoadTexts();
    request.Filters.push_back(RunFilter{filter, 0});
    const std::vector<std::string> scheduled = CleaningRun(window, search, request);

    // What a preview still finds afterwards was not removed.
    const PreviewResult after = PreviewFilter(folder, filter, search);
    std::vector<std::string> lines = window.DetailLines();
    lines.insert(lines.end(), window.NotFoundLines().begin(), window.NotFoundLines().end());
    lines.push_back("");
    lines.push_back(LookupText("2121"));
    for (std::string& line : PreviewLines(after))
        lines.push_back(std::move(line));
    const bool written = EmitCommandOutput(lines, report);
    if (window.Kept() > 0 || before.Refused > 0)
        return Reported(written, kExitNotRemoved, report);
    if (after.Items > 0)
        return Reported(written,
                        !scheduled.empty() && OnlyInUseLeft(after, scheduled) ? kExitRestart
                                                                              : kExitNotRemoved,
                        report);
    return Reported(written, before.Items > 0 ? kExitFound : kExitNothing, report);
}

} // namespace

bool EmitCommandOutput(const std::vector<std::string>& lines, const std::string& report) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    win::ConsoleOutput console;
    console.Write(text);
    if (report.empty())
        return true;
    return WriteWholeFile(report, text);
}

int RunCommandLine(const std::vector<std::string>& args) {
    UseLanguageInMemory();
    const std::optional<CommandLine> line = ParseCommandLine(args);
    if (!line) {
        EmitCommandOutput({LookupText("2119")}, {});
        return kExitBadArgs;
    }
    if (win::PreviousInstanceRunning()) {
        return Reported(EmitCommandOutput({LookupText("2120")}, line->Report), kExitRunning,
                        line->Report);
    }
    const std::string folder = ProgramFolder();
    cRegSearch search;
    // No window to serve: the search never touches the message queue (which would connect
    // the process to the desktop and its display driver).
    search.YieldInterval(~0ul);
    PreviewResult before;
    if (IsPlainFilterName(line->Filter))
        before = PreviewFilter(folder, line->Filter, search);
    if (!before.Decoded) {
        return Reported(EmitCommandOutput({LookupText("2118") + " " + line->Filter}, line->Report),
                        kExitBadFilter, line->Report);
    }
    if (line->Command == CommandLine::Mode::Clean)
        return Clean(folder, line->Filter, before, search, line->Report);
    return Reported(EmitCommandOutput(PreviewLines(before), line->Report),
                    before.Items > 0 ? kExitFound : kExitNothing, line->Report);
}

} // namespace tw
