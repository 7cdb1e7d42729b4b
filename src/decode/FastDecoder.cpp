// The table-driven decoder. It gives the same bytes, the same errors and the same Progress
// events as the plain decoder, but looks the next few codes up in one step:
//
// - a table indexed by the next kTableBits bits of the data block holds up to three whole
//   symbols that those bits start with, and how many bits they take;
// - everything else (codes longer than the table, a path into a missing branch, the last
//   bytes of the data, the last symbols before the plain length is reached) is walked
//   through the tree one bit at a time.
//
// Progress after input byte k depends only on whether decoding ended before that byte was
// done, so the events are raised between runs of the table loop, in the same order and with
// the same values as a bit-by-bit walk raises them.
#include "decode/Container.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace tw {

namespace {

constexpr int kTableBits = 12;
constexpr std::uint32_t kTableSize = 1u << kTableBits;
constexpr int kMaxSymbolsPerEntry = 3;
constexpr std::size_t kSlack = 4;
constexpr std::size_t kGuard = 4;
constexpr std::uint8_t kGuardByte = 0xA5;

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

class Input {
  public:
    explicit Input(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::int64_t size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::uint8_t operator[](std::int64_t index) const {
        if (index < 0 || index >= size())
            ThrowDataFault();
        return bytes_[static_cast<std::size_t>(index)];
    }
    const std::uint8_t* data() const { return bytes_.data(); }

  private:
    const std::vector<std::uint8_t>& bytes_;
};

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

enum class Outcome { Running, Full, Fault };

struct DataDecoder {
    const Tree& tree;
    const std::vector<Entry>& table;
    const std::uint8_t* data; // the whole input
    std::int64_t endBit;      // first bit that is not decoded
    std::int64_t safeBit;     // below it the table loop's loads stay inside the data
    std::uint8_t* out;        // room for every byte the data can give, and kSlack more
    std::int64_t resultLen;
    std::int64_t D = 0;
    std::int64_t pos = 0;     // start of the next code
    std::int64_t lastBit = 0; // on Full or Fault: the bit that ended decoding

    int Bit(std::int64_t at) const { return (data[at >> 3] >> (at & 7)) & 1; }

    // One code, bit by bit from the root. Running also when the data ends inside a code
    // (pos is then endBit).
    Outcome Step() {
        int node = 0;
        std::int64_t at = pos;
        while (at < endBit) {
            node = tree.child[Bit(at)][node];
            if (node < 0) {
                lastBit = at;
                return Outcome::Fault;
            }
            if (tree.symbol[node] >= 0) {
                out[D++] = static_cast<std::uint8_t>(tree.symbol[node]);
                pos = at + 1;
                if (D == resultLen) {
                    lastBit = at;
                    return Outcome::Full;
                }
                return Outcome::Running;
            }
            ++at;
        }
        pos = endBit;
        return Outcome::Running;
    }

    // Table steps while pos is below `limit` and the plain length is far enough away.
    // The bit buffer is refilled eight bytes at a time (it then holds at least 56 bits,
    // enough for four table steps of up to 12 bits); `limit` keeps the loads inside the data.
    void TableLoop(std::int64_t limit) {
        constexpr std::uint64_t mask = kTableSize - 1;
        constexpr int kStepsPerRefill = 4;
        constexpr std::int64_t kMostPerRefill = kStepsPerRefill * kMaxSymbolsPerEntry;
        if (pos >= limit || D + kMostPerRefill >= resultLen)
            return;
        const Entry* const t = table.data();
        // pos == (next - data) * 8 - count at every table step
        const std::uint8_t* next = data + (pos >> 3) + 7; // first byte not yet in the buffer
        std::uint64_t buffer;
        std::memcpy(&buffer, data + (pos >> 3), 8);
        buffer = (buffer & ((std::uint64_t{1} << 56) - 1)) >> (pos & 7);
        int count = 56 - static_cast<int>(pos & 7);
        std::int64_t d = D;
        const std::int64_t dLimit = resultLen - kMostPerRefill;
        std::uint8_t* const o = out;
        for (;;) {
            std::int64_t at = (next - data) * 8 - count;
            if (at >= limit || d >= dLimit) {
                pos = at;
                break;
            }
            std::uint64_t w;
            std::memcpy(&w, next, 8);
            buffer |= w << count;
            next += (63 - count) >> 3;
            count |= 56;
            int step = 0;
            for (; step < kStepsPerRefill; ++step) {
                Entry e = t[buffer & mask];
                if (EntryCount(e) == 0)
                    break;
                std::uint32_t symbols = EntrySymbols(e);
                std::memcpy(o + d, &symbols, 4);
                d += EntryCount(e);
                buffer >>= (e & 63); // the entry's bits: one shift, nothing to unpack first
                count -= EntryBits(e);
            }
            if (step < kStepsPerRefill) { // a code the table does not hold
                pos = (next - data) * 8 - count;
                break;
            }
        }
        D = d;
    }

