#pragma once
// The packed container shared by filters, cab filters and language files:
//
//   "H" "E" method CR                      identification (method '3' Huffman, '0' stored)
//   stored:  the plain bytes
//   Huffman: checksum (XOR of the plain bytes), plain length (int32), N (int16),
//            N x (symbol, code length), code block, data block
//
// Bits are read least significant first; a 1 bit takes the one-branch of the tree.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw {

inline constexpr std::uint8_t kIdH = 0x48;
inline constexpr std::uint8_t kIdE = 0x45;
inline constexpr std::uint8_t kIdCR = 0x0D;
inline constexpr std::uint8_t kMethodHuffman = 0x33;
inline constexpr std::uint8_t kMethodStored = 0x30;

// Room in the node table: enough for the 511 nodes of a full tree over 256 symbols.
inline constexpr int kMaxNodes = 512;
// Progress is looked at after every this many input bytes and output bytes.
inline constexpr std::int64_t kProgressStep = 10000;

// The Progress event: Procent runs from 0 to 100.
using ProgressHandler = std::function<void(std::int16_t Procent)>;

// Source texts of the decoder's errors.
inline constexpr const char* kSourceDecodeFile = "clsProtection.DecodeFile()";
inline constexpr const char* kSourceMethod = "ProtectionDecode()";
inline constexpr const char* kSourceChecksum = "clsProtection.Decode()";
inline constexpr const char* kSourceData = "clsProtection.DecodeByte()";

// Rounds to the nearest integer, a half to the even neighbour.
int RoundHalfEven(double value);

// Progress after input byte `position` (counted from 1) of `byteLen`: 0 to 89.
std::int16_t InputProgress(std::int64_t position, std::int64_t byteLen);
// Progress at output byte `index` (from 0) of `count`: 89 to 100.
std::int16_t OutputProgress(std::int64_t index, std::int64_t count);

// The errors the decoder raises (tw::AppError).
[[noreturn]] void ThrowUnknownMethod();
[[noreturn]] void ThrowChecksum();
[[noreturn]] void ThrowDataFault();

// Both decoders replace `ByteArray` with the decoded bytes of its first `ByteLen` bytes,
// raising Progress on the way, and throw tw::AppError on every fault; on a throw
// `ByteArray` is unchanged. They differ only in speed.
//
// The table-driven decoder that clsProtection uses.
void DecodeBytesFast(std::vector<std::uint8_t>& ByteArray, std::int32_t ByteLen,
                     const ProgressHandler& Progress);
// The plain decoder: one tree step per bit, exactly as the format is laid out.
void DecodeBytesReference(std::vector<std::uint8_t>& ByteArray, std::int32_t ByteLen,
                          const ProgressHandler& Progress);

} // namespace tw
