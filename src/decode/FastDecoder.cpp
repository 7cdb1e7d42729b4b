// The table-driven decoder. It gives the same bytes, the same errors and the same Progress
// events as the plain decoder, but looks the next few codes up in one step:
//
// - a table indexed by the next kTableBits bits of the data block holds up to three whole
//   symbols that those bits start with, and how many bits they take;
// - in a long data block a second lane decodes the second half at the same time, and its
//   bytes are taken over once the first lane is seen to reach one of its code starts (see
//   SecondLane);
// - when every byte value has an eight-bit code, data bytes map straight to plain bytes;
// - everything else (codes longer than the table, a path into a missing branch, the last
//   bytes of the data, the last symbols before the plain length is reached) is walked
//   through the tree one bit at a time.
//
// Progress after input byte k depends only on whether decoding ended before that byte was
// done, so the events are raised between runs of the table loop, in the same order and with
// the same values as a bit-by-bit walk raises them.
#include "decode/Container.h"
#include "decode/FastTable.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace tw {

namespace {

using namespace fast;

constexpr std::size_t kSlack = 4;
constexpr std::size_t kGuard = 4;
constexpr std::uint8_t kGuardByte = 0xA5;

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

// out[i] = map[in[i]] for n bytes.
void MapBytesPlain(const std::uint8_t* in, std::uint8_t* out, std::int64_t n,
                   const std::uint8_t* map) {
    for (std::int64_t i = 0; i < n; ++i)
        out[i] = map[in[i]];
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same with byte permutes over the whole map, 64 bytes at a time: two 128-byte halves
// looked up by the low seven bits, the top bit picks the half.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
MapBytesVbmi(const std::uint8_t* in, std::uint8_t* out, std::int64_t n, const std::uint8_t* map) {
    const __m512i t0 = _mm512_loadu_si512(map), t1 = _mm512_loadu_si512(map + 64);
    const __m512i t2 = _mm512_loadu_si512(map + 128), t3 = _mm512_loadu_si512(map + 192);
    std::int64_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i x = _mm512_loadu_si512(in + i);
        const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
        _mm512_storeu_si512(out + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high));
    }
    MapBytesPlain(in + i, out + i, n - i, map);
}

void MapBytes(const std::uint8_t* in, std::uint8_t* out, std::int64_t n, const std::uint8_t* map) {
    static const bool vbmi = __builtin_cpu_supports("avx512vbmi") &&
                             __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512f");
    if (vbmi)
        MapBytesVbmi(in, out, n, map);
    else
        MapBytesPlain(in, out, n, map);
}
#else
void MapBytes(const std::uint8_t* in, std::uint8_t* out, std::int64_t n, const std::uint8_t* map) {
    MapBytesPlain(in, out, n, map);
}
#endif

enum class Outcome { Running, Full, Fault };

constexpr int kStepsPerRefill = 4;
constexpr std::int64_t kMostPerRefill = kStepsPerRefill * kMaxSymbolsPerEntry;
static_assert(kStepsPerRefill * kTableBits <= 56, "a refill holds at least 56 bits");

// Where one decoding stands: the start of its next code and the bytes it has written.
struct Cursor {
    std::int64_t pos;
    std::int64_t d;
    std::uint8_t* out;
};

// A cursor while table steps run: the next bits of the data in a 64-bit buffer.
struct Lane {
    const std::uint8_t* next; // first byte not yet in the buffer
    std::uint64_t buffer;
    int count;       // bits in the buffer; pos == (next - data) * 8 - count
    std::uint8_t* o; // where the next byte goes

    Lane(const std::uint8_t* data, const Cursor& c) : o(c.out + c.d) {
        std::memcpy(&buffer, data + (c.pos >> 3), 8);
        buffer = (buffer & ((std::uint64_t{1} << 56) - 1)) >> (c.pos & 7);
        count = 56 - static_cast<int>(c.pos & 7);
        next = data + (c.pos >> 3) + 7;
    }
    std::int64_t Pos(const std::uint8_t* data) const { return (next - data) * 8 - count; }
    void Back(const std::uint8_t* data, Cursor& c) const {
        c.pos = Pos(data);
        c.d = o - c.out;
    }

