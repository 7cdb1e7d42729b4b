// fuzz_seeds FOLDER: writes a small starting corpus for fuzz_decode, each file a packed
// container followed by the control byte 0 (count = array length).
#include "DecodeTestUtil.h"
#include "decode/Encoder.h"

#include <cstdio>
#include <fstream>
#include <string>

using tw::testing::Bytes;

namespace {

void Put(const std::string& folder, const std::string& name, Bytes bytes) {
    bytes.push_back(0);
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    Put(folder, "seventeen", tw::testing::kSeventeen);
    Put(folder, "twentyone", tw::testing::kTwentyOne);
    Put(folder, "stored", tw::EncodeStored(tw::testing::ToBytes("stored bytes")));
    Put(folder, "text", tw::EncodeHuffman(tw::testing::EnglishLike(2000, 1)));
    Put(folder, "text-long", tw::EncodeHuffman(tw::testing::EnglishLike(30000, 2)));
    Put(folder, "random", tw::EncodeHuffman(tw::testing::RandomBytes(1500, 3)));
    Put(folder, "one-symbol", tw::EncodeHuffman(Bytes(300, 'z')));
    Bytes skewed;
    for (int s = 0, n = 1; s < 20; ++s, n = n * 3 / 2 + 1)
        skewed.insert(skewed.end(), static_cast<std::size_t>(n), static_cast<std::uint8_t>(s));
    Put(folder, "long-codes", tw::EncodeHuffman(skewed));
    Bytes everyByte; // eight-bit codes for all 256 values: data bytes map straight to bytes
    for (int copies = 0; copies < 8; ++copies)
        for (int v = 0; v < 256; ++v)
            everyByte.push_back(static_cast<std::uint8_t>(v * 7 + copies));
    Put(folder, "eight-bit", tw::EncodeHuffman(everyByte));
    return 0;
}
