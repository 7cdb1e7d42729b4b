#include "SeedPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace tw::seed {
namespace {

std::vector<FilterEntry> Shipped() {
    std::vector<FilterEntry> all;
    for (const char* name : {"NVIDIA.txt", "ATI.txt"}) {
        std::ifstream f(std::string(TW_FILTER_DIR) + "/" + name, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        auto e = ReadFilterEntries(ss.str());
        all.insert(all.end(), e.begin(), e.end());
    }
    return all;
}

// `path` is `top` or lies below it (letter case ignored, whole names only).
bool Below(std::string path, std::string top) {
    for (auto* s : {&path, &top})
        std::transform(s->begin(), s->end(), s->begin(), ::tolower);
    return path == top || path.rfind(top + "\\", 0) == 0;
}

const Item* Find(const Plan& p, Role role, const std::string& path) {
    auto it = std::find_if(p.items.begin(), p.items.end(),
                           [&](const Item& i) { return i.role == role && i.path == path; });
    return it == p.items.end() ? nullptr : &*it;
}

TEST(SeedPlan, EveryEntryOfTheShippedFiltersHasALeftover) {
    auto entries = Shipped();
    Plan plan = MakePlan(entries);
    EXPECT_TRUE(plan.errors.empty());
    for (const auto& e : entries) {
        SCOPED_TRACE(e.text);
        switch (e.section) {
        case Section::Files:
        case Section::SystemFiles: {
            const Item* i = Find(plan, Role::Leftover, ConcreteName(e.text));
            ASSERT_NE(i, nullptr);
            EXPECT_EQ(i->kind, Kind::File);
            EXPECT_EQ(i->base,
                      e.section == Section::Files ? Base::WindowsFolder : Base::SystemFolder);
            // the concrete name is one the entry really matches
            EXPECT_TRUE(WildcardMatch(e.text, i->path));
            break;
        }
        case Section::Directory:
            ASSERT_NE(Find(plan, Role::Leftover, DirectoryTarget(e.text).second), nullptr);
            break;
        case Section::RegistrySection:
        case Section::RegistryValue:
            ASSERT_NE(Find(plan, Role::Leftover, e.text), nullptr);
            break;
        case Section::RegistrySearch: {
            // a key that the search text names, created where only the search finds it
            std::string text = e.text.substr(e.text.find(',') + 1);
            std::string root = e.text.substr(0, e.text.find(','));
            bool found = std::any_of(plan.items.begin(), plan.items.end(), [&](const Item& i) {
                return i.role == Role::Leftover && i.kind == Kind::Key &&
                       i.create.rfind(root + "\\", 0) == 0 &&
                       i.create.find(text) != std::string::npos &&
                       std::none_of(entries.begin(), entries.end(), [&](const FilterEntry& s) {
                           return s.section == Section::RegistrySection && s.text == i.path;
                       });
            });
            EXPECT_TRUE(found);
            break;
        }
        }
    }
}

TEST(SeedPlan, LookAlikesEscapeEveryEntry) {
    auto entries = Shipped();
    Plan plan = MakePlan(entries);
    int lookAlikes = 0;
    for (const Item& i : plan.items) {
        if (i.role != Role::LookAlike)
            continue;
        ++lookAlikes;
        SCOPED_TRACE(i.path);
        for (const auto& e : entries) {
            switch (e.section) {
            case Section::Files:
            case Section::SystemFiles:
                if ((e.section == Section::Files) == (i.base == Base::WindowsFolder)) {
                    EXPECT_FALSE(WildcardMatch(e.text, i.path)) << e.text;
                }
                break;
            case Section::Directory: {
                auto [base, path] = DirectoryTarget(e.text);
                if (base == i.base) { // the folder itself and what lies below it go
                    EXPECT_FALSE(Below(i.path, path)) << e.text;
                }
                break;
            }
            case Section::RegistrySection:
                if (i.base == Base::Registry) {
                    EXPECT_FALSE(Below(i.path, e.text)) << e.text;
                }
                break;
            case Section::RegistryValue:
                EXPECT_NE(i.path, e.text);
                break;
            case Section::RegistrySearch: {
                std::string text = e.text.substr(e.text.find(',') + 1);
                std::string lower = i.path, ltext = text;
                for (auto* s : {&lower, &ltext})
                    std::transform(s->begin(), s->end(), s->begin(), ::tolower);
                if (i.kind == Kind::Key) {
                    EXPECT_EQ(lower.find(ltext), std::string::npos) << e.text;
                }
                break;
            }
            }
        }
    }
    EXPECT_GE(lookAlikes, 15);
}

TEST(SeedPlan, SearchWithoutSampleIsAnErrorAndDuplicatesCollapse) {
    Plan plan = MakePlan({{Section::RegistrySearch, "HKEY_LOCAL_MACHINE,Some New Vendor"},
                          {Section::SystemFiles, "\\nvcpl.dll"},
                          {Section::SystemFiles, "\\nvcpl.dll"},
                          {Section::Files, "\\nvcpl.dll"}});
    ASSERT_EQ(plan.errors.size(), 1u);
    EXPECT_NE(plan.errors[0].find("Some New Vendor"), std::string::npos);
    auto n = std::count_if(plan.items.begin(), plan.items.end(), [](const Item& i) {
        return i.role == Role::Leftover && i.path == "\\nvcpl.dll";
    });
    EXPECT_EQ(n, 2); // one in the system folder, one in the Windows folder
}

TEST(SeedPlan, DirectoryTargetUsesTheExactProgramFilesPrefix) {
    struct Case {
        const char* entry;
        Base base;
        const char* path;
    } cases[] = {
        {"\\Program Files\\NVIDIA Corporation", Base::ProgramFiles, "\\NVIDIA Corporation"},
        {"\\Program Files (x86)\\ATI", Base::ProgramFiles, " (x86)\\ATI"},
        {"\\program files\\ATI", Base::WindowsDrive, "\\program files\\ATI"},
        {"\\NVIDIA", Base::WindowsDrive, "\\NVIDIA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        auto [base, path] = DirectoryTarget(c.entry);
        EXPECT_EQ(base, c.base);
        EXPECT_EQ(path, c.path);
    }
}

} // namespace
} // namespace tw::seed