    // One table step. An entry the table does not hold takes no bits and gives no byte.
    [[gnu::always_inline]] Entry Take(const Entry* t) {
        const Entry e = t[buffer & (kTableSize - 1)];
        const std::uint32_t symbols = EntrySymbols(e);
        std::memcpy(o, &symbols, 4);
        o += EntryCount(e);
        buffer >>= (e & 63); // the entry's bits: one shift, nothing to unpack first
        count -= EntryBits(e);
        return e;
    }

    // Refills the buffer eight bytes at a time (it then holds at least 56 bits) and takes
    // four table steps. After a step on an entry the table does not hold, the steps repeat
    // it: the returned last entry tells.
    [[gnu::always_inline]] Entry Group(const Entry* t) {
        static_assert(kStepsPerRefill == 4);
        std::uint64_t w;
        std::memcpy(&w, next, 8);
        buffer |= w << count;
        next += (63 - count) >> 3;
        count |= 56;
        Take(t);
        Take(t);
        Take(t);
        return Take(t);
    }
};

// A code start of the second lane and the bytes it had written there.
struct Mark {
    std::int64_t pos;
    std::int64_t d;
};
// Marks are kept for the second lane's first groups only: a lane that started inside a
// code falls into step with the true code starts within a few codes, or not at all.
constexpr std::size_t kMarks = 4096;

// The second lane: in a long data block it decodes the second half from a guessed code start
// while the first lane decodes the first half; the table steps of the two interleave. When
// the first lane reaches a code start the second lane also had, the second lane's bytes from
// there on are the true bytes and are moved up behind the first lane's. If that never
// happens, or the first lane would run into them, they are dropped and the first lane
// decodes on alone. The second lane writes into the result itself, from where the first
// lane's bytes would end if the whole block packed alike, plus a margin.
struct SecondLane {
    enum class State { None, Running, Done, Ended } state = State::None;
    Cursor c{};
    std::int64_t base = 0;     // where its bytes start in the result
    std::int64_t limit = 0;    // no table steps from here on
    std::int64_t dLimit = 0;   // nor when this many bytes are written
    std::int64_t joinFrom = 0; // the first lane looks for the marks from here on
    std::vector<Mark> marks;   // the first `marked` of them are set
    std::size_t marked = 0;

    bool Pending() const { return state == State::Running || state == State::Done; }
};

struct DataDecoder {
    const Tree& tree;
    const std::vector<Entry>& table;
    const std::uint8_t* data; // the whole input
    std::int64_t endBit;      // first bit that is not decoded
    std::int64_t safeBit;     // below it the table loop's loads stay inside the data
    std::int64_t resultLen;
    std::int64_t capacity;    // bytes the result has room for
    Cursor a;                 // the decoding itself
    std::int64_t lastBit = 0; // on Full or Fault: the bit that ended decoding
    SecondLane second;

    int Bit(std::int64_t at) const { return (data[at >> 3] >> (at & 7)) & 1; }
    // Where the first lane's room ends while the second lane's bytes wait in the result.
    std::int64_t RoomLimit() const { return second.base - kMostPerRefill; }
    // The first lane would run into the second lane's bytes.
    bool Crowded() const { return second.Pending() && a.d >= RoomLimit(); }
    // Table steps of the first lane stop at this many bytes.
    std::int64_t DLimit() const {
        std::int64_t limit = resultLen - kMostPerRefill;
        return second.Pending() ? std::min(limit, RoomLimit()) : limit;
    }

