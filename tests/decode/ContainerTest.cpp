// The container's documented cases, run through both decoders.
#include "DecodeTestUtil.h"

#include "core/Text.h"
#include "decode/Encoder.h"
#include "decode/clsProtection.h"

#include <gtest/gtest.h>

#include <map>

namespace tw::testing {
namespace {

std::string FakeLanguage(std::string_view id) {
    return "text " + std::string(id);
}

class ContainerTest : public ::testing::Test {
  protected:
    void SetUp() override { SetTextLookup(&FakeLanguage); }
    void TearDown() override { SetTextLookup(nullptr); }
};

// Writes codes first bit first, least significant bit of each byte first.
struct Bits {
    Bytes bytes;
    int used = 0;
    void Put(const std::string& code) {
        for (char c : code) {
            if (used == 0)
                bytes.push_back(0);
            if (c == '1')
                bytes.back() |= static_cast<std::uint8_t>(1 << used);
            used = (used + 1) % 8;
        }
    }
};

// A Huffman container from its parts: entries in the given order, codes as "0"/"1" texts.
Bytes Packed(std::uint8_t checksum, std::int32_t length,
             const std::vector<std::pair<std::uint8_t, std::string>>& entries,
             const std::vector<std::string>& data) {
    Bytes b = {0x48, 0x45, 0x33, 0x0D, checksum};
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(length) >> (8 * i)));
    b.push_back(static_cast<std::uint8_t>(entries.size()));
    b.push_back(static_cast<std::uint8_t>(entries.size() >> 8));
    for (const auto& [symbol, code] : entries) {
        b.push_back(symbol);
        b.push_back(static_cast<std::uint8_t>(code.size()));
    }
    std::map<std::uint8_t, std::string> ascending; // a later entry replaces an earlier one
    for (const auto& [symbol, code] : entries)
        ascending[symbol] = code;
    Bits code;
    for (const auto& e : ascending)
        code.Put(e.second);
    b.insert(b.end(), code.bytes.begin(), code.bytes.end());
    Bits block;
    for (const auto& d : data)
        block.Put(d);
    b.insert(b.end(), block.bytes.begin(), block.bytes.end());
    return b;
}

// The documented 17-byte example: "aab".
const Bytes kSeventeen = {0x48, 0x45, 0x33, 0x0D, 0x62, 0x03, 0x00, 0x00, 0x00,
                          0x02, 0x00, 0x61, 0x01, 0x62, 0x01, 0x02, 0x04};

struct Case {
    const char* name;
    Bytes input;
    Bytes expected; // when ok
    std::vector<int> events;
};

TEST_F(ContainerTest, DocumentedExamplesDecode) {
    Bytes noIdentification = kSeventeen;
    noIdentification[0] = 'X';
    noIdentification[3] = '\n';
    // The entries name b before a; the code block still holds a's code first.
    const Bytes entriesDescending = {0x48, 0x45, 0x33, 0x0D, 0x62, 0x03, 0x00, 0x00, 0x00,
                                     0x02, 0x00, 0x62, 0x01, 0x61, 0x01, 0x02, 0x04};
    // Plain length 100, but the data block holds only eight codes: a,a,b,a,a,a,a,a.
    Bytes runsOut = kSeventeen;
    runsOut[4] = 0x61 ^ 0x62;
    runsOut[5] = 100;
    // An entry naming a symbol again replaces the earlier one: a ends up with two bits.
    const Bytes repeated =
        Packed(0x61 ^ 0x62, 2, {{'a', "1"}, {'b', "0"}, {'a', "10"}}, {"0", "10"});
    const Case cases[] = {
        {"stored", {0x48, 0x45, 0x30, 0x0D, 'a', 'b', 'c'}, {'a', 'b', 'c'}, {}},
        {"stored, nothing after the identification", {0x48, 0x45, 0x30, 0x0D}, {}, {}},
        {"17 bytes", kSeventeen, {'a', 'a', 'b'}, {89, 100}},
        {"21 bytes",
         {0x48, 0x45, 0x33, 0x0D, 0x04, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00,
          0x61, 0x02, 0x62, 0x02, 0x63, 0x02, 0x64, 0x02, 0xD8, 0xD8},
         {'a', 'b', 'c', 'd'},
         {89, 100}},
        {"no identification: Huffman all the same", noIdentification, {'a', 'a', 'b'}, {89, 100}},
        {"code block in ascending symbol order", entriesDescending, {'a', 'a', 'b'}, {89, 100}},
        {"data block runs out early", runsOut, ToBytes("aabaaaaa"), {89, 100}},
        {"repeated entry", repeated, {'b', 'a'}, {89, 100}},
        {"plain length 0 returns the input",
         {0x48, 0x45, 0x33, 0x0D, 0x00, 0, 0, 0, 0, 0xFF},
         {0x48, 0x45, 0x33, 0x0D, 0x00, 0, 0, 0, 0, 0xFF},
         {}},
        {"plain length 0 without identification",
         {1, 2, 3, 4, 5, 0, 0, 0, 0},
         {1, 2, 3, 4, 5, 0, 0, 0, 0},
         {}},
        {"empty data block", Packed(0, 5, {{'a', "0"}}, {}), {}, {100}},
    };
    for (const auto& d : kDecoders) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(d.name) + ": " + c.name);
            Outcome o = Decode(d.fn, c.input);
            ASSERT_TRUE(o.ok) << o.number << " " << o.source;
            EXPECT_EQ(o.bytes, c.expected);
            EXPECT_EQ(o.events, c.events);
        }
    }
}

