// clsProtection.DecodeFile on real files: what it replaces, what it leaves alone.
#include "DecodeTestUtil.h"

#include "decode/Encoder.h"
#include "decode/clsProtection.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace tw::testing {
namespace {

using twtest::ReadAll;

void Write(const std::string& path, const Bytes& bytes, DWORD attributes = 0) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    twtest::WriteAll(path, std::string(bytes.begin(), bytes.end()));
    if (attributes)
        SetFileAttributesA(path.c_str(), attributes);
}

class DecodeFileTest : public ::testing::Test {
  protected:
    // Decodes and returns the error's description, "" when it succeeded.
    std::string DecodeFile(const std::string& source, const std::string& dest) {
        clsProtection Protection;
        Protection.SetProgressHandler([this](std::int16_t p) { events_.push_back(p); });
        try {
            Protection.DecodeFile(source, dest);
            return "";
        } catch (const AppError& e) {
            number_ = e.number();
            sourceText_ = e.source();
            return e.description();
        }
    }
    std::string Path(const std::string& name) const { return dir_ / name; }

    FakeTexts texts_;
    twtest::Scratch dir_{"decodefile"};
    std::vector<int> events_;
    long number_ = 0;
    std::string sourceText_;
};

TEST_F(DecodeFileTest, ExistingDestinationIsReplacedWhateverItsAttributes) {
    const Bytes plain = EnglishLike(25000, 4);
    Write(Path("filter.twf"), EncodeHuffman(plain));
    const DWORD hiding = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD cases[] = {0, FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY, hiding};
    for (DWORD attributes : cases) {
        SCOPED_TRACE(attributes);
        const std::string dest = Path("cdtwf.dll");
        twtest::RemoveTree(dest);
        if (attributes)
            Write(dest, RandomBytes(40000, 1), attributes); // longer than the result
        events_.clear();
        ASSERT_EQ(DecodeFile(Path("filter.twf"), dest), "");
        EXPECT_TRUE(ReadAll(dest) == std::string(plain.begin(), plain.end()));
        EXPECT_EQ(GetFileAttributesA(dest.c_str()) & hiding, 0u);
        ASSERT_FALSE(events_.empty());
        EXPECT_EQ(events_.back(), 100);
    }
}

// A missing or folder source fails before anything is touched; a decode error leaves the
// destination as it was too, also a changed checksum, found after the whole file is decoded.
TEST_F(DecodeFileTest, DestinationIsUntouchedOnAnyError) {
    Bytes badChecksum = EncodeHuffman(EnglishLike(5000, 2));
    badChecksum[4] ^= 0xFF;
    struct Case {
        const char* name;
        std::optional<Bytes> source; // none: the source is the path `name`
        const char* description;
    };
    twtest::MakeDir(Path("folder"));
    const Case cases[] = {
        {"missing.twf", {}, "text 0320"},
        {"folder", {}, "text 0320"},
        {"changed checksum", badChecksum, "text 0322"},
        {"empty file", Bytes{}, "Subscript out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = Path(c.source ? "bad.twf" : c.name);
        if (c.source)
            Write(source, *c.source);
        Write(Path("dest.dll"), ToBytes("keep me"), FILE_ATTRIBUTE_READONLY);
        events_.clear();
        EXPECT_EQ(DecodeFile(source, Path("dest.dll")), c.description);
        EXPECT_EQ(ReadAll(Path("dest.dll")), "keep me");
        EXPECT_NE(GetFileAttributesA(Path("dest.dll").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        if (!c.source) {
            EXPECT_EQ(number_, kAppErrorNumber);
            EXPECT_EQ(sourceText_, "clsProtection.DecodeFile()");
            EXPECT_TRUE(events_.empty());
        }
        EXPECT_FALSE(DecodeFile(source, Path("new.dll")).empty());
        EXPECT_FALSE(twtest::Exists(Path("new.dll")));
    }
    EXPECT_FALSE(twtest::Exists(Path("missing.twf")));
}

} // namespace
} // namespace tw::testing