    // One code, bit by bit from the root. Running also when the data ends inside a code
    // (pos is then endBit).
    Outcome Step(Cursor& c) {
        int node = 0;
        std::int64_t at = c.pos;
        while (at < endBit) {
            node = tree.child[Bit(at)][node];
            if (node < 0) {
                lastBit = at;
                return Outcome::Fault;
            }
            if (tree.symbol[node] >= 0) {
                c.out[c.d++] = static_cast<std::uint8_t>(tree.symbol[node]);
                c.pos = at + 1;
                if (c.d == resultLen) {
                    lastBit = at;
                    return Outcome::Full;
                }
                return Outcome::Running;
            }
            ++at;
        }
        c.pos = endBit;
        return Outcome::Running;
    }

    // Table steps while pos is below `limit` (which keeps the loads inside the data) and the
    // byte count below `dLimit`.
    void TableLoop(Cursor& c, std::int64_t limit, std::int64_t dLimit) {
        if (c.pos >= limit || c.d >= dLimit)
            return;
        const Entry* const t = table.data();
        const std::uint8_t* const end = c.out + dLimit;
        Lane lane(data, c);
        while (lane.Pos(data) < limit && lane.o < end)
            if (EntryCount(lane.Group(t)) == 0)
                break;
        lane.Back(data, c);
    }

    // Table steps on both lanes at once, each held to its own limits, until one has to stop.
    void DualLoop(std::int64_t limit) {
        SecondLane& s = second;
        const Entry* const t = table.data();
        const std::uint8_t* const aEnd = a.out + DLimit();
        const std::uint8_t* const bEnd = s.c.out + s.dLimit;
        const std::int64_t bLimit = s.limit;
        std::size_t marked = s.marked;
        Mark* const marks = s.marks.data();
        Lane la(data, a), lb(data, s.c);
        for (;;) {
            const std::int64_t pb = lb.Pos(data);
            if (la.Pos(data) >= limit || la.o >= aEnd || pb >= bLimit || lb.o >= bEnd)
                break;
            if (marked < kMarks)
                marks[marked++] = {pb, lb.o - s.c.out};
            const Entry ea = la.Group(t);
            const Entry eb = lb.Group(t);
            if (EntryCount(ea) == 0 || EntryCount(eb) == 0)
                break;
        }
        s.marked = marked;
        la.Back(data, a);
        lb.Back(data, s.c);
    }

    // Starts the second lane in the middle of a data block long enough for it to pay.
    void StartSecondLane() {
        constexpr std::int64_t kLeastBits = 8 * 32768;
        const std::int64_t span = safeBit - a.pos;
        if (span < kLeastBits)
            return;
        SecondLane& s = second;
        const std::int64_t split = a.pos + span / 2;
        const double share =
            static_cast<double>(split - a.pos) / static_cast<double>(endBit - a.pos);
        const auto expected = static_cast<std::int64_t>(share * static_cast<double>(resultLen));
        s.base = std::min(capacity, expected + resultLen / 64 + 64);
        s.dLimit = capacity - s.base - kMostPerRefill;
        if (s.dLimit <= 0)
            return;
        s.c = {split, 0, a.out + s.base};
        s.limit = safeBit;
        // The first lane's table steps end within 52 bits of this, before the first mark.
        s.joinFrom = split - 64;
        s.marks.resize(kMarks);
        s.state = SecondLane::State::Running;
    }

    // The second lane on its own after a stop of the dual loop: one code bit by bit where
    // the table has none, or the lane is done.
    void StepSecondLane() {
        SecondLane& s = second;
        if (s.c.pos >= s.limit || s.c.d >= s.dLimit) {
            s.state = SecondLane::State::Done;
            return;
        }
        Lane lb(data, s.c);
        if (EntryCount(table[lb.buffer & (kTableSize - 1)]) == 0 && Step(s.c) != Outcome::Running)
            s.state = SecondLane::State::Done; // the code there is decoded when it is reached
    }

