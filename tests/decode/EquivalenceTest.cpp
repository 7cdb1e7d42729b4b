// The table-driven decoder against the plain one: same bytes, same error, same Progress
// events, on valid, damaged and made-up containers.
#include "DecodeTestUtil.h"

#include "decode/Encoder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tw::testing {
namespace {

void ExpectSame(const Bytes& input, std::int32_t byteLen, const std::string& what) {
    Outcome fast = Decode(&DecodeBytesFast, input, byteLen);
    Outcome reference = Decode(&DecodeBytesReference, input, byteLen);
    ASSERT_EQ(fast.ok, reference.ok)
        << what << ": " << fast.description << " / " << reference.description;
    ASSERT_EQ(fast.number, reference.number) << what;
    ASSERT_EQ(fast.source, reference.source) << what;
    ASSERT_EQ(fast.events, reference.events) << what;
    ASSERT_EQ(fast.inputUntouched, reference.inputUntouched) << what;
    ASSERT_TRUE(fast.bytes == reference.bytes) << what;
}

void ExpectSame(const Bytes& input, const std::string& what) {
    ExpectSame(input, static_cast<std::int32_t>(input.size()), what);
}

// Plain data of many shapes: few or many distinct bytes, skewed or flat.
Bytes MakePlain(std::mt19937& rng) {
    std::size_t size = rng() % 4 == 0 ? rng() % 60000 : rng() % 600;
    int alphabet = 1 + static_cast<int>(rng() % 256);
    double skew = (rng() % 100) / 100.0;
    Bytes plain(size);
    std::geometric_distribution<int> geo(0.05 + skew * 0.9);
    for (auto& b : plain)
        b = static_cast<std::uint8_t>(geo(rng) % alphabet);
    return plain;
}

// A container with invented code lengths: incomplete trees, prefixes of other codes,
// codes far longer than the lookup table.
Bytes MakeInvented(std::mt19937& rng) {
    Bytes b = {0x48, 0x45, 0x33, 0x0D, static_cast<std::uint8_t>(rng())};
    std::int32_t length = static_cast<std::int32_t>(rng() % 40000);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    int n = static_cast<int>(rng() % 40);
    b.push_back(static_cast<std::uint8_t>(n));
    b.push_back(0);
    int maxLength = rng() % 3 == 0 ? 40 : 9;
    for (int i = 0; i < n; ++i) {
        b.push_back(static_cast<std::uint8_t>(rng()));
        b.push_back(static_cast<std::uint8_t>(1 + rng() % maxLength));
    }
    std::size_t rest = rng() % 2 == 0 ? rng() % 64 : rng() % 30000;
    for (std::size_t i = 0; i < rest; ++i)
        b.push_back(static_cast<std::uint8_t>(rng() % 4 == 0 ? 0 : rng()));
    return b;
}

TEST(EquivalenceTest, ValidContainersDecodeAlike) {
    std::mt19937 rng(1);
    for (int round = 0; round < 300; ++round) {
        Bytes plain = MakePlain(rng);
        Bytes packed = EncodeHuffman(plain);
        ExpectSame(packed, "valid " + std::to_string(round));
        EXPECT_EQ(Decode(&DecodeBytesFast, packed).bytes, plain);
    }
}

TEST(EquivalenceTest, DamagedContainersDecodeAlike) {
    std::mt19937 rng(2);
    for (int round = 0; round < 1500; ++round) {
        Bytes packed = EncodeHuffman(MakePlain(rng));
        std::int32_t byteLen = static_cast<std::int32_t>(packed.size());
        std::string what = "damaged " + std::to_string(round) + ":";
        switch (rng() % 6) {
        case 0: // flipped bits anywhere
            for (int i = 1 + rng() % 4; i > 0; --i)
                packed[rng() % packed.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            what += " bits";
            break;
        case 1: // a changed byte in the header or symbol table
            packed[rng() % std::min<std::size_t>(packed.size(), 40)] =
                static_cast<std::uint8_t>(rng());
            what += " header";
            break;
        case 2: // cut short
            packed.resize(rng() % packed.size());
            byteLen = static_cast<std::int32_t>(packed.size());
            what += " cut";
            break;
        case 3: // the count says more or fewer bytes than the array holds
            byteLen += static_cast<std::int32_t>(rng() % 41) - 20;
            what += " byteLen";
            break;
        case 4: // another plain length
            if (packed.size() > 8)
                packed[5 + rng() % 2] = static_cast<std::uint8_t>(rng());
            what += " length";
            break;
        default: // without its identification
            packed[0] = static_cast<std::uint8_t>(rng());
            packed[3] = static_cast<std::uint8_t>(rng());
            what += " identification";
            break;
        }
        ExpectSame(packed, byteLen, what);
    }
}

TEST(EquivalenceTest, InventedCodeTablesDecodeAlike) {
    std::mt19937 rng(3);
    for (int round = 0; round < 3000; ++round)
        ExpectSame(MakeInvented(rng), "invented " + std::to_string(round));
}

TEST(EquivalenceTest, RandomBytesDecodeAlike) {
    std::mt19937 rng(4);
    for (int round = 0; round < 2000; ++round) {
        Bytes b = RandomBytes(rng() % 200, static_cast<unsigned>(round));
        if (round % 2 == 0 && b.size() >= 4) {
            b[0] = 0x48;
            b[1] = 0x45;
            b[2] = round % 4 == 0 ? 0x33 : 0x30;
            b[3] = 0x0D;
        }
        ExpectSame(b, "random " + std::to_string(round));
    }
}

// Every byte value equally often: eight-bit codes for all 256 values, the case where the
// fast decoder maps data bytes straight to plain bytes.
TEST(EquivalenceTest, EightBitCodesDecodeAlike) {
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        Bytes plain;
        for (int copies = 1 + static_cast<int>(rng() % 60); copies > 0; --copies)
            for (int v = 0; v < 256; ++v)
                plain.push_back(static_cast<std::uint8_t>(v));
        std::shuffle(plain.begin(), plain.end(), rng);
        Bytes packed = EncodeHuffman(plain);
        ASSERT_EQ(packed[12], 8); // the first symbol's code length
        std::int32_t byteLen = static_cast<std::int32_t>(packed.size());
        std::string what = "eight-bit " + std::to_string(round) + ":";
        switch (rng() % 5) {
        case 0: // bytes after the last code
            for (int i = 1 + static_cast<int>(rng() % 20); i > 0; --i)
                packed.push_back(static_cast<std::uint8_t>(rng()));
            byteLen = static_cast<std::int32_t>(packed.size());
            what += " trailing";
            break;
        case 1: // the count beyond the array or short of it
            byteLen += static_cast<std::int32_t>(rng() % 41) - 20;
            what += " byteLen";
            break;
        case 2: // a shorter or longer plain length
            packed[5] = static_cast<std::uint8_t>(rng());
            what += " length";
            break;
        case 3: // a changed code
            packed[11 + 512 + rng() % 256] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            what += " code";
            break;
        default:
            what += " valid";
            break;
        }
        ExpectSame(packed, byteLen, what);
    }
}

// Plain data long enough for the fast decoder to take the second half in a lane of its own,
// in halves that pack alike or very differently.
Bytes MakeLongPlain(std::mt19937& rng, int shape) {
    const std::size_t half = 40000 + rng() % 120000;
    const unsigned seed = static_cast<unsigned>(rng());
    Bytes text = EnglishLike(2 * half, seed);
    switch (shape) {
    case 0: // alike all through
        return text;
    case 1: { // text, then random bytes: the first half gives more bytes than guessed
        Bytes random = RandomBytes(half, seed);
        std::copy(random.begin(), random.end(), text.begin() + static_cast<std::ptrdiff_t>(half));
        return text;
    }
    case 2: { // random bytes, then text: the second half has less room than it needs
        Bytes random = RandomBytes(half, seed);
        std::copy(random.begin(), random.end(), text.begin());
        return text;
    }
    default: { // a long tail of rare bytes: codes longer than the lookup table
        std::geometric_distribution<int> geo(0.35);
        for (auto& b : text)
            b = static_cast<std::uint8_t>(std::min(geo(rng), 60));
        return text;
    }
    }
}

TEST(EquivalenceTest, LongDataBlocksDecodeAlike) {
    std::mt19937 rng(6);
    for (int round = 0; round < 56; ++round) {
        const Bytes plain = MakeLongPlain(rng, round % 4);
        Bytes packed = EncodeHuffman(plain);
        std::int32_t byteLen = static_cast<std::int32_t>(packed.size());
        // Damage in the second half of the data block, where the second lane decodes.
        const std::size_t at = packed.size() / 2 + rng() % (packed.size() / 2);
        std::string what = "long " + std::to_string(round) + ":";
        switch (round / 4 % 6) {
        case 0:
            what += " valid";
            break;
        case 1:
            packed[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            what += " bit";
            break;
        case 2: { // a shorter plain length: decoding is full inside the second half
            std::int32_t length = static_cast<std::int32_t>(
                round % 8 < 4 ? plain.size() * 3 / 4 : plain.size() - 40 - rng() % 2000);
            for (int i = 0; i < 4; ++i)
                packed[5 + i] = static_cast<std::uint8_t>(length >> (8 * i));
            what += " shorter";
            break;
        }
        case 3:
            byteLen = static_cast<std::int32_t>(at);
            what += " byteLen";
            break;
        case 4: // garbage after the last code, and a plain length that takes some of it
            for (int i = 0; i < 5000; ++i)
                packed.push_back(static_cast<std::uint8_t>(rng()));
            byteLen = static_cast<std::int32_t>(packed.size());
            packed[5] = static_cast<std::uint8_t>(packed[5] + 20);
            what += " garbage";
            break;
        default: // a byte turned into a code the table does not hold: bits run into no branch
            std::fill_n(packed.begin() + static_cast<std::ptrdiff_t>(at), 8, 0xFF);
            what += " ones";
            break;
        }
        ExpectSame(packed, byteLen, what);
    }
}

// A long block whose tree lacks the code of a byte that only the second half holds: the
// byte 0xFF, the last symbol, has its code taken out of the code block.
TEST(EquivalenceTest, MissingBranchInTheSecondHalfFailsAlike) {
    std::mt19937 rng(7);
    for (int round = 0; round < 6; ++round) {
        Bytes plain = EnglishLike(150000, static_cast<unsigned>(round));
        for (int i = 0; i <= round; ++i)
            plain[plain.size() / 2 + rng() % (plain.size() / 2)] = 0xFF;
        Bytes packed = EncodeHuffman(plain);
        const std::size_t n = packed[9] | packed[10] << 8;
        const std::size_t entry = 11 + 2 * (n - 1);
        ASSERT_EQ(packed[entry], 0xFF);
        std::size_t total = 0;
        for (std::size_t i = 0; i < n; ++i)
            total += packed[12 + 2 * i];
        const std::size_t codeStart = 11 + 2 * n;
        const std::size_t oldBytes = (total + 7) / 8;
        const std::size_t newBytes = (total - packed[entry + 1] + 7) / 8;
        packed[entry + 1] = 0;
        packed.erase(packed.begin() + static_cast<std::ptrdiff_t>(codeStart + newBytes),
                     packed.begin() + static_cast<std::ptrdiff_t>(codeStart + oldBytes));
        ExpectSame(packed, "missing " + std::to_string(round));
        EXPECT_FALSE(Decode(&DecodeBytesFast, packed).ok);
    }
}

TEST(EquivalenceTest, ProgressHandlerThatThrowsStopsBothAtTheSameEvent) {
    Bytes packed = EncodeHuffman(EnglishLike(300000, 11));
    for (int stopAt : {0, 3, 9, 12}) {
        SCOPED_TRACE(stopAt);
        std::vector<std::vector<int>> seen;
        for (const auto& d : kDecoders) {
            std::vector<int> events;
            Bytes bytes = packed;
            ProgressHandler progress = [&](std::int16_t p) {
                events.push_back(p);
                if (static_cast<int>(events.size()) > stopAt)
                    throw std::runtime_error("stop");
            };
            EXPECT_THROW(d.fn(bytes, static_cast<std::int32_t>(bytes.size()), progress),
                         std::runtime_error);
            seen.push_back(events);
        }
        EXPECT_EQ(seen[0], seen[1]);
    }
}

} // namespace
} // namespace tw::testing
