// The container's documented cases, run through both decoders, and the text sources packed.
#include "DecodeTestUtil.h"

#include "decode/Encoder.h"
#include "decode/TextSource.h"
#include "decode/clsProtection.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

namespace tw::testing {
namespace {

class ContainerTest : public ::testing::Test {
    FakeTexts texts_;
};

// Decodes with both decoders, which must agree; the fast one's outcome.
Outcome DecodeBoth(const Bytes& input, std::optional<std::int32_t> byteLen = {}) {
    const Outcome fast = Decode(&DecodeBytesFast, input, byteLen);
    const Outcome reference = Decode(&DecodeBytesReference, input, byteLen);
    EXPECT_TRUE(fast == reference)
        << "decoders disagree: " << fast.description << " / " << reference.description;
    return fast;
}

// Codes as "0"/"1" texts, written first bit first, least significant bit of each byte first.
Bytes PackBits(const std::vector<std::string>& codes) {
    const std::string bits = std::accumulate(codes.begin(), codes.end(), std::string());
    Bytes bytes((bits.size() + 7) / 8);
    for (std::size_t i = 0; i < bits.size(); ++i)
        bytes[i / 8] |= static_cast<std::uint8_t>((bits[i] == '1') << i % 8);
    return bytes;
}

// A Huffman container from its parts: entries in the given order, codes as "0"/"1" texts.
Bytes Packed(std::uint8_t checksum, std::int32_t length,
             const std::vector<std::pair<std::uint8_t, std::string>>& entries,
             const std::vector<std::string>& data) {
    Bytes b = {0x48, 0x45, 0x33, 0x0D, checksum};
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(length) >> (8 * i)));
    b.push_back(static_cast<std::uint8_t>(entries.size()));
    b.push_back(static_cast<std::uint8_t>(entries.size() >> 8));
    std::map<std::uint8_t, std::string> ascending; // a later entry replaces an earlier one
    for (const auto& [symbol, code] : entries) {
        b.push_back(symbol);
        b.push_back(static_cast<std::uint8_t>(code.size()));
        ascending[symbol] = code;
    }
    std::vector<std::string> codes;
    for (const auto& e : ascending)
        codes.push_back(e.second);
    for (const Bytes& part : {PackBits(codes), PackBits(data)})
        b.insert(b.end(), part.begin(), part.end());
    return b;
}

const Bytes kStored = {0x48, 0x45, 0x30, 0x0D, 'a', 'b', 'c'};

