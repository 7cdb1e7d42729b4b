#include "clean/Preview.h"

#include "clean/CleaningEngine.h"
#include "core/Text.h"
#include "decode/clsProtection.h"
#include "registry/cRegSearch.h"
#include "win/Api.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/Handle.h"
#include "win/SystemFolders.h"

#include <array>

namespace tw {

namespace {

constexpr REGSAM kRead = KEY_READ;

std::string_view HeaderOf(FilterSection section) {
    static constexpr std::array<std::string_view, 6> kHeaders = {
        "[FILES]",          "[SYSTEMFILES]",    "[DIRECTORY]", "[REGISTRY.SECTION]",
        "[REGISTRY.VALUE]", "[REGISTRY.SEARCH]"};
    return kHeaders[static_cast<size_t>(section)];
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!win::FileAttributes(path, data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Files and bytes below a folder, at every depth; a junction or symbolic link is not
// followed (the deletion removes it as a link).
void CountFolder(const std::string& folder, PreviewItem& item) {
    for (const auto& found : win::ListDirectory(folder + "\\*", win::kListAll)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        const std::string child = folder + "\\" + found.Name;
        if (!(found.Attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++item.Files;
            item.Bytes += FileSize(child);
        } else if (!(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            CountFolder(child, item);
        }
    }
}

// Subkeys and values below an open key, at every depth; the key's own values included.
void CountKey(HKEY key, PreviewItem& item) {
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    item.Values += values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        ++item.Keys;
        win::UniqueKey child;
        if (RegOpenKeyExA(key, name, 0, kRead, child.put()) == ERROR_SUCCESS)
            CountKey(child.get(), item);
    }
}

std::string RootName(HKEY root) {
    return cRegSearch::RootKeyName(root);
}

// Records instead of removing. Every item is checked against those listed before it:
// what lies inside an earlier item goes with it and is not counted twice.
class PreviewItems final : public ItemSink {
  public:
    PreviewItems(PreviewResult& result, const PreviewProgress& progress)
        : result_(result), progress_(progress) {}

    void Entry(FilterSection section, const std::string& entry) override {
        current_ = result_.Entries.size();
        result_.Entries.push_back({std::string(HeaderOf(section)) + " " + entry, {}});
    }

    // The roots that the walk of these entries covers, each once, in entry order.
    void Searching(const std::vector<std::string>& entries) override {
        if (!progress_)
            return;
        std::string roots;
        for (const std::string& entry : entries) {
            const std::string root = entry.substr(0, entry.find(','));
            if (("; " + roots + "; ").find("; " + root + "; ") == std::string::npos)
                roots += (roots.empty() ? "" : "; ") + root;
        }
        progress_(roots);
    }

    void Files(const std::string&, const std::string& fullPath, const std::string&,
               const char*) override {
        const std::string parent = ParentOf(fullPath);
        for (const auto& found : win::ListDirectory(fullPath, win::kListNormal)) {
            PreviewItem item{PreviewItem::Kind::File, parent + found.Name};
            item.Files = 1;
            item.Bytes = FileSize(item.Path);
            Add(std::move(item), NormalizePath(parent + found.Name), paths_);
        }
    }

    void Directory(const std::string& fullPath) override {
        std::string path = fullPath;
        while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
            path.pop_back();
        const std::string parent = ParentOf(path);
        for (const auto& found : win::ListDirectory(path, win::kListAll)) {
            if (found.Name == "." || found.Name == ".." ||
                !(found.Attributes & FILE_ATTRIBUTE_DIRECTORY))
                continue; // a plain file of that name is no folder and stays
            PreviewItem item{PreviewItem::Kind::Directory, parent + found.Name};
            if (!(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                CountFolder(item.Path, item);
            Add(std::move(item), NormalizePath(parent + found.Name), paths_);
        }
    }

    void Missing(bool, const std::string&) override {}

    void Refused(const std::string& what) override {
        Here().Items.push_back({PreviewItem::Kind::Refused, what});
        ++result_.Refused;
    }

    void Key(HKEY root, const KeyEntry& key, const std::string& entry) override {
        win::UniqueKey open;
        if (!root || RegOpenKeyExA(root, key.Path.c_str(), 0, kRead, open.put()) != ERROR_SUCCESS)
            return;
        PreviewItem item{PreviewItem::Kind::Key, entry};
        CountKey(open.get(), item);
        Add(std::move(item), KeyName(root, key.Path), keys_);
    }

    void Value(HKEY root, const ValueEntry& value) override {
        win::UniqueKey open;
        if (!root ||
            RegOpenKeyExA(root, value.Path.c_str(), 0, KEY_QUERY_VALUE, open.put()) !=
                ERROR_SUCCESS ||
            RegQueryValueExA(open.get(), value.Value.c_str(), nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
            return;
        const std::string path = RootName(root) + "\\" + value.Path + "\\" + value.Value;
        // a value goes with a key listed before it, never the other way round
        Add({PreviewItem::Kind::Value, path},
            KeyName(root, value.Path) + "\\" + "\x01" + UpperAscii(value.Value), keys_);
    }

    void SearchHit(const std::string& line) override { hits_.push_back({current_, line}); }

    // The found keys go to the search entry that found them.
    struct Hit {
        size_t Entry;
        std::string Line;
    };
    std::vector<Hit> TakeHits() { return std::move(hits_); }
    void Into(size_t entry) { current_ = entry; }

  private:
    PreviewEntry& Here() {
        if (result_.Entries.empty())
            result_.Entries.push_back({});
        return result_.Entries[std::min(current_, result_.Entries.size() - 1)];
    }

    static std::string KeyName(HKEY root, const std::string& path) {
        std::string name = UpperAscii(RootName(root) + "\\" + path);
        while (!name.empty() && name.back() == '\\')
            name.pop_back();
        return name;
    }

    // `name` is the item's comparable form: it repeats a listed item when it equals it or
    // lies below it.
    void Add(PreviewItem item, const std::string& name, std::vector<std::string>& listed) {
        for (const std::string& earlier : listed) {
            if (name == earlier ||
                (name.size() > earlier.size() && name.compare(0, earlier.size(), earlier) == 0 &&
                 name[earlier.size()] == '\\')) {
                item.Repeated = true;
                break;
            }
        }
        if (!item.Repeated) {
            listed.push_back(name);
            ++result_.Items;
            result_.Files += item.Files;
            result_.Bytes += item.Bytes;
            if (item.What == PreviewItem::Kind::Key)
                result_.Keys += 1 + item.Keys;
        }
        Here().Items.push_back(std::move(item));
    }

    PreviewResult& result_;
    const PreviewProgress& progress_;
    size_t current_ = 0;
    std::vector<std::string> paths_;
    std::vector<std::string> keys_;
    std::vector<Hit> hits_;
};

} // namespace

PreviewResult PreviewFilter(const std::string& programFolder, const std::string& filterName,
                            cRegSearch& search, const PreviewProgress& progress, const bool* stop) {
    PreviewResult result;
    const std::string base = programFolder + "\\" + filterName;
    std::string text;
    try {
        const std::string packed = ReadTextFile(base + ".twf");
        if (packed.empty() &&
            GetFileAttributesA((base + ".twf").c_str()) == INVALID_FILE_ATTRIBUTES)
            return result;
        clsProtection protection;
        text = protection.DecodeString(packed);
    } catch (...) {
        return result; // cannot be unpacked
    }
    result.Decoded = true;

    PreviewItems items(result, progress);
    RunContext ctx;
    ctx.ProgramFolder = programFolder;
    ctx.FilterName = filterName;
    ctx.MakeBackups = false;
    ctx.MakeReports = false;
    ctx.Items = &items;
    ctx.Stop = stop;
    CleaningEngine engine(ctx, search);
    engine.ProcessFilterText(text);
    // A found-keys file left by an interrupted run is replayed first by the next clean.
    const std::string earlier = ReadTextFile(base + ".twr");
    if (!earlier.empty()) {
        items.Into(result.Entries.size());
        result.Entries.push_back({filterName + ".twr", {}});
        engine.ReplayFoundKeys(earlier);
    }
    for (auto& hit : items.TakeHits()) {
        items.Into(hit.Entry);
        engine.DeleteRegistryKey(hit.Line);
    }
    result.Cancelled = stop && *stop;
    return result;
}

std::vector<std::string> PreviewLines(const PreviewResult& result) {
    static constexpr std::array<const char*, 5> kKindText = {"2106", "2107", "2108", "2109",
                                                             "0030"};
    const std::string files = " " + LookupText("2110");
    const std::string bytes = " " + LookupText("2111");
    const std::string subkeys = " " + LookupText("2112");
    const std::string values = " " + LookupText("2113");
    const std::string repeated = " [" + LookupText("2114") + "]";
    std::vector<std::string> lines;
    for (const PreviewEntry& entry : result.Entries) {
        if (entry.Items.empty())
            continue;
        lines.push_back(entry.Heading);
        for (const PreviewItem& item : entry.Items) {
            std::string line = "    " + LookupText(kKindText[static_cast<size_t>(item.What)]) +
                               " (" + item.Path + ")";
            switch (item.What) {
            case PreviewItem::Kind::File:
                line += " " + std::to_string(item.Bytes) + bytes;
                break;
            case PreviewItem::Kind::Directory:
                line += " " + std::to_string(item.Files) + files + ", " +
                        std::to_string(item.Bytes) + bytes;
                break;
            case PreviewItem::Kind::Key:
                line += " " + std::to_string(item.Keys) + subkeys + ", " +
                        std::to_string(item.Values) + values;
                break;
            default:
                break;
            }
            if (item.Repeated)
                line += repeated;
            lines.push_back(std::move(line));
        }
    }
    lines.push_back(LookupText("2115") + ": " + std::to_string(result.Items) + " " +
                    LookupText("2116") + ", " + std::to_string(result.Files) + files + ", " +
                    std::to_string(result.Bytes) + bytes + ", " + std::to_string(result.Keys) +
                    " " + LookupText("2117"));
    if (result.Cancelled)
        lines.push_back(LookupText("2105"));
    return lines;
}

} // namespace tw
