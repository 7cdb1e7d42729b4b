// twseed: seeds the leftovers of display-driver packages into this Windows (a Wine
// prefix for the demo sandbox), and checks which of them a cleaning run removed.
//   twseed seed  FILTER...   create every leftover of the filters and the look-alikes
//   twseed check FILTER...   GONE/LEFT per leftover, KEPT/LOST per look-alike, counts;
//                            exit 0 only when every leftover is gone and none is lost
//   twseed clear FILTER...   delete whatever seeding made (leftovers and look-alikes)
//   twseed picture FILTER... one line per item: kind, role, a hash of what it holds
//                            (0: missing) and its path, to compare before and after
//   twseed hold FILE STOP    keeps FILE open as a running program keeps its files (read,
//                            no write or delete sharing) until the file STOP exists; the
//                            file STOP.held appears once FILE is open (exit 1: cannot)
// FILTER is a filter text (such as data/filters/NVIDIA.txt) or a packed .twf file;
// without one, every .twf file of the current folder (the program folder) is read.
#include "Seeder.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tw::seed;

constexpr int kUsage = 2;

const char* KindWord(Kind k) {
    switch (k) {
    case Kind::File:
        return "file  ";
    case Kind::Folder:
        return "folder";
    case Kind::Key:
        return "key   ";
    case Kind::Value:
        return "value ";
    }
    return "?";
}

std::vector<std::string> PackedFiltersHere() {
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    tw::win::UniqueFind find(FindFirstFileA("*.twf", &fd));
    if (find) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(fd.cFileName);
        } while (FindNextFileA(find.get(), &fd));
    }
    return files;
}

int Seed(const Plan& plan) {
    int failed = 0, made = 0;
    for (const Item& item : plan.items) {
        if (item.existing)
            continue;
        if (Create(item)) {
            ++made;
        } else {
            ++failed;
            std::printf("FAILED %s %s\n", KindWord(item.kind), FullPath(item).c_str());
        }
    }
    std::printf("seeded: %d items, %d failed\n", made, failed);
    return failed == 0 ? 0 : 1;
}

int Check(const Plan& plan) {
    int gone = 0, left = 0, kept = 0, lost = 0;
    for (const Item& item : plan.items) {
        bool exists = Exists(item);
        std::printf("%s %s %s\n", StateWord(item, exists), KindWord(item.kind),
                    FullPath(item).c_str());
        if (item.role == Role::Leftover)
            ++(exists ? left : gone);
        else
            ++(exists ? kept : lost);
    }
    std::printf("leftovers: %d gone, %d left; look-alikes: %d kept, %d lost\n", gone, left, kept,
                lost);
    return (left == 0 && lost == 0) ? 0 : 1;
}

// FNV-1a, 64 bits.
unsigned long long Hash(const std::string& bytes) {
    unsigned long long h = 14695981039346656037ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

int PrintPictures(const Plan& plan) {
    for (const Item& item : plan.items) {
        const std::string picture = Picture(item);
        std::printf("%s %s %016llx %s\n", KindWord(item.kind),
                    item.role == Role::Leftover ? "leftover  " : "look-alike",
                    picture.empty() ? 0 : Hash(picture), FullPath(item).c_str());
    }
    return 0;
}

int Clear(const Plan& plan) {
    for (const Item& item : plan.items) {
        if (!item.existing && Exists(item))
            Remove(item);
    }
    return 0;
}

int Hold(const std::string& file, const std::string& stop) {
    tw::win::UniqueFileHandle held(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held)
        return 1;
    tw::win::UniqueFileHandle(CreateFileA((stop + ".held").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (int i = 0; i < 6000 && GetFileAttributesA(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100); // ten minutes at most
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::string(argv[1]) == "hold")
            return Hold(argv[2], argv[3]);
        if (argc < 2) {
            std::fputs("usage: twseed seed|check|clear|picture FILTER...\n", stderr);
            return kUsage;
        }
        std::string command = argv[1];
        std::vector<std::string> files(argv + 2, argv + argc);
        if (files.empty())
            files = PackedFiltersHere();
        if (files.empty()) {
            std::fputs("twseed: no filter given and no .twf file here\n", stderr);
            return kUsage;
        }
        std::vector<FilterEntry> entries;
        for (const std::string& file : files) {
            bool ok = false;
            std::string text = ReadFilterFile(file, ok);
            if (!ok) {
                std::fprintf(stderr, "twseed: cannot read %s\n", file.c_str());
                return kUsage;
            }
            auto more = ReadFilterEntries(text);
            entries.insert(entries.end(), more.begin(), more.end());
        }
        Plan plan = MakePlan(entries, (GetVersion() & 0x80000000u) != 0);
        for (const auto& e : plan.errors)
            std::fprintf(stderr, "twseed: %s\n", e.c_str());
        if (!plan.errors.empty())
            return kUsage;
        int rc = kUsage;
        if (command == "seed")
            rc = Seed(plan);
        else if (command == "check")
            rc = Check(plan);
        else if (command == "clear")
            rc = Clear(plan);
        else if (command == "picture")
            rc = PrintPictures(plan);
        else
            std::fputs("usage: twseed seed|check|clear|picture FILTER...\n", stderr);
        std::fflush(stdout);
        return rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "twseed: %s\n", e.what());
        return 1;
    }
}