    // The first lane has reached the second lane's start: it goes on code by code until it
    // stands on one of the marks, and from there takes the second lane's bytes as its own.
    Outcome Join() {
        SecondLane& s = second;
        while (s.state == SecondLane::State::Running) {
            TableLoop(s.c, s.limit, s.dLimit);
            StepSecondLane();
        }
        s.state = SecondLane::State::Ended;
        std::size_t j = 0;
        for (;;) {
            while (j < s.marked && s.marks[j].pos < a.pos)
                ++j;
            if (j == s.marked || a.d >= s.base)
                return Outcome::Running;
            if (s.marks[j].pos == a.pos)
                break;
            Outcome o = Step(a);
            if (o != Outcome::Running)
                return o;
        }
        // The second lane's room ends where the result's does, so a.d + take stays below the
        // plain length: decoding is not full anywhere in the bytes taken over.
        const std::int64_t take = s.c.d - s.marks[j].d;
        std::memmove(a.out + a.d, a.out + s.base + s.marks[j].d, static_cast<std::size_t>(take));
        a.d += take;
        a.pos = s.c.pos;
        return Outcome::Running;
    }

    // A complete code of eight-bit codes: every data byte is one code, looked up directly.
    void ByteLoop(std::int64_t limit, const std::array<std::uint8_t, 256>& byteMap) {
        std::int64_t k = a.pos >> 3;
        const std::int64_t n =
            std::min((std::min(limit, endBit) >> 3) - k, resultLen - 1 - a.d); // never the last
        if (n > 0) {
            MapBytes(data + k, a.out + a.d, n, byteMap.data());
            a.d += n;
            a.pos = (k + n) << 3;
        }
    }

    // Decodes whole codes while the next one starts before `stopBit`.
    Outcome Run(std::int64_t stopBit, const std::array<std::uint8_t, 256>* byteMap) {
        SecondLane& s = second;
        while (a.pos < stopBit) {
            if (Crowded())
                s.state = SecondLane::State::Ended; // the first lane needs the room
            if (byteMap && (a.pos & 7) == 0) {
                ByteLoop(stopBit, *byteMap);
            } else if (s.state == SecondLane::State::Running && a.pos < s.joinFrom) {
                DualLoop(std::min(stopBit, s.joinFrom));
                StepSecondLane();
            } else {
                TableLoop(a, std::min({stopBit, safeBit, s.Pending() ? s.joinFrom : safeBit}),
                          DLimit());
            }
            if (s.Pending() && a.pos >= s.joinFrom) {
                Outcome o = Join();
                if (o != Outcome::Running)
                    return o;
                continue;
            }
            if (a.pos >= stopBit || Crowded())
                continue;
            Outcome o = Step(a);
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
                    resultLen,
                    capacity,
                    {8 * P, 0, result.data()}};
    if (!byteCode)
        dec.StartSecondLane();

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
        for (; summed + 8 <= dec.a.d; summed += 8) {
            std::uint64_t w;
            std::memcpy(&w, result.data() + summed, 8);
            wide ^= w;
        }
    };
    Outcome outcome = Outcome::Running;
    while (dec.a.pos < dec.endBit) {
        std::int64_t stopBit = 8 * std::min(checkpoint, processedEnd);
        outcome = dec.Run(stopBit, byteCode ? &byteMap : nullptr);
        sum();
        if (outcome != Outcome::Running) {
            raiseInput(dec.lastBit);
            break;
        }
        raiseInput(dec.a.pos);
    }
    for (std::size_t g = 0; g < kGuard; ++g)
        if (result[static_cast<std::size_t>(capacity) + kSlack + g] != kGuardByte)
            std::abort(); // the table loop wrote past its room: memory is not to be trusted
    if (outcome == Outcome::Fault)
        ThrowDataFault();
    if (outcome == Outcome::Running && overrun)
        ThrowDataFault();

    const std::int64_t D = dec.a.d;
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
