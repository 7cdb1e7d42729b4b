// fuzz_seeds FOLDER: writes a small starting corpus for fuzz_decode, each file a packed
// container followed by the control byte 0 (count = array length).
#include "DecodeTestUtil.h"
#include "decode/Encoder.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

using namespace tw::testing;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    Bytes skewed;
    for (int s = 0, n = 1; s < 20; ++s, n = n * 3 / 2 + 1)
        skewed.insert(skewed.end(), static_cast<std::size_t>(n), static_cast<std::uint8_t>(s));
    Bytes everyByte; // eight-bit codes for all 256 values: data bytes map straight to bytes
    for (int copies = 0; copies < 8; ++copies)
        for (int v = 0; v < 256; ++v)
            everyByte.push_back(static_cast<std::uint8_t>(v * 7 + copies));
    const std::pair<const char*, Bytes> seeds[] = {
        {"seventeen", kSeventeen},
        {"twentyone", kTwentyOne},
        {"stored", tw::EncodeStored(ToBytes("stored bytes"))},
        {"text", tw::EncodeHuffman(EnglishLike(2000, 1))},
        {"text-long", tw::EncodeHuffman(EnglishLike(30000, 2))},
        {"random", tw::EncodeHuffman(RandomBytes(1500, 3))},
        {"one-symbol", tw::EncodeHuffman(Bytes(300, 'z'))},
        {"long-codes", tw::EncodeHuffman(skewed)},
        {"eight-bit", tw::EncodeHuffman(everyByte)}};
    for (const auto& [name, bytes] : seeds)
        std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary)
            << std::string(bytes.begin(), bytes.end()) << '\0';
    return 0;
}
