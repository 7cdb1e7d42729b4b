// The twdrive command line against the test window: what scripts see on standard
// output and in the exit code.
#include "DriverText.h"
#include "GuiDriver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tw::gui {
namespace {

constexpr char kWindow[] = "--title \"Driver Test Window\" ";

std::string TestWindowExe() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string path(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "tw_testwindow.exe";
}

struct Result {
    std::optional<DWORD> code;
    std::string out; // line ends as "\n"
};

Result Twdrive(const std::string& args) {
    std::string outFile = WinePath(TW_TWDRIVE_OUT);
    Process p = Process::Launch("\"" + WinePath(TW_TWDRIVE_EXE) + "\" " + args, {}, outFile);
    Result r;
    r.code = p.WaitForExit(30000);
    std::ifstream f(outFile, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    for (char c : ss.str()) {
        if (c != '\r')
            r.out += c;
    }
    return r;
}

class Twdrive_ : public ::testing::Test {
  protected:
    void SetUp() override {
        app_ = Process::Launch("\"" + TestWindowExe() + "\"");
        top_ = WaitForWindow(app_.id(), TitleIs("Driver Test Window"), 30000);
        ASSERT_NE(top_, nullptr) << "the test window did not appear; it is " << app_.State();
    }
    Process app_;
    HWND top_ = nullptr;
};

TEST_F(Twdrive_, ReadsWindowsAndReportsMissingThingsByExitCode) {
    struct Case {
        std::string args;
        DWORD code;
        const char* out;
    } cases[] = {
        {std::string("text ") + kWindow, 0, "Driver Test Window\n"},
        {std::string("text ") + kWindow + "--control lblStatus", 0, "Ready\n"},
        {std::string("list ") + kWindow + "--control lstItems", 0, "First line\nCaf\xe9 au lait\n"},
        {std::string("combo ") + kWindow + "--control cboChoice", 0, "Alpha\nBeta\nGamma\n"},
        {std::string("enabled ") + kWindow + "--control cmdDisabled", 0, "0\n"},
        {std::string("font --title-prefix \"Driver Test\" --control cmdAdd"), 0, "Tahoma\n"},
        {std::string("menu-enabled ") + kWindow + "File/Disabled", 0, "0\n"},
        {std::string("menu-enabled ") + kWindow + "Help About...", 0, "1\n"},
        {std::string("menu-enabled ") + kWindow + "File/Missing", 1, ""},
        {std::string("click ") + kWindow + "--control cmdMissing --timeout 300", 1, ""},
        {"wait-window --title Missing --timeout 300", 1, ""},
        {"answer-msgbox --button yes --timeout 300", 1, ""},
        {"answer-msgbox --button maybe", 2, ""},
        {"frobnicate --title x", 2, ""},
        {std::string("click ") + kWindow, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Twdrive(c.args);
        EXPECT_EQ(r.code, std::optional<DWORD>(c.code));
        if (c.code == 0) {
            EXPECT_EQ(r.out, c.out);
        }
    }
}

TEST_F(Twdrive_, DrivesTheWindowFromClickToClose) {
    HWND list = FindControl(top_, "lstItems");
    HWND status = FindControl(top_, "lblStatus");
    auto statusIs = [&](const char* s) {
        return WaitUntil([&] { return WindowText(status) == s; }, 5000);
    };

    EXPECT_EQ(Twdrive(std::string("click ") + kWindow + "--control cmdAdd").code, 0u);
    Result box =
        Twdrive("answer-msgbox --button yes --print-text --pid " + std::to_string(app_.id()));
    EXPECT_EQ(box.code, 0u);
    EXPECT_EQ(box.out, "Confirm\nAdd an item?\n");
    EXPECT_TRUE(statusIs("Added"));
    EXPECT_EQ(ListItems(list).back(), "Item 1");

    EXPECT_EQ(Twdrive(std::string("menu ") + kWindow + "File/Clear").code, 0u);
    EXPECT_TRUE(statusIs("Cleared"));
    EXPECT_EQ(Twdrive(std::string("select ") + kWindow + "--control cboChoice --item Beta").code,
              0u);
    EXPECT_TRUE(statusIs("Chose Beta"));
    EXPECT_EQ(Twdrive(std::string("combo --selected ") + kWindow + "--control cboChoice").out,
              "Beta\n");
    EXPECT_EQ(Twdrive(std::string("check ") + kWindow + "--control chkOption --state on").code, 0u);
    EXPECT_TRUE(statusIs("Option on"));
    EXPECT_EQ(Twdrive(std::string("keys ") + kWindow + "ctrl+r").code, 0u);
    EXPECT_TRUE(statusIs("Menu"));
    EXPECT_EQ(ListItems(list), std::vector<std::string>{"Menu item"});

    std::string shot = ScreenshotPath("twdrive_testwindow");
    DeleteFileA(shot.c_str());
    EXPECT_EQ(Twdrive("screenshot \"" + shot + "\" --window " + kWindow).code, 0u);
    EXPECT_NE(GetFileAttributesA(shot.c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Twdrive(std::string("close ") + kWindow).code, 0u);
    EXPECT_EQ(app_.WaitForExit(5000), std::optional<DWORD>(7));
}

} // namespace
} // namespace tw::gui
