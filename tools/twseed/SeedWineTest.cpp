// Seeds the shipped filters' leftovers into the test prefix for real and checks them,
// in-process and through twseed.exe.
#include "Seeder.h"

#include "decode/Encoder.h"
#include "decode/TextSource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tw::seed {
namespace {

std::string WinePath(std::string p) {
    std::replace(p.begin(), p.end(), '/', '\\');
    return "Z:" + p;
}

std::string Source(const char* name) {
    return WinePath(std::string(TW_FILTER_DIR) + "/" + name);
}

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The line of the check's output that ends with `path`.
std::string LineOf(const std::string& out, const std::string& path) {
    size_t end = out.find(path + "\n");
    if (end == std::string::npos)
        return {};
    size_t begin = out.rfind('\n', end);
    size_t start = begin == std::string::npos ? 0 : begin + 1;
    return out.substr(start, end + path.size() - start);
}

struct RunResult {
    DWORD code = 0xFFFFFFFF;
    std::string out;
};

// twseed.exe with the arguments, its output captured in a file.
RunResult Twseed(const std::string& args, const std::string& cwd = {}) {
    std::string outFile = WinePath(TW_TWSEED_OUT);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    RunResult r;
    if (out == INVALID_HANDLE_VALUE)
        return r;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + WinePath(TW_TWSEED_EXE) + "\" " + args;
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &r.code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    for (char c : ReadAll(outFile)) {
        if (c != '\r')
            r.out += c;
    }
    return r;
}

class Seeded : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"NVIDIA.txt", "ATI.txt"}) {
            auto e = ReadFilterEntries(ReadAll(Source(name)));
            entries_.insert(entries_.end(), e.begin(), e.end());
        }
        plan_ = MakePlan(entries_);
        ASSERT_TRUE(plan_.errors.empty());
        ASSERT_GT(plan_.items.size(), 150u);
        Clear();
    }
    void TearDown() override { Clear(); }

    void Clear() {
        for (const Item& i : plan_.items) {
            if (!i.existing && Exists(i))
                Remove(i);
        }
    }

    void SeedAll() {
        for (const Item& i : plan_.items)
            ASSERT_TRUE(Create(i)) << FullPath(i);
    }

    const Item& ItemAt(const std::string& path) {
        auto it = std::find_if(plan_.items.begin(), plan_.items.end(),
                               [&](const Item& i) { return i.path == path; });
        if (it != plan_.items.end())
            return *it;
        ADD_FAILURE() << "no item " << path;
        static const Item none{Role::LookAlike, Kind::File, Base::WindowsFolder, "", "", true};
        return none;
    }

    std::string Args(const char* command) {
        return std::string(command) + " \"" + Source("NVIDIA.txt") + "\" \"" + Source("ATI.txt") +
               "\"";
    }

    std::vector<FilterEntry> entries_;
    Plan plan_;
};

TEST_F(Seeded, EveryItemIsCreatedAndTheCheckListsItLeftOrKept) {
    for (const Item& i : plan_.items) {
        if (!i.existing) {
            ASSERT_FALSE(Exists(i)) << FullPath(i);
        }
    }
    SeedAll();
    size_t leftovers = 0, lookAlikes = 0;
    for (const Item& i : plan_.items) {
        SCOPED_TRACE(FullPath(i));
        EXPECT_TRUE(Exists(i));
        (i.role == Role::Leftover ? leftovers : lookAlikes)++;
    }

    RunResult r = Twseed(Args("check"));
    EXPECT_EQ(r.code, 1u);
    auto count = [&](const char* word) {
        size_t n = 0;
        for (size_t at = r.out.find(word); at != std::string::npos; at = r.out.find(word, at + 1))
            n += (at == 0 || r.out[at - 1] == '\n');
        return n;
    };
    EXPECT_EQ(count("LEFT "), leftovers);
    EXPECT_EQ(count("KEPT "), lookAlikes);
    EXPECT_EQ(count("GONE "), 0u);
    EXPECT_EQ(count("LOST "), 0u);
    EXPECT_NE(r.out.find("leftovers: 0 gone, " + std::to_string(leftovers) +
                         " left; look-alikes: " + std::to_string(lookAlikes) + " kept, 0 lost"),
              std::string::npos);
}

