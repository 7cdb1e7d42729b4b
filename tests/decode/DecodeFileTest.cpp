// clsProtection.DecodeFile on real files: what it replaces, what it leaves alone.
#include "DecodeTestUtil.h"

#include "core/Text.h"
#include "decode/Encoder.h"
#include "decode/clsProtection.h"
#include "win/FileExists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tw::testing {
namespace {

namespace fs = std::filesystem;

std::string FakeLanguage(std::string_view id) {
    return "text " + std::string(id);
}

class DecodeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTextLookup(&FakeLanguage);
        dir_ = fs::temp_directory_path() /
               ("decodefile_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        Cleanup();
        fs::create_directories(dir_);
    }
    void TearDown() override {
        SetTextLookup(nullptr);
        Cleanup();
    }
    void Cleanup() {
        std::error_code ec;
        if (fs::exists(dir_, ec))
            for (const auto& e : fs::directory_iterator(dir_, ec))
                MakeNormal(e.path().string());
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    static std::string Read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void Write(const std::string& p, const Bytes& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
#ifdef _WIN32
    static void SetAttributes(const std::string& p, DWORD a) {
        SetFileAttributesA(p.c_str(), a);
    }
    static DWORD Attributes(const std::string& p) {
        return GetFileAttributesA(p.c_str());
    }
    static void MakeNormal(const std::string& p) {
        SetAttributes(p, FILE_ATTRIBUTE_NORMAL);
    }
    static void MakeReadOnly(const std::string& p) {
        SetAttributes(p, FILE_ATTRIBUTE_READONLY);
    }
    static bool IsReadOnly(const std::string& p) {
        return (Attributes(p) & FILE_ATTRIBUTE_READONLY) != 0;
    }
#else
    static void MakeNormal(const std::string& p) {
        chmod(p.c_str(), 0644);
    }
    static void MakeReadOnly(const std::string& p) {
        chmod(p.c_str(), 0444);
    }
    static bool IsReadOnly(const std::string& p) {
        struct stat st;
        return stat(p.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
    }
#endif

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

    fs::path dir_;
    std::vector<int> events_;
    long number_ = 0;
    std::string sourceText_;
};

TEST_F(DecodeFileTest, MissingSourceFailsBeforeAnythingIsTouched) {
    Write(Path("dest"), ToBytes("old"));
    MakeReadOnly(Path("dest"));
    EXPECT_EQ(DecodeFile(Path("missing.twf"), Path("dest")), "text 0320");
    EXPECT_EQ(number_, kAppErrorNumber);
    EXPECT_EQ(sourceText_, "clsProtection.DecodeFile()");
    EXPECT_EQ(Read(Path("dest")), "old");
    EXPECT_TRUE(IsReadOnly(Path("dest")));
    EXPECT_FALSE(fs::exists(Path("missing.twf")));
    EXPECT_TRUE(events_.empty());
    // A folder is not a file to decode either.
    fs::create_directory(Path("folder"));
    EXPECT_EQ(DecodeFile(Path("folder"), Path("dest")), "text 0320");
}

TEST_F(DecodeFileTest, ExistingDestinationIsReplacedWhateverItsAttributes) {
    const Bytes plain = EnglishLike(25000, 4);
    Write(Path("filter.twf"), EncodeHuffman(plain));
    struct Case {
        const char* name;
        bool exists;
        bool readOnly;
        bool hidden;
    };
    const Case cases[] = {
        {"no destination", false, false, false},
        {"plain destination", true, false, false},
        {"read-only destination", true, true, false},
#ifdef _WIN32
        {"hidden destination", true, false, true},
        {"read-only, hidden, system destination", true, true, true},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dest = Path("cdtwf.dll");
        if (fs::exists(dest)) {
            MakeNormal(dest);
            fs::remove(dest);
        }
        if (c.exists) {
            Write(dest, RandomBytes(40000, 1)); // longer than the result
#ifdef _WIN32
            DWORD a = (c.readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                      (c.hidden ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0);
            SetAttributes(dest, a ? a : FILE_ATTRIBUTE_NORMAL);
#else
            if (c.readOnly)
                MakeReadOnly(dest);
#endif
        }
        events_.clear();
        ASSERT_EQ(DecodeFile(Path("filter.twf"), dest), "");
        EXPECT_TRUE(Read(dest) == std::string(plain.begin(), plain.end()));
        EXPECT_FALSE(IsReadOnly(dest));
#ifdef _WIN32
        EXPECT_EQ(Attributes(dest) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
#endif
        ASSERT_FALSE(events_.empty());
        EXPECT_EQ(events_.back(), 100);
    }
}

TEST_F(DecodeFileTest, DestinationIsUntouchedOnAnyDecodeError) {
    Bytes packed = EncodeHuffman(EnglishLike(5000, 2));
    Bytes badChecksum = packed;
    badChecksum[4] ^= 0xFF;
    struct Case {
        const char* name;
        Bytes source;
        const char* description;
    };
    const Case cases[] = {
        {"changed checksum", badChecksum, "text 0322"},
        {"unknown method", ToBytes("HE9\r1234"), "text 0321"},
        {"cut short", Bytes(packed.begin(), packed.begin() + 40), "Subscript out of range"},
        {"empty file", {}, "Subscript out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(Path("bad.twf"), c.source);
        const std::string dest = Path("dest.dll");
        MakeNormal(dest);
        Write(dest, ToBytes("keep me"));
        MakeReadOnly(dest);
        EXPECT_EQ(DecodeFile(Path("bad.twf"), dest), c.description);
        EXPECT_EQ(Read(dest), "keep me");
        EXPECT_TRUE(IsReadOnly(dest));
        EXPECT_FALSE(DecodeFile(Path("bad.twf"), Path("new.dll")).empty());
        EXPECT_FALSE(fs::exists(Path("new.dll")));
    }
}

TEST_F(DecodeFileTest, PlainLengthZeroWritesACopyOfThePackedFile) {
    const Bytes packed = {0x48, 0x45, 0x33, 0x0D, 0x00, 0, 0, 0, 0, 'x', 'y'};
    Write(Path("zero.twf"), packed);
    ASSERT_EQ(DecodeFile(Path("zero.twf"), Path("zero.out")), "");
    EXPECT_EQ(Read(Path("zero.out")), std::string(packed.begin(), packed.end()));
}

TEST_F(DecodeFileTest, FileExistsOnlyForFilesWithALength) {
    Write(Path("file"), ToBytes("x"));
    Write(Path("empty"), {});
    fs::create_directory(Path("folder"));
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {Path("file"), true},          {Path("empty"), true}, {Path("missing"), false},
        {Path("folder"), false},       {"", false},           {Path("fi*"), false},
        {Path("missing/file"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileExists(c.path), c.exists);
    }
}

} // namespace
} // namespace tw::testing