TEST_F(ContainerTest, DocumentedExamplesDecode) {
    struct Case {
        const char* name;
        Bytes input;
        Bytes expected;
        std::vector<int> events;
        std::optional<std::int32_t> byteLen = {}; // none: the array's size
    };
    Bytes noIdentification = kSeventeen;
    noIdentification[0] = 'X';
    noIdentification[3] = '\n';
    // The entries name b before a; the code block still holds a's code first.
    Bytes entriesDescending = kSeventeen;
    std::swap(entriesDescending[11], entriesDescending[13]);
    // Plain length 100, but the data block holds only eight codes: a,a,b,a,a,a,a,a.
    Bytes runsOut = kSeventeen;
    runsOut[4] = 0x61 ^ 0x62;
    runsOut[5] = 100;
    // An entry naming a symbol again replaces the earlier one: a ends up with two bits.
    const Bytes repeated =
        Packed(0x61 ^ 0x62, 2, {{'a', "1"}, {'b', "0"}, {'a', "10"}}, {"0", "10"});
    // Eight equally frequent bytes: three-bit codes, 22530 bytes packed; the rest of the
    // 25000 bytes lies after the last code and is never read.
    Bytes plain(60000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>('a' + (i * 3) % 8);
    Bytes packed = EncodeHuffman(plain);
    ASSERT_EQ(packed.size(), 22530u);
    packed.resize(25000, 0xFF);
    const Bytes zeroLength = {0x48, 0x45, 0x33, 0x0D, 0x00, 0, 0, 0, 0, 0xFF};
    const Bytes zeroLengthNoId = {1, 2, 3, 4, 5, 0, 0, 0, 0};
    const Case cases[] = {
        {"stored", kStored, {'a', 'b', 'c'}, {}},
        {"stored, nothing after the identification", {0x48, 0x45, 0x30, 0x0D}, {}, {}},
        {"stored, counted shorter", kStored, {'a'}, {}, 5},
        {"17 bytes", kSeventeen, {'a', 'a', 'b'}, {89, 100}},
        {"17 bytes counted longer than the array", kSeventeen, {'a', 'a', 'b'}, {89, 100}, 18},
        {"21 bytes", kTwentyOne, {'a', 'b', 'c', 'd'}, {89, 100}},
        {"no identification: Huffman all the same", noIdentification, {'a', 'a', 'b'}, {89, 100}},
        {"code block in ascending symbol order", entriesDescending, {'a', 'a', 'b'}, {89, 100}},
        {"data block runs out early", runsOut, ToBytes("aabaaaaa"), {89, 100}},
        {"repeated entry", repeated, {'b', 'a'}, {89, 100}},
        {"plain length 0 returns the input", zeroLength, zeroLength, {}},
        {"plain length 0 without identification", zeroLengthNoId, zeroLengthNoId, {}},
        {"empty data block", Packed(0, 5, {{'a', "0"}}, {}), {}, {100}},
        {"25000 bytes packed, 60000 out", packed, plain, {36, 71, 89, 91, 93, 94, 96, 98, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = DecodeBoth(c.input, c.byteLen);
        ASSERT_TRUE(o.ok) << o.number << " " << o.source;
        EXPECT_EQ(o.bytes, c.expected);
        EXPECT_EQ(o.events, c.events);
    }
}

TEST_F(ContainerTest, FaultsRaiseTheirErrors) {
    struct Fault {
        const char* name;
        Bytes input;
        std::optional<std::int32_t> byteLen = {}; // none: the array's size
        std::vector<int> events = {};
        const char* description = "Subscript out of range";
        const char* source = "clsProtection.DecodeByte()";
        long number = kSubscriptOutOfRange;
    };
    Bytes badChecksum = kSeventeen;
    badChecksum[4] ^= 0x10;
    Bytes negativeLength = kSeventeen;
    negativeLength[8] = 0x80;
    // Three symbols: two of them fill 511 nodes, "01" takes node 512, "010" would need 513.
    const std::string zeros(254, '0');
    auto nodes = [&](const std::string& third) {
        return Packed(2, 1, {{0, "0" + zeros}, {1, "1" + zeros}, {2, third}}, {"01"});
    };
    const Outcome full = DecodeBoth(nodes("01"));
    ASSERT_TRUE(full.ok) << "512 nodes fit";
    EXPECT_EQ(full.bytes, Bytes{2});
    // 20000 bytes present, 25000 counted: input events at 10000 and 20000, then the index
    // error for byte 20000.
    Bytes countBeyond = EncodeHuffman(EnglishLike(60000, 8));
    ASSERT_GT(countBeyond.size(), 25000u);
    countBeyond.resize(20000);
    // The checksum is checked after the whole data block: input and output events come first.
    Bytes longBad = EncodeHuffman(EnglishLike(200000, 7));
    longBad[4] ^= 1;
    const std::vector<int> allButLast = {8,  17, 25, 34, 42, 50, 59, 67, 75, 84, 89,
                                         90, 91, 92, 93, 94, 95, 96, 97, 98, 99};
    const Bytes method7 = {0x48, 0x45, 0x37, 0x0D, 1, 2, 3};
    const long app = kAppErrorNumber;
    const char* checksum = "clsProtection.Decode()";
    const Fault faults[] = {
        {"H, E, 7, CR", method7, {}, {}, "text 0321", "ProtectionDecode()", app},
        {"changed checksum", badChecksum, {}, {89}, "text 0322", checksum, app},
        {"changed checksum, long data", longBad, {}, allButLast, "text 0322", checksum, app},
        {"no data byte: checksum of nothing", kSeventeen, 16, {}, "text 0322", checksum, app},
        {"empty", {}},
        {"shorter than the identification", {0x48, 0x45, 0x30}},
        {"stored, counted longer than the array", kStored, 8},
        {"stored, counted below the identification", kStored, 3},
        {"header cut short", {0x48, 0x45, 0x33, 0x0D, 0x01, 0x01, 0x00}},
        {"negative plain length", negativeLength},
        {"513 nodes", nodes("010")},
        // Only a = "0" exists: the third bit walks into the missing one-branch.
        {"bit path into a missing branch", Packed(0x61, 3, {{'a', "0"}}, {"0", "0", "1"})},
        // The code block of the 21-byte example fills its byte, so the byte after it is read.
        {"code block ends at the end of the data", Bytes(kTwentyOne.begin(), kTwentyOne.end() - 1)},
        {"count beyond the array", countBeyond, 25000, {36, 71}},
        {"plain text taken for Huffman data", ToBytes("[NVIDIA]\r\nC:\\WINDOWS\\nvcpl.dll\r\n")},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.name);
        Outcome o = DecodeBoth(f.input, f.byteLen);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.number, f.number);
        EXPECT_EQ(o.source, f.source);
        EXPECT_EQ(o.description, f.description);
        EXPECT_EQ(o.events, f.events);
        EXPECT_TRUE(o.inputUntouched);
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

TEST(TextSourceTest, LinesEndWithCrLfAndCommentLinesGo) {
    struct Case {
        const char* name;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"LF ends", "a\nb\n", "a\r\nb\r\n"},
        {"CR LF ends kept", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"mixed ends", "a\r\nb\nc\r\n", "a\r\nb\r\nc\r\n"},
        {"last line without an end", "a\nb", "a\r\nb"},
        {"comment lines dropped", "# about\n[NVIDIA]\n#x\r\nC:\\a.dll\n",
         "[NVIDIA]\r\nC:\\a.dll\r\n"},
        {"comment as last line", "a\n# end", "a\r\n"},
        {"only a later '#' is data", "a # b\n #c\n", "a # b\r\n #c\r\n"},
        {"empty lines kept", "\n\r\n\n", "\r\n\r\n\r\n"},
        {"lone CR is not a line end", "a\rb\n", "a\rb\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out = PrepareTextSource(ToBytes(c.source));
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expected);
    }
}

} // namespace
} // namespace tw::testing
