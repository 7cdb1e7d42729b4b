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
