// The preview window of the real Tracewipe.exe, opened from the Normal interface: its list for
// a small filter on seeded items, in English and German. The items stay where they are.
#include "support/ProgramTest.h"

namespace {

using namespace twtest;

const std::string kKey = "Software\\TracewipeE2E";

class PreviewGui : public ProgramTest {
  protected:
    void SetUp() override {
        Clear();
        WriteAll(file_, "preview me");
        for (const char* key : {"\\Section\\Sub", "\\Deep\\TwE2ESearchHit\\Inner"})
            SetString(HKEY_CURRENT_USER, kKey + key, "v", "1");
    }
    void TearDown() override {
        ProgramTest::TearDown();
        Clear();
    }
    void Clear() {
        DeleteFileA(file_.c_str());
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
    }

    // Starts the program in `language` with the E2E filter.
    void Launch(const char* language) {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng"});
        WriteSettings("Interface=Normal", language);
        CopyIn(TW_E2E_FILTER_DIR, "E2E.twf");
        ProgramTest::Launch("frmMain");
    }

    std::string file_ = WindowsDir() + "\\twe2e_removed.dll";
};

TEST_F(PreviewGui, ListsWhatTheFilterWouldRemoveAndChangesNothing) {
    for (const char* language : {"English", "German"}) {
        SCOPED_TRACE(language);
        Launch(language);
        HWND preview = Open("frmPreview", 'P');
        ASSERT_NE(preview, nullptr);
        HWND progress = FindControl(preview, "lblProgress");
        ASSERT_TRUE(WaitUntil([&] { return WindowText(progress) == Lang("2104"); }, kRunWait))
            << WindowText(progress);
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
        SaveScreenshot(ScreenshotPath(std::string("frmPreview_result_") + language), preview);
        ASSERT_TRUE(SendKey(VK_ESCAPE));
        EXPECT_TRUE(WaitForWindowGone(preview));
        EXPECT_TRUE(Exists(file_));
        EXPECT_FALSE(Exists(folder_ + "\\E2E.twr"));
        EXPECT_FALSE(Exists(WindowsDir() + "\\cdtwf.dll"));
        app_.Kill();
    }
}

} // namespace
