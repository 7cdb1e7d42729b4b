#include "RegTestUtil.h"
#include "core/AppError.h"
#include "registry/cRegSearch.h"

namespace {

using namespace regtest;
using tw::cRegSearch;

const HKEY kCU = HKEY_CURRENT_USER;
const std::string kBase = std::string(kTestKey) + "\\Search";
constexpr char kCurrentUser[] = "&H80000001";

// A hit as the recorder keeps it: root|key|value, for a key below kBase.
std::string KeyHit(const std::string& key) {
    return "HKEY_CURRENT_USER|" + kBase + "\\" + key + "|*";
}

struct Recorder : cRegSearch::Events {
    void SearchFound(const std::string& r, const std::string& k, const std::string& v) override {
        hits.push_back(r + "|" + k + "|" + v);
        if (onHit)
            onHit();
    }
    void SearchFinished(long reason) override { finished.push_back(reason); }
    std::vector<std::string> hits;
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
    void Run(const std::string& text) {
        search_.RootKey(kCurrentUser);
        search_.SubKey(kBase);
        search_.SearchString(text);
        search_.SearchFlags(0);
        search_.DoSearch();
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
    Run("ATI");
    EXPECT_EQ(rec_.hits,
              (std::vector<std::string>{KeyHit("Other\\Deep\\xATIx"), KeyHit("Radiation"),
                                        KeyHit("Radiation\\Inner ati")}));
    EXPECT_EQ(rec_.finished, std::vector<long>{0});
}

TEST_F(Search, AnErrorInTheHandlerEndsTheSearchWithItsNumber) {
    CreateKey(kCU, kBase + "\\Ati1\\Ati2");
    CreateKey(kCU, kBase + "\\Ati3");
    rec_.onHit = [] { throw tw::AppError(1234, "handler", "broken"); };
    Run("Ati");
    EXPECT_EQ(rec_.hits.size(), 1u);
    EXPECT_EQ(rec_.finished, std::vector<long>{1234});

    // the reason is reset: the next search runs whole, past a WM_QUIT met while it yields,
    // which is posted again
    rec_.onHit = nullptr;
    rec_.hits.clear();
    PostQuitMessage(7);
    Run("Ati");
    EXPECT_EQ(rec_.hits.size(), 3u);
    EXPECT_EQ(rec_.finished.back(), 0);
    ExpectQuitWaiting(7);
}

// A window whose closing stops the search, as the cleaning windows do when they unload.
struct ClosingWindow {
    static inline cRegSearch* search = nullptr;
    static inline int destroyed = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        destroyed += m == WM_DESTROY;
        if (m == WM_DESTROY && search)
            search->StopSearch();
        return DefWindowProcA(h, m, w, l);
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
    ClosingWindow::search = &search_;
    HWND hwnd = MessageWindow("TwSearchTestWindow", ClosingWindow::Proc);
    ASSERT_TRUE(hwnd);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    run();
    ClosingWindow::search = nullptr;
    EXPECT_EQ(ClosingWindow::destroyed, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(rec_.hits, (std::vector<std::string>{KeyHit("Ati A"), KeyHit("Ati B")}));
    EXPECT_EQ(rec_.finished, (std::vector<long>{1, 1}));

    rec_.hits.clear();
    run();
    EXPECT_EQ(rec_.hits.size(), 6u);
    EXPECT_EQ(rec_.finished.back(), 0);
}

} // namespace
