// twbenchreg: seeds a large key tree below HKEY_CURRENT_USER and times walking and
// searching it.
//   twbenchreg seed A B C   A keys, each with B subkeys, each with C subkeys
//   twbenchreg walk         bare recursive RegEnumKeyExA walk (the floor)
//   twbenchreg walkpeek     the same walk with a PeekMessage loop before every key
//   twbenchreg search MS    cRegSearch for "ATI", yielding at most every MS milliseconds
//   twbenchreg reg          reg query <key> /s
//   twbenchreg regedit      regedit /e <file> <key>
//   twbenchreg clean        deletes the tree
#include "registry/cRegSearch.h"
#include "win/StartAndWait.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kBenchKey[] = "Software\\TracewipeBench";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long Seed(int a, int b, int c) {
    long keys = 0;
    HKEY base = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &base,
                        nullptr) != ERROR_SUCCESS)
        return -1;
    char name[64];
    for (int i = 0; i < a; ++i) {
        std::snprintf(name, sizeof name, "Vendor %03d", i);
        HKEY k1 = nullptr;
        RegCreateKeyExA(base, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k1, nullptr);
        ++keys;
        for (int j = 0; j < b; ++j) {
            std::snprintf(name, sizeof name, "Product %03d", j);
            HKEY k2 = nullptr;
            RegCreateKeyExA(k1, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k2, nullptr);
            ++keys;
            for (int l = 0; l < c; ++l) {
                // one leaf name in a thousand holds the text searched for
                if ((keys % 1000) == 0)
                    std::snprintf(name, sizeof name, "Radiation %03d", l);
                else
                    std::snprintf(name, sizeof name, "Setting %03d", l);
                HKEY k3 = nullptr;
                RegCreateKeyExA(k2, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k3, nullptr);
                RegCloseKey(k3);
                ++keys;
            }
            RegCloseKey(k2);
        }
        RegCloseKey(k1);
    }
    RegCloseKey(base);
    return keys;
}

long Walk(HKEY parent, const char* path, bool peek) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    long count = 0;
    for (DWORD i = 0;; ++i) {
        if (peek) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        char name[260];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        count += 1 + Walk(key, name, peek);
    }
    RegCloseKey(key);
    return count;
}

class Counter : public tw::cRegSearch::Events {
  public:
    void SearchFound(const std::string&, const std::string&, const std::string&) override {
        ++hits;
    }
    long hits = 0;
};

// A hidden window, so the message queue looks like the program's.
HWND MakeWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwBenchWindow";
    RegisterClassA(&wc);
    return CreateWindowA("TwBenchWindow", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

int Run(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    const auto start = Clock::now();
    const std::string fullKey = std::string("HKEY_CURRENT_USER\\") + kBenchKey;
    if (mode == "seed" && argc == 5) {
        const long keys = Seed(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
        std::printf("seed      %8ld keys %8.2f s\n", keys, Seconds(start));
    } else if (mode == "walk" || mode == "walkpeek") {
        const bool peek = mode == "walkpeek";
        HWND w = peek ? MakeWindow() : nullptr;
        const long keys = Walk(HKEY_CURRENT_USER, kBenchKey, peek);
        std::printf("%-9s %8ld keys %8.2f s\n", mode.c_str(), keys, Seconds(start));
        if (w)
            DestroyWindow(w);
    } else if (mode == "search" && argc == 3) {
        HWND w = MakeWindow();
        tw::cRegSearch search;
        Counter counter;
        search.SetEvents(&counter);
        search.YieldInterval(std::strtoul(argv[2], nullptr, 10));
        search.RootKey("&H80000001");
        search.SubKey(kBenchKey);
        search.SearchString("ATI");
        const auto t0 = Clock::now();
        search.DoSearch();
        std::printf("search    %8ld hits %8.2f s (yield every %s ms)\n", counter.hits, Seconds(t0),
                    argv[2]);
        DestroyWindow(w);
    } else if (mode == "reg") {
        tw::StartAndWait("cmd.exe /c reg.exe query \"" + fullKey + "\" /s >NUL", 0);
        std::printf("reg /s             %8.2f s\n", Seconds(start));
    } else if (mode == "regedit") {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string file = std::string(temp) + "twbench export.reg";
        DeleteFileA(file.c_str());
        tw::StartAndWait("regedit.exe /e \"" + file + "\" \"" + fullKey + "\"", 0);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
        std::printf("regedit /e         %8.2f s (%lu bytes)\n", Seconds(start),
                    static_cast<unsigned long>(data.nFileSizeLow));
        DeleteFileA(file.c_str());
    } else if (mode == "clean") {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBenchKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
        std::printf("clean              %8.2f s\n", Seconds(start));
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        std::fprintf(stderr, "failed\n");
        return 1;
    }
}
