#pragma once
// The lookup table of the fast decoder: the code tree of a data block and the table that
// holds, for each value of the next kTableBits bits, the whole symbols those bits start with.
// Both are built for every data block, so they stay inline where the decoder can fold them.
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

// Every node below the root that holds a symbol ends a code.
inline void FillSingle(const Tree& tree, std::vector<Entry>& single, int node, int depth,
                       std::uint32_t prefix) {
    for (int bit = 0; bit < 2; ++bit) {
        int next = tree.child[bit][node];
        if (next < 0)
            continue;
        int depthNext = depth + 1;
        std::uint32_t prefixNext = prefix | (static_cast<std::uint32_t>(bit) << depth);
        if (tree.symbol[next] >= 0) {
            Entry e = MakeEntry(static_cast<std::uint32_t>(tree.symbol[next]), depthNext, 1);
            for (std::uint32_t x = prefixNext; x < kTableSize; x += 1u << depthNext)
                single[x] = e;
        } else if (depthNext < kTableBits) {
            FillSingle(tree, single, next, depthNext, prefixNext);
        }
    }
}

inline void Insert(Tree& tree, int symbol, const std::uint8_t* bits, int count) {
    int node = 0;
    for (int j = 0; j < count; ++j) {
        std::int16_t& next = tree.child[bits[j]][node];
        if (next == -1) {
            if (tree.nodesInUse >= kMaxNodes)
                ThrowDataFault();
            int k = tree.nodesInUse++;
            next = static_cast<std::int16_t>(k);
            tree.child[0][k] = tree.child[1][k] = tree.symbol[k] = -1;
        }
        node = next;
    }
    tree.symbol[node] = static_cast<std::int16_t>(symbol);
}

// One symbol per entry first; then each entry takes on the symbols that its remaining bits
// hold. Going from the top index down, an entry only reads entries below it, which still
// hold one symbol each.
inline std::vector<Entry> BuildTable(const Tree& tree) {
    std::vector<Entry> table(kTableSize, 0);
    FillSingle(tree, table, 0, 0, 0);
    for (std::uint32_t x = kTableSize; x-- > 0;) {
        Entry first = table[x];
        if (EntryCount(first) == 0)
            continue;
        int used = EntryBits(first);
        std::uint32_t symbols = EntrySymbols(first);
        int count = 1;
        while (count < kMaxSymbolsPerEntry) {
            Entry next = table[x >> used];
            int length = EntryBits(next);
            if (EntryCount(next) == 0 || used + length > kTableBits)
                break;
            symbols |= EntrySymbols(next) << (8 * count);
            used += length;
            ++count;
        }
        table[x] = MakeEntry(symbols, used, count);
    }
    return table;
}

} // namespace tw::fast
