// Drives the test window end to end: every driver call against a real window of
// another process on the virtual display.
#include "GuiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace tw::gui {
namespace {

constexpr char kTitle[] = "Driver Test Window";
constexpr DWORD kWait = 5000;
// The first window of a run also waits for Wine to start its desktop.
constexpr DWORD kFirstWait = 30000;

std::string TestWindowExe() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string path(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "tw_testwindow.exe";
}

bool Contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

class TestWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        app_ = Process::Launch("\"" + TestWindowExe() + "\"");
        top_ = WaitForWindow(app_.id(), TitleIs(kTitle), kFirstWait);
        ASSERT_NE(top_, nullptr) << "the test window did not appear; it is " << app_.State();
    }

    HWND Control(const char* name) {
        HWND h = FindControl(top_, name);
        EXPECT_NE(h, nullptr) << name;
        return h;
    }

    // The status label reaches `text` within the bound.
    ::testing::AssertionResult StatusBecomes(const std::string& text) {
        HWND status = FindControl(top_, "lblStatus");
        if (WaitUntil([&] { return WindowText(status) == text; }, kWait))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "status is \"" << WindowText(status) << "\", expected \"" << text << "\"";
    }

    Process app_;
    HWND top_ = nullptr;
};

TEST_F(TestWindow, ReadsNamedControlsTextsAndStates) {
    auto names = ControlNames(top_);
    for (const char* n : {"txtName", "cboChoice", "chkOption", "optFirst", "optSecond", "cmdAdd",
                          "cmdDisabled", "lblStatus", "lstItems"}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(Contains(names, n));
    }
    EXPECT_EQ(FindControl(top_, "cmdMissing"), nullptr);
    EXPECT_EQ(WindowText(top_), kTitle);
    EXPECT_EQ(WindowText(Control("lblStatus")), "Ready");
    EXPECT_EQ(WindowText(Control("cmdAdd")), "&Add");
    // The second line holds a character outside ASCII: it must come back in the ANSI
    // code page, as the program wrote it.
    EXPECT_EQ(ListItems(Control("lstItems")),
              (std::vector<std::string>{"First line", "Caf\xe9 au lait"}));
    EXPECT_EQ(ComboItems(Control("cboChoice")),
              (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(ComboSelection(Control("cboChoice")), -1);
    EXPECT_TRUE(IsEnabled(Control("cmdAdd")));
    EXPECT_FALSE(IsEnabled(Control("cmdDisabled")));
    EXPECT_TRUE(IsShown(Control("lstItems")));
    EXPECT_EQ(FontFace(Control("cmdAdd")), "Tahoma");
    EXPECT_EQ(WindowClass(Control("lstItems")), "ListBox");
}

TEST_F(TestWindow, ClickOpensMessageBoxThatIsAnsweredBothWays) {
    struct Case {
        int answer;
        const char* status;
        size_t items;
    } cases[] = {{IDYES, "Added", 3}, {IDNO, "Declined", 3}, {IDYES, "Added", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        ASSERT_TRUE(Click(Control("cmdAdd")));
        auto box = WaitForMessageBox(app_.id(), kWait);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->title, "Confirm");
        EXPECT_EQ(box->text, "Add an item?");
        EXPECT_TRUE(std::count(box->buttons.begin(), box->buttons.end(), IDYES) == 1);
        EXPECT_TRUE(std::count(box->buttons.begin(), box->buttons.end(), IDNO) == 1);
        EXPECT_FALSE(AnswerMessageBox(box->hwnd, IDOK)); // a yes/no box has no OK
        ASSERT_TRUE(AnswerMessageBox(box->hwnd, c.answer));
        EXPECT_TRUE(WaitForWindowGone(box->hwnd, kWait));
        EXPECT_TRUE(StatusBecomes(c.status));
        EXPECT_EQ(ListItems(Control("lstItems")).size(), c.items);
    }
    auto items = ListItems(Control("lstItems"));
    EXPECT_EQ(items.at(2), "Item 1");
    EXPECT_EQ(items.at(3), "Item 2");
}

TEST_F(TestWindow, ResolvesAndPostsMenuCommandsByCaptionPath) {
    struct Case {
        std::vector<std::string> path;
        std::optional<UINT> id;
        std::optional<bool> enabled;
    } cases[] = {
        {{"File", "Add Item"}, 101, true},
        {{"file", "EXIT"}, 103, true},
        {{"&File", "&Clear"}, 102, true},
        {{"File", "Disabled"}, 104, false},
        {{"Help", "About..."}, 201, true},
        {{"File"}, std::nullopt, true}, // a submenu is no command
        {{"File", "Missing"}, std::nullopt, std::nullopt},
        {{"Edit", "Clear"}, std::nullopt, std::nullopt},
        {{"File", "Clear", "Deeper"}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.back());
        EXPECT_EQ(MenuCommandId(top_, c.path), c.id);
        EXPECT_EQ(MenuItemEnabled(top_, c.path), c.enabled);
    }

    ASSERT_TRUE(PostMenuCommand(top_, {"File", "Add Item"}));
    EXPECT_TRUE(StatusBecomes("Menu"));
    EXPECT_EQ(ListItems(Control("lstItems")).back(), "Menu item");
    ASSERT_TRUE(PostMenuCommand(top_, 102));
    EXPECT_TRUE(StatusBecomes("Cleared"));
    EXPECT_TRUE(ListItems(Control("lstItems")).empty());
    EXPECT_FALSE(PostMenuCommand(top_, {"File", "Missing"}));

    ASSERT_TRUE(PostMenuCommand(top_, {"Help", "About..."}));
    auto box = WaitForMessageBox(app_.id(), kWait);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, "About");
    EXPECT_EQ(box->text, "Driver test window");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    ASSERT_TRUE(AnswerMessageBox(box->hwnd, IDOK));
    EXPECT_TRUE(StatusBecomes("About shown"));
}

TEST_F(TestWindow, SelectsComboEntriesAndSetsCheckBoxesWithNotifications) {
    HWND combo = Control("cboChoice");
    ASSERT_TRUE(SelectCombo(combo, "Beta"));
    EXPECT_TRUE(StatusBecomes("Chose Beta"));
    EXPECT_EQ(ComboSelection(combo), 1);
    ASSERT_TRUE(SelectCombo(combo, 2));
    EXPECT_TRUE(StatusBecomes("Chose Gamma"));
    EXPECT_FALSE(SelectCombo(combo, "Zeta"));
    EXPECT_FALSE(SelectCombo(combo, 7));
    EXPECT_EQ(ComboSelection(combo), 2);

    HWND check = Control("chkOption");
    EXPECT_EQ(IsChecked(check), false);
    ASSERT_TRUE(SetChecked(check, true));
    EXPECT_TRUE(StatusBecomes("Option on"));
    ASSERT_TRUE(SetChecked(check, false));
    EXPECT_TRUE(StatusBecomes("Option off"));

    HWND first = Control("optFirst");
    HWND second = Control("optSecond");
    ASSERT_TRUE(SetChecked(first, true));
    EXPECT_TRUE(StatusBecomes("First chosen"));
    ASSERT_TRUE(SetChecked(second, true));
    EXPECT_TRUE(StatusBecomes("Second chosen"));
    EXPECT_EQ(IsChecked(first), false); // the group clears the other option
    EXPECT_EQ(IsChecked(Control("cmdAdd")), std::nullopt);
    EXPECT_FALSE(SetChecked(Control("cmdAdd"), true));
}

TEST_F(TestWindow, TypesTextTabEnterEscapeAndShortcuts) {
    HWND name = Control("txtName");
    ASSERT_EQ(FocusedControl(top_), name);
    ASSERT_TRUE(PostChars(name, "abc"));
    ASSERT_TRUE(PostKey(name, VK_RETURN));
    EXPECT_TRUE(StatusBecomes("Entered"));
    EXPECT_EQ(ListItems(Control("lstItems")).back(), "Typed abc");

    ASSERT_TRUE(PostKey(name, VK_TAB));
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(top_) == Control("cboChoice"); }, kWait));

    ASSERT_TRUE(Activate(top_));
    ASSERT_TRUE(SendKey('R', /*ctrl=*/true));
    EXPECT_TRUE(StatusBecomes("Menu"));
    EXPECT_EQ(ListItems(Control("lstItems")).back(), "Menu item");
    ASSERT_TRUE(SendKey(VK_ESCAPE));
    EXPECT_TRUE(StatusBecomes("Escaped"));
}

