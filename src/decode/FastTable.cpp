#include "decode/FastTable.h"

namespace tw::fast {

namespace {

// Every node below the root that holds a symbol ends a code.
void FillSingle(const Tree& tree, std::vector<Entry>& single, int node, int depth,
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

} // namespace

void Insert(Tree& tree, int symbol, const std::uint8_t* bits, int count) {
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
std::vector<Entry> BuildTable(const Tree& tree) {
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
