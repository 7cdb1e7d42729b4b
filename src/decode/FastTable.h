#pragma once
// The lookup table of the fast decoder: the code tree of a data block and the table that
// holds, for each value of the next kTableBits bits, the whole symbols those bits start with.
#include "decode/Container.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tw::fast {

constexpr int kTableBits = 13;
constexpr std::uint32_t kTableSize = 1u << kTableBits;
constexpr int kMaxSymbolsPerEntry = 3;

// A table entry: the bits its codes take in bits 0-5 (so that a shift by the entry itself
// drops them), the number of symbols in bits 6-7, up to three symbols in bytes 1-3. A
// count of 0: walk the tree bit by bit. Four-byte entries keep the table in the L1 cache.
using Entry = std::uint32_t;
constexpr Entry MakeEntry(std::uint32_t symbols, int bits, int count) {
    return static_cast<Entry>(bits) | (static_cast<Entry>(count) << 6) | (symbols << 8);
}
constexpr int EntryBits(Entry e) {
    return static_cast<int>(e & 63);
}
constexpr int EntryCount(Entry e) {
    return static_cast<int>((e >> 6) & 3);
}
constexpr std::uint32_t EntrySymbols(Entry e) {
    return e >> 8;
}

struct Tree {
    std::array<std::int16_t, kMaxNodes> child[2];
    std::array<std::int16_t, kMaxNodes> symbol;
    int nodesInUse = 1;
};

// Adds the code of `symbol` (`count` bits, one per byte of `bits`) to the tree; a tree
// that would need more than kMaxNodes nodes is a data fault.
void Insert(Tree& tree, int symbol, const std::uint8_t* bits, int count);

// One symbol per entry first; then each entry takes on the symbols that its remaining bits
// hold. Going from the top index down, an entry only reads entries below it, which still
// hold one symbol each.
std::vector<Entry> BuildTable(const Tree& tree);

} // namespace tw::fast