    // A complete code of eight-bit codes: every data byte is one code, looked up directly.
    void ByteLoop(std::int64_t limit, const std::array<std::uint8_t, 256>& byteMap) {
        std::int64_t k = pos >> 3;
        const std::int64_t n =
            std::min((std::min(limit, endBit) >> 3) - k, resultLen - 1 - D); // never the last
        for (std::int64_t i = 0; i < n; ++i)
            out[D + i] = byteMap[data[k + i]];
        if (n > 0) {
            D += n;
            pos = (k + n) << 3;
        }
    }

    // Decodes whole codes while the next one starts before `stopBit`.
    Outcome Run(std::int64_t stopBit, const std::array<std::uint8_t, 256>* byteMap) {
        while (pos < stopBit) {
            if (byteMap && (pos & 7) == 0)
                ByteLoop(stopBit, *byteMap);
            else
                TableLoop(std::min(stopBit, safeBit));
            if (pos >= stopBit)
                break;
            Outcome o = Step();
            if (o != Outcome::Running)
                return o;
        }
        return Outcome::Running;
    }
};

void Raise(const ProgressHandler& progress, int value) {
    if (progress)
        progress(static_cast<std::int16_t>(value));
}

} // namespace

void DecodeBytesFast(std::vector<std::uint8_t>& ByteArray, std::int32_t ByteLen,
                     const ProgressHandler& Progress) {
    const Input in(ByteArray);
    const std::int64_t size = in.size();

    std::uint8_t id0 = in[0], id1 = in[1], id3 = in[3];
    if (id0 == kIdH && id1 == kIdE && id3 == kIdCR) {
        std::uint8_t method = in[2];
        if (method == kMethodStored) {
            if (ByteLen < 4 || ByteLen > size)
                ThrowDataFault();
            ByteArray.erase(ByteArray.begin(), ByteArray.begin() + 4);
            ByteArray.resize(static_cast<std::size_t>(ByteLen - 4));
            return;
        }
        if (method != kMethodHuffman)
            ThrowUnknownMethod();
    }

    const std::uint8_t checkSum = in[4];
    const std::int32_t resultLen = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(in[5]) | static_cast<std::uint32_t>(in[6]) << 8 |
        static_cast<std::uint32_t>(in[7]) << 16 | static_cast<std::uint32_t>(in[8]) << 24);
    if (resultLen == 0)
        return;
    if (resultLen < 0)
        ThrowDataFault();
    const std::int16_t n = static_cast<std::int16_t>(in[9] | in[10] << 8);

    std::array<std::uint8_t, 256> lengths{};
    std::int64_t P = 11;
    for (int i = 0; i < n; ++i, P += 2)
        lengths[in[P]] = in[P + 1];

