#include "SeedPlan.h"

#include "clean/rules/InfFile.h"

#include <set>

namespace tw::seed {

namespace {

// The device class that holds the seeded adapter keys: the media class, where the WDM
// capture drivers keep their settings. Not the display class: Wine rebuilds that one
// whenever a program starts, which would wipe seeded keys before any run.
constexpr char kDeviceClass[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                "{4d36e96c-e325-11ce-bfc1-08002be10318}";
constexpr char kCatalogFolder[] = "\\Catroot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\";
constexpr char kProfileServices[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Hardware "
                                    "Profiles\\0001\\System\\CurrentControlSet\\Services\\";

struct SearchSample {
    const char* search; // the whole search entry
    const char* key;    // the key that has to go
    const char* create; // the key that is created (empty: `key`)
};

// Keys that only the searches find, in places where drivers leave them.
const SearchSample kSearchSamples[] = {
    {"HKEY_LOCAL_MACHINE,NVIDIA Corporation",
     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\NVIDIA Corporation",
     ""},
    {"HKEY_CURRENT_USER,NVIDIA Corporation",
     "HKEY_CURRENT_USER\\Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\NVIDIA Corporation",
     ""},
    {"HKEY_LOCAL_MACHINE,nvlddmkm", "", ""},
    {"HKEY_LOCAL_MACHINE,ATI Technologies",
     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\ATI Technologies",
     ""},
    {"HKEY_CURRENT_USER,ATI Technologies",
     "HKEY_CURRENT_USER\\Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\ATI Technologies", ""},
    // the program records the adapter key two levels above the hit
    {"HKEY_LOCAL_MACHINE,ATI WDM Configurations", "", ""},
    {"HKEY_LOCAL_MACHINE,ati2mtag", "", ""},
    {"HKEY_LOCAL_MACHINE,atikmdag", "", ""},
    {"HKEY_LOCAL_MACHINE,amdkmdag", "", ""},
};

// Keys built from a pattern rather than spelled out above.
std::vector<std::pair<std::string, std::string>> SamplesFor(const std::string& search) {
    for (const auto& s : kSearchSamples) {
        if (search != s.search)
            continue;
        std::string text = search.substr(search.find(',') + 1);
        if (text == "ATI WDM Configurations") {
            std::string adapter = std::string(kDeviceClass) + "\\0098";
            return {{adapter, adapter + "\\Settings\\ATI WDM Configurations"}};
        }
        if (*s.key == '\0') // a driver's service settings of a hardware profile
            return {{kProfileServices + text, kProfileServices + text + "\\Device0"}};
        return {{s.key, *s.create ? s.create : s.key}};
    }
    return {};
}

std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text)
        out += {c, '\0'};
    return out;
}

// The files of a driver package that Windows installed as oem<number>.inf: the .inf,
// which names its class and provider (through [Strings], as ANSI, for an even number;
// quoted, as UTF-16LE, for an odd one), its .pnf, and its catalog, which the .inf names
// (even) or which carries the .inf's name (odd). Windows 95, 98 and ME keep the .inf alone,
// in Inf\Other.
void AddPackage(std::vector<Item>& items, Role role, unsigned number, const std::string& cls,
                const std::string& provider, bool windows9x) {
    const std::string name = "oem" + std::to_string(number);
    const bool even = number % 2 == 0;
    const std::string catalog = even ? "tw" + std::to_string(number) + ".cat" : name + ".cat";
    std::string inf =
        "; seeded by twseed\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=" + cls + "\r\n";
    if (even)
        inf += "Provider=%Vendor%\r\nCatalogFile=" + catalog + "\r\n[Strings]\r\nVendor=\"" +
               provider + "\"\r\n";
    else
        inf = Utf16(inf + "Provider=\"" + provider + "\"\r\n");
    const std::string files[] = {"\\Inf\\" + name + ".inf", "\\Inf\\" + name + ".pnf",
                                 std::string(kCatalogFolder) + catalog};
    if (windows9x) {
        const std::string path = "\\Inf\\Other\\" + name + ".inf";
        items.push_back({role, Kind::File, Base::WindowsFolder, path, path, false, inf});
        return;
    }
    for (const std::string& path : files) {
        const bool system = &path == &files[2];
        items.push_back({role, Kind::File, system ? Base::SystemFolder : Base::WindowsFolder, path,
                         path, false, &path == &files[0] ? inf : std::string()});
    }
}

// The package number of an entry: the same whichever filters are read together.
unsigned PackageNumber(const std::string& entry) {
    unsigned hash = 2166136261u;
    for (unsigned char c : entry)
        hash = (hash ^ c) * 16777619u;
    return 1000 + hash % 9000;
}

Item Leftover(Kind kind, Base base, std::string path, std::string create = {}) {
    if (create.empty())
        create = path;
    return {Role::Leftover, kind, base, std::move(path), std::move(create), false};
}

Item LookAlike(Kind kind, Base base, std::string path, bool existing = false) {
    return {Role::LookAlike, kind, base, path, path, existing};
}

// Names that resemble the filters' entries without being matched by them, and parts of
// Windows that lie next to the leftovers.
void AddLookAlikes(std::vector<Item>& items, bool windows9x) {
    const Base W = Base::WindowsFolder, S = Base::SystemFolder, P = Base::ProgramFiles,
               D = Base::WindowsDrive, R = Base::Registry;
    // made by seeding
    items.push_back(LookAlike(Kind::File, S, "\\atmfd.dll"));
    items.push_back(LookAlike(Kind::File, S, "\\nvcpl1234.dll"));
    items.push_back(LookAlike(Kind::File, S, "\\aticalcl.sys"));
    items.push_back(LookAlike(Kind::File, S, "\\drivers\\nvraid.sys"));
    items.push_back(LookAlike(Kind::File, W, "\\SysWOW64\\atmfd.dll"));
    items.push_back(LookAlike(Kind::File, W, "\\SysWOW64\\nvcpl1234.dll"));
    items.push_back(LookAlike(Kind::File, W, "\\SysWOW64\\nvoglv64.dll")); // system32's name
    items.push_back(LookAlike(Kind::File, W, "\\Prefetch\\NVCPLUIX.EXE-1A2B3C4D.pf"));
    items.push_back(LookAlike(Kind::File, W, "\\Prefetch\\ACCC.EXE-1A2B3C4D.pf"));
    items.push_back(LookAlike(Kind::Folder, P, "\\NVIDIA Tools Backup"));
    items.push_back(LookAlike(Kind::Folder, P, "\\AMD\\Chipset"));
    items.push_back(LookAlike(Kind::Folder, D, "\\AMD64"));
    items.push_back(LookAlike(Kind::Folder, D, "\\NVIDIA Backup"));
    items.push_back(LookAlike(Kind::Key, R, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Radiation Labs"));
    items.push_back(LookAlike(Kind::Key, R, "HKEY_LOCAL_MACHINE\\SOFTWARE\\NVIDIA Corp"));
    items.push_back(LookAlike(Kind::Key, R, "HKEY_LOCAL_MACHINE\\SOFTWARE\\AMD\\Chipset"));
    items.push_back(LookAlike(Kind::Key, R, "HKEY_CURRENT_USER\\Software\\ATI Tools Club"));
    items.push_back(
        LookAlike(Kind::Key, R, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\nvraid"));
    items.push_back(LookAlike(Kind::Key, R, std::string(kDeviceClass) + "\\0099\\Settings"));
    items.push_back(LookAlike(
        Kind::Value, R,
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\StartCCCHelper"));
    // driver packages: AMD's chipset and storage packages, a look-alike provider name and
    // another vendor's display package
    AddPackage(items, Role::LookAlike, 950, "System", "Advanced Micro Devices, Inc.", windows9x);
    AddPackage(items, Role::LookAlike, 951, "HDC", "Advanced Micro Devices", windows9x);
    AddPackage(items, Role::LookAlike, 952, "Display", "NVIDIA Tools Club", windows9x);
    AddPackage(items, Role::LookAlike, 953, "Display", "Intel Corporation", windows9x);
    // parts of Windows next to the leftovers
    items.push_back(LookAlike(Kind::File, S, "\\atl.dll", true));
    items.push_back(LookAlike(Kind::Folder, S, "\\drivers", true));
    items.push_back(LookAlike(Kind::Key, R, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft", true));
    items.push_back(
        LookAlike(Kind::Key, R,
                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", true));
    items.push_back(LookAlike(
        Kind::Key, R, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class", true));
    items.push_back(LookAlike(
        Kind::Key, R, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\EventLog", true));
}

} // namespace

std::pair<Base, std::string> DirectoryTarget(const std::string& entry) {
    if (entry.compare(0, 14, "\\Program Files") == 0)
        return {Base::ProgramFiles, entry.substr(14)};
    return {Base::WindowsDrive, entry};
}

Plan MakePlan(const std::vector<FilterEntry>& entries, bool windows9x) {
    Plan plan;
    std::set<std::string> seen; // two entries naming one item give one item
    auto add = [&](Item item) {
        std::string id = std::to_string(static_cast<int>(item.base)) + "|" + item.path;
        if (seen.insert(id).second)
            plan.items.push_back(std::move(item));
    };
    for (const auto& e : entries) {
        switch (e.section) {
        case Section::Files:
        case Section::SystemFiles: {
            Base base = e.section == Section::Files ? Base::WindowsFolder : Base::SystemFolder;
            add(Leftover(Kind::File, base, ConcreteName(e.text)));
            break;
        }
        case Section::Directory: {
            auto [base, path] = DirectoryTarget(e.text);
            add(Leftover(Kind::Folder, base, path));
            break;
        }
        case Section::RegistrySection:
            add(Leftover(Kind::Key, Base::Registry, e.text));
            break;
        case Section::RegistryValue:
            add(Leftover(Kind::Value, Base::Registry, e.text));
            break;
        case Section::RegistrySearch: {
            auto samples = SamplesFor(e.text);
            if (samples.empty())
                plan.errors.push_back("no sample key for the search " + e.text);
            for (auto& [key, create] : samples)
                add(Leftover(Kind::Key, Base::Registry, key, create));
            break;
        }
        case Section::DriverPackages: {
            const auto rule = SplitPackageEntry(e.text);
            if (!rule) {
                plan.errors.push_back("no package for the entry " + e.text);
                break;
            }
            const unsigned number = PackageNumber(e.text);
            std::vector<Item> files;
            AddPackage(files, Role::Leftover, number,
                       rule->Class != "*" ? rule->Class
                       : number % 2       ? "MEDIA"
                                          : "Display",
                       rule->Provider, windows9x);
            for (Item& file : files)
                add(std::move(file));
            break;
        }
        }
    }
    AddLookAlikes(plan.items, windows9x);
    return plan;
}

} // namespace tw::seed
