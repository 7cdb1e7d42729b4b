#include "DecodeTestUtil.h"

#include "decode/Encoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tw::testing {
namespace {

TEST(EncoderTest, EveryInputRoundTrips) {
    struct Case {
        const char* name;
        Bytes plain;
    };
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    Bytes skewed(70000, 'x');
    skewed[123] = 'y';
    Bytes fibonacci; // counts 1, 1, 2, 3, 5 ... : codes as long as the alphabet allows
    for (std::uint64_t a = 1, b = 1, s = 0; s < 25; ++s, std::tie(a, b) = std::pair(b, a + b))
        fibonacci.insert(fibonacci.end(), a, static_cast<std::uint8_t>(s));
    const Case cases[] = {
        {"empty", {}},
        {"one byte", {'q'}},
        {"one distinct byte, 8 times", Bytes(8, 0)},
        {"one distinct byte, 100000 times", Bytes(100000, 0xFF)},
        {"two distinct bytes, one rare", skewed},
        {"all 256 values once", all},
        {"long codes", fibonacci},
        {"English-like", EnglishLike(50000, 1)},
        {"random", RandomBytes(50000, 2)},
        {"10 MB", EnglishLike(10 << 20, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool stored : {false, true}) {
            Bytes packed = stored ? EncodeStored(c.plain) : EncodeHuffman(c.plain);
            const bool huffman = !stored && !c.plain.empty();
            EXPECT_EQ(packed[2], huffman ? 0x33 : 0x30);
            for (const auto& d : kDecoders) {
                if (c.plain.size() > 1000000 && d.fn == &DecodeBytesReference)
                    continue; // the plain decoder is compared on smaller inputs
                SCOPED_TRACE(d.name);
                Outcome o = Decode(d.fn, packed);
                ASSERT_TRUE(o.ok) << o.description;
                ASSERT_TRUE(o.bytes == c.plain);
            }
        }
    }
}

TEST(EncoderTest, HeaderHoldsChecksumLengthAndCodeLengths) {
    const Bytes plain = ToBytes("abracadabra");
    const Bytes packed = EncodeHuffman(plain);
    std::uint8_t x = 0;
    for (auto b : plain)
        x ^= b;
    EXPECT_EQ(packed[4], x);
    EXPECT_EQ(packed[5] | packed[6] << 8 | packed[7] << 16 | packed[8] << 24, 11);
    EXPECT_EQ(packed[9] | packed[10] << 8, 5); // a b c d r
    // a occurs 5 times of 11: the shortest code
    EXPECT_EQ(packed[11], 'a');
    EXPECT_EQ(packed[12], 1);
}

TEST(EncoderTest, CodeLengthsAreHuffmanOptimal) {
    struct Case {
        std::vector<std::uint64_t> counts;
        std::vector<std::uint8_t> lengths;
    };
    const Case cases[] = {
        {{5}, {1}},
        {{0, 3, 0}, {0, 1, 0}},
        {{1, 1}, {1, 1}},
        {{1, 1, 2, 4}, {3, 3, 2, 1}},
        {{10, 10, 10, 10}, {2, 2, 2, 2}},
        {{1, 1, 1, 1, 1, 1, 1, 1}, {3, 3, 3, 3, 3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.counts));
        EXPECT_EQ(HuffmanCodeLengths(c.counts), c.lengths);
    }
    // For any counts: a complete code (Kraft sum 1), within one bit of the entropy.
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint64_t> counts(256);
        std::uint64_t total = 0;
        for (auto& c : counts) {
            c = rng() % 3 == 0 ? 0 : rng() % (1u << (rng() % 20));
            total += c;
        }
        counts[rng() % 256] += 1;
        total += 1;
        auto lengths = HuffmanCodeLengths(counts);
        double kraft = 0, bits = 0, entropy = 0;
        int used = 0;
        for (int s = 0; s < 256; ++s) {
            ASSERT_EQ(counts[s] > 0, lengths[s] > 0);
            if (counts[s] == 0)
                continue;
            ++used;
            double p = static_cast<double>(counts[s]) / static_cast<double>(total);
            kraft += std::ldexp(1.0, -lengths[s]);
            bits += p * lengths[s];
            entropy -= p * std::log2(p);
        }
        if (used > 1) {
            EXPECT_DOUBLE_EQ(kraft, 1.0);
        }
        EXPECT_LT(bits, entropy + 1.0);
    }
}

TEST(EncoderTest, TextPacksSmallerThanItIs) {
    const Bytes plain = EnglishLike(100000, 9);
    EXPECT_LT(EncodeHuffman(plain).size(), plain.size() * 6 / 10);
}

} // namespace
} // namespace tw::testing