struct Fault {
    const char* name;
    Bytes input;
    long number;
    const char* source;
    const char* description;
};

TEST_F(ContainerTest, FaultsRaiseTheirErrors) {
    Bytes badChecksum = kSeventeen;
    badChecksum[4] ^= 0x10;
    Bytes negativeLength = kSeventeen;
    negativeLength[8] = 0x80;
    // Three symbols: two of them fill 511 nodes, "01" takes node 512, "010" would need 513.
    const std::string zeros(254, '0');
    auto nodes = [&](const std::string& third) {
        return Packed(2, 1, {{0, "0" + zeros}, {1, "1" + zeros}, {2, third}}, {"01"});
    };
    // Only a = "0" exists: the third bit walks into the missing one-branch.
    const Bytes missingBranch = Packed(0x61, 3, {{'a', "0"}}, {"0", "0", "1"});
    // The code block of the 21-byte example fills its byte, so the byte after it is read.
    const Bytes codeBlockAtEnd = {0x48, 0x45, 0x33, 0x0D, 0x04, 0x04, 0x00, 0x00, 0x00, 0x04,
                                  0x00, 0x61, 0x02, 0x62, 0x02, 0x63, 0x02, 0x64, 0x02, 0xD8};
    const std::string textFile = "[NVIDIA]\r\nC:\\WINDOWS\\nvcpl.dll\r\n";
    const long app = kAppErrorNumber, index = kSubscriptOutOfRange;
    const char* data = "clsProtection.DecodeByte()";
    const Fault faults[] = {
        {"H, E, 7, CR", {0x48, 0x45, 0x37, 0x0D, 1, 2, 3}, app, "ProtectionDecode()", "text 0321"},
        {"changed checksum", badChecksum, app, "clsProtection.Decode()", "text 0322"},
        {"empty", {}, index, data, "Subscript out of range"},
        {"shorter than the identification",
         {0x48, 0x45, 0x30},
         index,
         data,
         "Subscript out of range"},
        {"header cut short",
         {0x48, 0x45, 0x33, 0x0D, 0x01, 0x01, 0x00},
         index,
         data,
         "Subscript out of range"},
        {"negative plain length", negativeLength, index, data, "Subscript out of range"},
        {"513 nodes", nodes("010"), index, data, "Subscript out of range"},
        {"bit path into a missing branch", missingBranch, index, data, "Subscript out of range"},
        {"code block ends at the end of the data", codeBlockAtEnd, index, data,
         "Subscript out of range"},
    };
    for (const auto& d : kDecoders) {
        SCOPED_TRACE(d.name);
        Outcome full = Decode(d.fn, nodes("01"));
        ASSERT_TRUE(full.ok) << "512 nodes fit";
        EXPECT_EQ(full.bytes, Bytes{2});
        for (const auto& f : faults) {
            SCOPED_TRACE(f.name);
            Outcome o = Decode(d.fn, f.input);
            ASSERT_FALSE(o.ok);
            EXPECT_EQ(o.number, f.number);
            EXPECT_EQ(o.source, f.source);
            EXPECT_EQ(o.description, f.description);
            EXPECT_TRUE(o.inputUntouched);
        }
        // A plain text file is taken for Huffman data: it fails, but never as "0321".
        Outcome text = Decode(d.fn, ToBytes(textFile));
        EXPECT_FALSE(text.ok);
        EXPECT_NE(text.description, "text 0321");
    }
}

