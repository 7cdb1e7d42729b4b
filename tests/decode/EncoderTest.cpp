#include "DecodeTestUtil.h"

#include "decode/Encoder.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tw::testing
