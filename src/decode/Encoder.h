#pragma once
// Writes the packed container that clsProtection reads back.
#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// "H" "E" "0" CR and the bytes themselves.
std::vector<std::uint8_t> EncodeStored(std::span<const std::uint8_t> plain);

// "H" "E" "3" CR and the Huffman-coded bytes. Empty input is written stored: a Huffman
// header with plain length 0 would decode to the packed bytes themselves. Throws
// std::length_error for more than 2^31 - 1 bytes.
std::vector<std::uint8_t> EncodeHuffman(std::span<const std::uint8_t> plain);

// Code lengths (0 = symbol absent) of a Huffman code for these symbol counts. Every
// symbol that occurs gets at least one bit, also when it is the only one.
std::vector<std::uint8_t> HuffmanCodeLengths(const std::vector<std::uint64_t>& counts);

} // namespace tw