TEST_F(ContainerTest, ChecksumIsCheckedAfterTheWholeDataBlock) {
    // 30000 bytes of data: the input events come before the checksum error.
    Bytes plain = EnglishLike(200000, 7);
    Bytes packed = EncodeHuffman(plain);
    ASSERT_GT(packed.size(), 30000u);
    packed[4] ^= 1;
    for (const auto& d : kDecoders) {
        SCOPED_TRACE(d.name);
        Outcome o = Decode(d.fn, packed);
        EXPECT_EQ(o.description, "text 0322");
        ASSERT_FALSE(o.events.empty());
        EXPECT_LT(o.events.front(), 89);
        EXPECT_GT(o.events.back(), 98); // output events ran to the end
        EXPECT_NE(o.events.back(), 100);
    }
}

TEST_F(ContainerTest, ProgressOfA25000ByteFileWith60000BytesOut) {
    // Eight equally frequent bytes: three-bit codes, 22530 bytes packed; the rest of the
    // 25000 bytes lies after the last code and is never read.
    Bytes plain(60000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>('a' + (i * 3) % 8);
    Bytes packed = EncodeHuffman(plain);
    ASSERT_EQ(packed.size(), 22530u);
    packed.resize(25000, 0xFF);
    for (const auto& d : kDecoders) {
        SCOPED_TRACE(d.name);
        Outcome o = Decode(d.fn, packed);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.bytes, plain);
        EXPECT_EQ(o.events, (std::vector<int>{36, 71, 89, 91, 93, 94, 96, 98, 100}));
    }
}

TEST_F(ContainerTest, ACountBeyondTheArrayFailsAfterTheLastByteIsDecoded) {
    // 20000 bytes present, 25000 counted: input events at 10000 and 20000, then the index
    // error for byte 20000.
    Bytes packed = EncodeHuffman(EnglishLike(60000, 8));
    ASSERT_GT(packed.size(), 25000u);
    packed.resize(20000);
    for (const auto& d : kDecoders) {
        SCOPED_TRACE(d.name);
        Outcome o = Decode(d.fn, packed, 25000);
        EXPECT_EQ(o.number, kSubscriptOutOfRange);
        EXPECT_EQ(o.events, (std::vector<int>{36, 71}));
    }
}

TEST_F(ContainerTest, ByteLenLimitsTheInput) {
    const Bytes stored = {0x48, 0x45, 0x30, 0x0D, 'a', 'b', 'c'};
    struct LenCase {
        const char* name;
        Bytes input;
        std::int32_t byteLen;
        bool ok;
        Bytes expected;
    };
    const LenCase cases[] = {
        {"stored, shorter", stored, 5, true, {'a'}},
        {"stored, longer than the array", stored, 8, false, {}},
        {"stored, below the identification", stored, 3, false, {}},
        {"Huffman, no data byte counted", kSeventeen, 16, false, {}}, // checksum of nothing
        {"Huffman, longer than the array", kSeventeen, 18, true, {'a', 'a', 'b'}},
    };
    for (const auto& d : kDecoders) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(d.name) + ": " + c.name);
            Outcome o = Decode(d.fn, c.input, c.byteLen);
            EXPECT_EQ(o.ok, c.ok) << o.description;
            if (c.ok) {
                EXPECT_EQ(o.bytes, c.expected);
            }
        }
    }
}

TEST_F(ContainerTest, ClsProtectionDecodesWithTheFastDecoder) {
    clsProtection Protection;
    std::vector<int> events;
    Protection.SetProgressHandler([&](std::int16_t p) { events.push_back(p); });
    Bytes bytes = kSeventeen;
    std::int32_t len = static_cast<std::int32_t>(bytes.size());
    Protection.DecodeByte(bytes, len);
    EXPECT_EQ(bytes, ToBytes("aab"));
    EXPECT_EQ(len, 17);
    EXPECT_EQ(events, (std::vector<int>{89, 100}));

    EXPECT_EQ(Protection.DecodeString(std::string("HE0\rplain", 9)), "plain");
    try {
        Protection.DecodeString("HE7\r");
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), kAppErrorNumber);
        EXPECT_EQ(e.description(), "text 0321");
    }
}

} // namespace
} // namespace tw::testing
