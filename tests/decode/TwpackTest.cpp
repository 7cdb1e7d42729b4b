// twpack as a user runs it: pack, unpack, and its answers to bad input.
#include "DecodeTestUtil.h"
#include "ProgramRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace tw::testing {
namespace {

namespace fs = std::filesystem;

class TwpackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("twpack_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    int Twpack(const std::vector<std::string>& args) {
        return RunProgram(BuildPath(TWPACK_PATH), args, dir_ / "stderr.txt");
    }
    std::string Messages() const { return Read(dir_ / "stderr.txt"); }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void Write(const fs::path& p, const Bytes& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    fs::path dir_;
};

TEST_F(TwpackTest, FilesRoundTrip) {
    struct Case {
        const char* name;
        Bytes content;
    };
    const Case cases[] = {
        {"empty", {}},
        {"one byte", {0}},
        {"text", EnglishLike(30000, 5)},
        {"random", RandomBytes(70000, 6)},
    };
    for (const auto& c : cases) {
        for (bool stored : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (stored ? " stored" : ""));
            Write(Path("in"), c.content);
            std::vector<std::string> pack = {"pack", Path("in"), Path("in.packed")};
            if (stored)
                pack.insert(pack.begin() + 1, "--stored");
            ASSERT_EQ(Twpack(pack), 0) << Messages();
            ASSERT_EQ(Twpack({"unpack", Path("in.packed"), Path("out")}), 0) << Messages();
            EXPECT_TRUE(Read(Path("out")) == std::string(c.content.begin(), c.content.end()));
            std::string packed = Read(Path("in.packed"));
            ASSERT_GE(packed.size(), 4u);
            EXPECT_EQ(packed[2], stored || c.content.empty() ? '0' : '3');
        }
    }
}

TEST_F(TwpackTest, TextSourcesArePackedWithCrLfAndWithoutCommentLines) {
    Write(Path("English.txt"), ToBytes("# language file\n0001=Clean\r\n0002=Close\n"));
    ASSERT_EQ(Twpack({"pack", "--text", Path("English.txt"), Path("English.lng")}), 0);
    ASSERT_EQ(Twpack({"unpack", Path("English.lng"), Path("English.out")}), 0);
    EXPECT_EQ(Read(Path("English.out")), "0001=Clean\r\n0002=Close\r\n");
}

TEST_F(TwpackTest, BadInputFailsWithAMessage) {
    Bytes packed = {0x48, 0x45, 0x33, 0x0D, 0x62, 0x03, 0x00, 0x00, 0x00,
                    0x02, 0x00, 0x61, 0x01, 0x62, 0x01, 0x02, 0x04};
    Bytes badChecksum = packed;
    badChecksum[4] = 0;
    Write(Path("checksum"), badChecksum);
    Write(Path("cut"), Bytes(packed.begin(), packed.begin() + 12));
    Write(Path("method"), ToBytes("HE7\rdata"));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"pack of a missing file", {"pack", Path("missing"), Path("x")}, 1, "cannot read"},
        {"unpack of a missing file", {"unpack", Path("missing"), Path("x")}, 1, "does not exist"},
        {"changed checksum", {"unpack", Path("checksum"), Path("x")}, 1, "checksum"},
        {"cut short", {"unpack", Path("cut"), Path("x")}, 1, "cut short"},
        {"unknown method", {"unpack", Path("method"), Path("x")}, 1, "unknown packing method"},
        {"no arguments", {}, 2, "usage"},
        {"unknown command", {"squeeze", Path("cut"), Path("x")}, 2, "usage"},
        {"unknown option", {"pack", "--fast", Path("cut"), Path("x")}, 2, "usage"},
        {"one file only", {"unpack", Path("cut")}, 2, "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Twpack(c.args), c.exitCode);
        EXPECT_NE(Messages().find(c.message), std::string::npos) << Messages();
        EXPECT_FALSE(fs::exists(Path("x")));
    }
}

} // namespace
} // namespace tw::testing
