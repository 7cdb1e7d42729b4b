// The preview window of the real Tracewipe.exe, opened from the Normal interface: its
// list for a small filter on seeded items, in English and German, and a cancel while
// the registry is searched. The items stay where they are.
#include "AppFolder.h"
#include "GuiDriver.h"
#include "win/ControlName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using namespace tw::gui;

constexpr DWORD kFirstWait = 30000;
constexpr DWORD kRunWait = 120000;
const std::string kKey = "Software\\TracewipeE2E";

std::string WindowsDir() {
    char buf[MAX_PATH] = {};
    return std::string(buf, GetWindowsDirectoryA(buf, MAX_PATH));
}

void MakeKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
        RegCloseKey(key);
    }
}

class PreviewGui : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = WinPath(TW_GUI_WORK_DIR) + "\\" + info->name();
        ASSERT_TRUE(MakeProgramFolder(folder_, WinPath(TW_PROGRAM_DIR),
                                      {"Tracewipe.exe", "English.lng", "German.lng"}));
        file_ = WindowsDir() + "\\twe2e_removed.dll";
        Clear();
        WriteAll(file_, "preview me");
        MakeKey(kKey + "\\Section\\Sub");
        MakeKey(kKey + "\\Deep\\TwE2ESearchHit\\Inner");
    }
    void TearDown() override {
        app_.Kill();
        Clear();
    }
    void Clear() {
        DeleteFileA(file_.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey.c_str());
    }

    // Starts the program in `language` with one filter and waits for the main window.
    void Launch(const char* language, const char* filter) {
        lang_ = WinPath(TW_LANG_SOURCE);
        lang_ = lang_.substr(0, lang_.find_last_of('\\') + 1) + language + ".txt";
        WriteAll(folder_ + "\\Tracewipe.ini",
                 std::string("[PROGRAM]\r\nInterface=Normal\r\n[WARNING]\r\nReadmeStart=No\r\n"
                             "[LANGUAGE]\r\nCurrentLanguage=") +
                     language + "\r\n");
        const std::string twf = std::string("\\") + filter + ".twf";
        ASSERT_TRUE(
            CopyFileA((WinPath(TW_E2E_FILTER_DIR) + twf).c_str(), (folder_ + twf).c_str(), FALSE));
        app_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_);
        main_ = WaitForWindow(
            app_.id(), [](HWND h) { return tw::ControlName(h) == "frmMain"; }, kFirstWait);
        ASSERT_NE(main_, nullptr) << "the program is " << app_.State();
    }
    HWND OpenPreview() {
        return WaitForWindow(app_.id(), [](HWND h) { return tw::ControlName(h) == "frmPreview"; });
    }
    std::string Lang(const char* id) const {
        char buf[512] = {};
        GetPrivateProfileStringA("Language", id, "?", buf, sizeof buf, lang_.c_str());
        return buf;
    }
    std::string Progress(HWND preview) const {
        return WindowText(FindControl(preview, "lblProgress"));
    }

    std::string folder_, file_, lang_;
    Process app_;
    HWND main_ = nullptr;
};

TEST_F(PreviewGui, ListsWhatTheFilterWouldRemoveAndChangesNothing) {
    for (const char* language : {"English", "German"}) {
        SCOPED_TRACE(language);
        Launch(language, "E2E");
        ASSERT_TRUE(Activate(main_));
        ASSERT_TRUE(SendKey('P', true));
        HWND preview = OpenPreview();
        ASSERT_NE(preview, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return Progress(preview) == Lang("2104"); }, kRunWait))
            << Progress(preview);
        const std::string key = "    " + Lang("2108") + " (HKEY_CURRENT_USER\\" + kKey;
        const std::string counts = ") 1 " + Lang("2112") + ", 1 " + Lang("2113");
        EXPECT_EQ(ListItems(FindControl(preview, "lstPreview")),
                  (std::vector<std::string>{
                      "[FILES] \\twe2e_removed.dll",
                      "    " + Lang("2106") + " (" + file_ + ") 10 " + Lang("2111"),
                      "[REGISTRY.SECTION] HKEY_CURRENT_USER\\" + kKey + "\\Section",
                      key + "\\Section" + counts,
                      "[REGISTRY.SEARCH] HKEY_CURRENT_USER,TwE2ESearchHit",
                      key + "\\Deep\\TwE2ESearchHit" + counts,
                      Lang("2115") + ": 3 " + Lang("2116") + ", 1 " + Lang("2110") + ", 10 " +
                          Lang("2111") + ", 4 " + Lang("2117"),
                  }));
        EXPECT_EQ(WindowText(preview), Lang("2101"));
        EXPECT_FALSE(IsEnabled(FindControl(preview, "cmdCancel")));
        SaveScreenshot(ScreenshotPath(std::string("frmPreview_") + language), preview);
        ASSERT_TRUE(SendKey(VK_ESCAPE));
        EXPECT_TRUE(WaitForWindowGone(preview));
        EXPECT_TRUE(PathExists(file_));
        EXPECT_FALSE(PathExists(folder_ + "\\E2E.twr"));
        EXPECT_FALSE(PathExists(WindowsDir() + "\\cdtwf.dll"));
        app_.Kill();
    }
}

TEST_F(PreviewGui, CancelDuringARegistrySearchEndsThePreviewEarly) {
    WriteAll(WindowsDir() + "\\twe2e_after_search.dll", "after");
    Launch("English", "E2ESlow");
    ASSERT_TRUE(PostMenuCommand(main_, {Lang("1019"), Lang("2100")}));
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    const std::string searching = Lang("2103") + " HKEY_LOCAL_MACHINE,TwE2ENowhere";
    ASSERT_TRUE(WaitUntil([&] { return Progress(preview) == searching; }, kRunWait));
    SaveScreenshot(ScreenshotPath("frmPreview_searching"), preview);
    ASSERT_TRUE(Click(FindControl(preview, "cmdCancel")));
    ASSERT_TRUE(WaitUntil([&] { return Progress(preview) == Lang("2105"); }, kRunWait))
        << Progress(preview);
    // the file entry after the searches was never reached
    EXPECT_EQ(
        ListItems(FindControl(preview, "lstPreview")),
        (std::vector<std::string>{Lang("2115") + ": 0 " + Lang("2116") + ", 0 " + Lang("2110") +
                                      ", 0 " + Lang("2111") + ", 0 " + Lang("2117"),
                                  Lang("2105")}));
    DeleteFileA((WindowsDir() + "\\twe2e_after_search.dll").c_str());
}

} // namespace