    // The code block is read a byte ahead: the byte after its last full byte must exist.
    std::int64_t codeBits = 0;
    for (std::uint8_t c : lengths)
        codeBits += c;
    (void)in[P + codeBits / 8];
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(codeBits));
    for (std::int64_t b = 0; b < codeBits; ++b)
        bits[static_cast<std::size_t>(b)] = (in.data()[P + (b >> 3)] >> (b & 7)) & 1;
    P += (codeBits + 7) / 8;

    Tree tree;
    tree.child[0][0] = tree.child[1][0] = tree.symbol[0] = -1;
    const std::uint8_t* code = bits.data();
    for (int s = 0; s < 256; ++s) {
        Insert(tree, s, code, lengths[s]);
        code += lengths[s];
    }
    const std::vector<Entry> table = BuildTable(tree);
    // Eight-bit codes for all 256 byte values (what random bytes give) map bytes to bytes.
    bool byteCode = true;
    std::array<std::uint8_t, 256> byteMap{};
    for (std::uint32_t b = 0; b < 256 && byteCode; ++b) {
        Entry e = table[b]; // the first eight bits of the index are byte b
        byteCode = lengths[b] == 8 && EntryCount(e) != 0 && EntryBits(e) == 8;
        byteMap[b] = static_cast<std::uint8_t>(EntrySymbols(e));
    }

    // Input bytes P .. processedEnd - 1 are decoded; a ByteLen beyond the array is the index
    // error once those are done.
    const std::int64_t processedEnd = std::max(P, std::min<std::int64_t>(ByteLen, size));
    const bool overrun = ByteLen > size;
    const std::int64_t bitsAvailable = 8 * (processedEnd - P);
    const std::int64_t capacity = std::min<std::int64_t>(resultLen, bitsAvailable);
    // The table loop stores four bytes at a time, so the result has room behind it; the
    // last bytes of that room are a guard that no store may reach.
    std::vector<std::uint8_t> result(static_cast<std::size_t>(capacity) + kSlack + kGuard,
                                     kGuardByte);

    DataDecoder dec{tree,
                    table,
                    in.data(),
                    8 * processedEnd,
                    8 * (std::max<std::int64_t>(processedEnd - 16, 0)),
                    result.data(),
                    resultLen};
    dec.pos = 8 * P;

    int R = 0;
    std::int64_t checkpoint = (P / kProgressStep + 1) * kProgressStep; // input byte count
    auto raiseInput = [&](std::int64_t doneBits) {
        // Every checkpoint whose byte was finished before decoding stopped.
        while (checkpoint <= processedEnd && 8 * checkpoint <= doneBits) {
            int NewProgress = InputProgress(checkpoint, ByteLen);
            if (NewProgress != R) {
                R = NewProgress;
                Raise(Progress, R);
            }
            checkpoint += kProgressStep;
        }
    };
    // The checksum is taken as the bytes come out, while they are still in the cache; the
    // output events depend only on the count and are raised after the data block.
    std::uint64_t wide = 0;
    std::int64_t summed = 0;
    auto sum = [&] {
        for (; summed + 8 <= dec.D; summed += 8) {
            std::uint64_t w;
            std::memcpy(&w, result.data() + summed, 8);
            wide ^= w;
        }
    };
    Outcome outcome = Outcome::Running;
    while (dec.pos < dec.endBit) {
        std::int64_t stopBit = 8 * std::min(checkpoint, processedEnd);
        outcome = dec.Run(stopBit, byteCode ? &byteMap : nullptr);
        sum();
        if (outcome != Outcome::Running) {
            raiseInput(dec.lastBit);
            break;
        }
        raiseInput(dec.pos);
    }
    for (std::size_t g = 0; g < kGuard; ++g)
        if (result[static_cast<std::size_t>(capacity) + kSlack + g] != kGuardByte)
            std::abort(); // the table loop wrote past its room: memory is not to be trusted
    if (outcome == Outcome::Fault)
        ThrowDataFault();
    if (outcome == Outcome::Running && overrun)
        ThrowDataFault();

    const std::int64_t D = dec.D;
    std::uint8_t X = 0;
    for (int shift = 0; shift < 64; shift += 8)
        X ^= static_cast<std::uint8_t>(wide >> shift);
    for (; summed < D; ++summed)
        X ^= result[static_cast<std::size_t>(summed)];
    for (std::int64_t i = 0; i < D; i += kProgressStep) {
        int NewProgress = OutputProgress(i, D);
        if (NewProgress != R) {
            R = NewProgress;
            Raise(Progress, R);
        }
    }
    if (X != checkSum)
        ThrowChecksum();

    result.resize(static_cast<std::size_t>(D));
    ByteArray = std::move(result);
    if (R != 100)
        Raise(Progress, 100);
}

} // namespace tw