// Width and height from the IHDR chunk of a PNG file; {0, 0} when it is no PNG.
std::pair<unsigned, unsigned> PngSize(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    unsigned char h[24] = {};
    f.read(reinterpret_cast<char*>(h), sizeof h);
    const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!f || !std::equal(sig, sig + 8, h) || std::string(h + 12, h + 16) != "IHDR")
        return {0, 0};
    auto be = [&](int o) {
        return (unsigned{h[o]} << 24) | (unsigned{h[o + 1]} << 16) | (unsigned{h[o + 2]} << 8) |
               unsigned{h[o + 3]};
    };
    return {be(16), be(20)};
}

TEST_F(TestWindow, SavesDesktopAndWindowScreenshotsAsPng) {
    std::string desktop = ScreenshotPath("guidriver_desktop");
    std::string window = ScreenshotPath("guidriver_testwindow");
    DeleteFileA(desktop.c_str());
    DeleteFileA(window.c_str());
    ASSERT_TRUE(SaveScreenshot(desktop));
    ASSERT_TRUE(SaveScreenshot(window, top_));

    // The tests' windows live in the prefix's 1024x768 virtual desktop, not on the bare
    // 1280x1024 X screen, where no window manager answers and every closing window waits
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    auto full = PngSize(desktop);
    EXPECT_EQ(full.first, static_cast<unsigned>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(full.second, static_cast<unsigned>(GetSystemMetrics(SM_CYSCREEN)));
    RECT r;
    ASSERT_TRUE(GetWindowRect(top_, &r));
    auto part = PngSize(window);
    EXPECT_EQ(part.first, static_cast<unsigned>(r.right - r.left));
    EXPECT_EQ(part.second, static_cast<unsigned>(r.bottom - r.top));
}

TEST_F(TestWindow, ExitCommandEndsTheProgramWithItsCode) {
    EXPECT_EQ(app_.State(), "running");
    ASSERT_TRUE(PostMenuCommand(top_, {"File", "Exit"}));
    EXPECT_EQ(app_.WaitForExit(kWait), std::optional<DWORD>(7));
    EXPECT_FALSE(app_.Running());
    EXPECT_EQ(app_.State(), "ended with exit code 7");
    EXPECT_TRUE(WaitForWindowGone(top_, kWait));
}

TEST(GuiDriverBounds, WaitsEndAtTheirBoundInsteadOfHanging) {
    Process app = Process::Launch("\"" + TestWindowExe() + "\"");
    HWND top = WaitForWindow(app.id(), TitleIs(kTitle), kFirstWait);
    ASSERT_NE(top, nullptr);

    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(WaitForWindow(app.id(), TitleIs("Never Shown"), 300), nullptr);
    EXPECT_FALSE(WaitForMessageBox(app.id(), 300).has_value());
    EXPECT_EQ(WaitForControl(top, "cmdNever", 300), nullptr);
    EXPECT_FALSE(app.WaitForExit(300).has_value());
    EXPECT_FALSE(WaitForWindowGone(top, 300));
    EXPECT_LT(GetTickCount64() - start, 4000u);

    app.Kill();
    EXPECT_FALSE(app.Running());
    EXPECT_EQ(app.WaitForExit(0), std::optional<DWORD>(1));
}

TEST(GuiDriverBounds, WindowOpenedLateIsFoundAndMissingProgramIsAnError) {
    Process late = Process::Launch("\"" + TestWindowExe() + "\" --delay 1500");
    EXPECT_EQ(FindTopLevel(late.id(), TitleIs(kTitle)), nullptr);
    EXPECT_NE(WaitForWindow(late.id(), AllOf(TitleIs(kTitle), ClassIs("TwTestWindow")), kWait),
              nullptr);
    EXPECT_EQ(FindTopLevel(late.id(), AllOf(TitleIs(kTitle), ClassIs("Other"))), nullptr);
    EXPECT_THROW(Process::Launch("\"C:\\no such folder\\missing.exe\""), DriverError);
}

} // namespace
} // namespace tw::gui
