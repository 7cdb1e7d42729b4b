#include "RegTestUtil.h"
#include "core/AppError.h"
#include "registry/cRegSearch.h"

namespace {

using namespace regtest;
using tw::cRegSearch;

const HKEY kCU = HKEY_CURRENT_USER;
const std::string kBase = std::string(kTestKey) + "\\Search";
constexpr char kCurrentUser[] = "&H80000001";

struct Hit {
    std::string root, key, value;
    bool operator==(const Hit&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Hit& h) {
    return os << h.root << "|" << h.key << "|" << h.value;
}

class Recorder : public cRegSearch::Events {
  public:
    void SearchFound(const std::string& r, const std::string& k, const std::string& v) override {
        hits.push_back({r, k, v});
        if (onHit)
            onHit();
    }
    void SearchFinished(long reason) override { finished.push_back(reason); }
    std::vector<Hit> hits;
    std::vector<long> finished;
    std::function<void()> onHit;
};

class Search : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        search_.SetEvents(&rec_);
        search_.YieldInterval(0);
    }
    void Run(const std::string& root, const std::string& text, long flags = 0,
             const std::string& sub = kBase) {
        search_.RootKey(root);
        search_.SubKey(sub);
        search_.SearchString(text);
        search_.SearchFlags(flags);
        search_.DoSearch();
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const Hit& h : rec_.hits)
            keys.push_back(h.key);
        return keys;
    }
    cRegSearch search_;
    Recorder rec_;
};

TEST_F(Search, KeyNamesContainingTheTextInAnyCaseParentsFirst) {
    CreateKey(kCU, kBase + "\\Radiation\\Inner ati");
    CreateKey(kCU, kBase + "\\Radiation\\Plain");
    CreateKey(kCU, kBase + "\\Other\\Deep\\xATIx");
    CreateKey(kCU, kBase + "\\AT");
    SetString(kCU, kBase + "\\Other", "ATI value name", "ATI data");

    Run(kCurrentUser, "ATI");
    const std::vector<Hit> expected = {
        {"HKEY_CURRENT_USER", kBase + "\\Other\\Deep\\xATIx", "*"},
        {"HKEY_CURRENT_USER", kBase + "\\Radiation", "*"},
        {"HKEY_CURRENT_USER", kBase + "\\Radiation\\Inner ati", "*"},
    };
    EXPECT_EQ(rec_.hits, expected);
    EXPECT_EQ(rec_.finished, std::vector<long>{0});
}

TEST_F(Search, AnErrorInTheHandlerEndsTheSearchWithItsNumber) {
    CreateKey(kCU, kBase + "\\Ati1\\Ati2");
    CreateKey(kCU, kBase + "\\Ati3");
    rec_.onHit = [] { throw tw::AppError(1234, "handler", "broken"); };
    Run(kCurrentUser, "Ati");
    EXPECT_EQ(rec_.hits.size(), 1u);
    EXPECT_EQ(rec_.finished, std::vector<long>{1234});

    // the reason is reset: the next search runs normally
    rec_.onHit = nullptr;
    rec_.hits.clear();
    Run(kCurrentUser, "Ati");
    EXPECT_EQ(rec_.hits.size(), 3u);
    EXPECT_EQ(rec_.finished.back(), 0);
}

// A window whose closing stops the search, as the cleaning windows do when they unload.
struct ClosingWindow {
    static inline cRegSearch* search = nullptr;
    static inline int destroyed = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_DESTROY) {
            ++destroyed;
            if (search)
                search->StopSearch();
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    HWND Create() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TwSearchTestWindow";
        RegisterClassA(&wc);
        return CreateWindowA("TwSearchTestWindow", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    }
};

// Closing the window while searches share a walk stops the walk for every entry of the
// group; the next group walks whole again.
TEST_F(Search, ClosingTheWindowDuringASharedWalkStopsIt) {
    // the start key's own loop finishes its direct subkeys; nothing below them is visited
    CreateKey(kCU, kBase + "\\Ati A\\Ati Deep");
    CreateKey(kCU, kBase + "\\Ati B\\Ati Deeper");
    auto run = [&] {
        search_.SubKey(kBase);
        search_.DoSearches({{kCurrentUser, "Ati"}, {kCurrentUser, "Deep"}});
    };
    ClosingWindow w;
    ClosingWindow::search = &search_;
    HWND hwnd = w.Create();
    ASSERT_TRUE(hwnd);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    run();
    ClosingWindow::search = nullptr;
    EXPECT_EQ(ClosingWindow::destroyed, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Keys(), (std::vector<std::string>{kBase + "\\Ati A", kBase + "\\Ati B"}));
    EXPECT_EQ(rec_.finished, (std::vector<long>{1, 1}));

    rec_.hits.clear();
    run();
    EXPECT_EQ(rec_.hits.size(), 6u);
    EXPECT_EQ(rec_.finished.back(), 0);
}

TEST_F(Search, AQuitMessageMetWhileYieldingIsPostedAgain) {
    CreateKey(kCU, kBase + "\\Ati A\\Ati Deep");
    PostQuitMessage(7);
    Run(kCurrentUser, "Ati");
    EXPECT_EQ(rec_.hits.size(), 2u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

} // namespace
