// The table-driven decoder against the plain one where fuzz/DecodeByteFuzz.cpp does not reach:
// a tree that lacks a code only the second lane meets, and a Progress handler that throws.
#include "DecodeTestUtil.h"

#include "decode/Encoder.h"

#include <gtest/gtest.h>

namespace tw::testing {
namespace {

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
        const Outcome fast = Decode(&DecodeBytesFast, packed);
        EXPECT_TRUE(fast == Decode(&DecodeBytesReference, packed)) << round << fast.description;
        EXPECT_FALSE(fast.ok);
    }
}

TEST(EquivalenceTest, ProgressHandlerThatThrowsStopsBothAtTheSameEvent) {
    Bytes packed = EncodeHuffman(EnglishLike(300000, 11));
    for (int stopAt : {0, 3, 9, 12}) {
        SCOPED_TRACE(stopAt);
        std::vector<std::vector<int>> seen;
        for (DecodeFn fn : {&DecodeBytesFast, &DecodeBytesReference}) {
            std::vector<int> events;
            Bytes bytes = packed;
            ProgressHandler progress = [&](std::int16_t p) {
                events.push_back(p);
                if (static_cast<int>(events.size()) > stopAt)
                    throw std::runtime_error("stop");
            };
            EXPECT_THROW(fn(bytes, static_cast<std::int32_t>(bytes.size()), progress),
                         std::runtime_error);
            seen.push_back(events);
        }
        EXPECT_EQ(seen[0], seen[1]);
    }
}

} // namespace
} // namespace tw::testing