TEST_F(Seeded, FoldersAndKeysHoldContentOfEveryKind) {
    SeedAll();
    char pf[MAX_PATH] = {};
    DWORD size = sizeof pf;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                           "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, pf, &size),
              ERROR_SUCCESS);
    std::string dir = std::string(pf) + "\\NVIDIA Corporation";
    struct Case {
        const char* file;
        DWORD attribute;
    } cases[] = {{"\\settings.ini", FILE_ATTRIBUTE_READONLY},
                 {"\\desktop.ini", FILE_ATTRIBUTE_HIDDEN},
                 {"\\Bin\\x64\\driver.dll", FILE_ATTRIBUTE_READONLY},
                 {"\\Logs", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DWORD a = GetFileAttributesA((dir + c.file).c_str());
        ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(a & c.attribute, c.attribute);
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NVIDIA Corporation\\Settings\\Profiles",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Data", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    RegCloseKey(key);
    // the key that only the search finds lies deep below the adapter key that must go
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e96c-e325-11ce-bfc1-"
                            "08002be10318}\\0098\\Settings\\ATI WDM Configurations",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Seeded, ItemsRemovedByHandAreReportedGoneAndLostLookAlikesFail) {
    SeedAll();
    const Item& file = ItemAt("\\nvcpl.dll");
    const Item& pattern = ItemAt("\\Prefetch\\CCC.EXE-TW01.pf");
    const Item& folder = ItemAt("\\ATI");
    const Item& key = ItemAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\ATI Technologies");
    const Item& value =
        ItemAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\StartCCC");
    const Item& lookAlike = ItemAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Radiation Labs");

    ASSERT_TRUE(DeleteFileA(FullPath(file).c_str()));
    ASSERT_TRUE(DeleteFileA(FullPath(pattern).c_str()));
    ASSERT_TRUE(Remove(folder)); // with its read-only and hidden content
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ATI Technologies"), ERROR_SUCCESS);
    HKEY run = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                            0, KEY_SET_VALUE, &run),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(run, "StartCCC"), ERROR_SUCCESS);
    RegCloseKey(run);
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Radiation Labs"), ERROR_SUCCESS);

    for (const Item* i : {&file, &pattern, &folder, &key, &value}) {
        SCOPED_TRACE(FullPath(*i));
        EXPECT_STREQ(StateWord(*i, Exists(*i)), "GONE");
    }
    EXPECT_STREQ(StateWord(lookAlike, Exists(lookAlike)), "LOST");
    EXPECT_STREQ(StateWord(ItemAt("\\nvcpl.cpl"), Exists(ItemAt("\\nvcpl.cpl"))), "LEFT");

    RunResult r = Twseed(Args("check"));
    EXPECT_EQ(r.code, 1u);
    for (const Item* i : {&file, &pattern, &folder, &key, &value}) {
        SCOPED_TRACE(FullPath(*i));
        EXPECT_EQ(LineOf(r.out, FullPath(*i)).substr(0, 5), "GONE ");
    }
    EXPECT_EQ(LineOf(r.out, FullPath(ItemAt("\\nvcpl.cpl"))).substr(0, 5), "LEFT ");
    EXPECT_NE(r.out.find("LOST key    HKEY_LOCAL_MACHINE\\SOFTWARE\\Radiation Labs\n"),
              std::string::npos);
}

TEST_F(Seeded, CheckPassesOnlyWhenEveryLeftoverIsGoneAndNothingLost) {
    RunResult seeded = Twseed(Args("seed"));
    ASSERT_EQ(seeded.code, 0u) << seeded.out;
    EXPECT_EQ(Twseed(Args("check")).code, 1u);

    for (const Item& i : plan_.items) {
        if (i.role == Role::Leftover) {
            ASSERT_TRUE(Remove(i)) << FullPath(i);
        }
    }
    RunResult clean = Twseed(Args("check"));
    EXPECT_EQ(clean.code, 0u) << clean.out;

    // one leftover back is a failure again
    ASSERT_TRUE(Create(ItemAt("\\drivers\\atikmdag.sys")));
    EXPECT_EQ(Twseed(Args("check")).code, 1u);
}

TEST_F(Seeded, ReadsPackedFiltersAndRefusesBadInput) {
    // the same filter packed as the program gets it
    std::string text = ReadAll(Source("ATI.txt"));
    auto prepared = tw::PrepareTextSource(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    auto packed = tw::EncodeHuffman(prepared);
    // a folder of its own, holding the packed filter like the program folder does
    std::string dir = WinePath(std::string(TW_TWSEED_OUT) + ".dir");
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string twf = dir + "\\ATI.twf";
    {
        std::ofstream f(twf, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(packed.data()),
                static_cast<std::streamsize>(packed.size()));
    }
    bool ok = false;
    std::string unpacked = ReadFilterFile(twf, ok);
    ASSERT_TRUE(ok);
    auto a = ReadFilterEntries(unpacked), b = ReadFilterEntries(text);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].text, b[i].text);

    // nothing seeded: the leftovers are gone, but so are the look-alikes
    EXPECT_EQ(Twseed("check \"" + twf + "\"").code, 1u);
    EXPECT_EQ(Twseed("check \"C:\\no such filter.txt\"").code, 2u);
    EXPECT_EQ(Twseed("frobnicate \"" + twf + "\"").code, 2u);
    // without a filter named, the packed filters of the current folder are read
    RunResult here = Twseed("check", dir);
    EXPECT_EQ(here.code, 1u);
    EXPECT_NE(here.out.find("GONE key    HKEY_LOCAL_MACHINE\\SOFTWARE\\ATI Technologies\n"),
              std::string::npos);
    EXPECT_EQ(here.out.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\NVIDIA Corporation\n"),
              std::string::npos);
    DeleteFileA(twf.c_str());
    EXPECT_EQ(Twseed("check", dir).code, 2u); // no filter at all
    RemoveDirectoryA(dir.c_str());
}

} // namespace
} // namespace tw::seed
