// The plain decoder: every step of the format as it is laid out, one tree step per bit.
// It is the yardstick for the table-driven decoder and is kept simple on purpose.
#include "decode/Container.h"

#include <array>

namespace tw {

namespace {

struct DecodeNode {
    std::int16_t Parent;
    std::int16_t OneChild;
    std::int16_t ZeroChild;
    std::int16_t Symbol;
};

struct SymbolCode {
    std::uint8_t BitCount = 0;
    std::vector<std::uint8_t> Bits;
};

// Reading past the end of the array is the run-time index error.
std::uint8_t At(const std::vector<std::uint8_t>& bytes, std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(bytes.size()))
        ThrowDataFault();
    return bytes[static_cast<std::size_t>(index)];
}

void CreateTree(std::array<DecodeNode, kMaxNodes>& nodes, int& nodesInUse, int symbol,
                const SymbolCode& code) {
    int I = 0;
    for (int j = 0; j < code.BitCount; ++j) {
        std::int16_t& child = code.Bits[j] ? nodes[I].OneChild : nodes[I].ZeroChild;
        if (child == -1) {
            if (nodesInUse >= kMaxNodes)
                ThrowDataFault();
            int K = nodesInUse++;
            child = static_cast<std::int16_t>(K);
            nodes[K] = {static_cast<std::int16_t>(I), -1, -1, -1};
        }
        I = child;
    }
    nodes[I].Symbol = static_cast<std::int16_t>(symbol);
}

void Raise(const ProgressHandler& progress, int value) {
    if (progress)
        progress(static_cast<std::int16_t>(value));
}

} // namespace

void DecodeBytesReference(std::vector<std::uint8_t>& ByteArray, std::int32_t ByteLen,
                          const ProgressHandler& Progress) {
    const std::vector<std::uint8_t>& in = ByteArray;

    // 1. Identification: all three bytes are read before they are compared.
    std::uint8_t id0 = At(in, 0), id1 = At(in, 1), id3 = At(in, 3);
    if (id0 == kIdH && id1 == kIdE && id3 == kIdCR) {
        std::uint8_t method = At(in, 2);
        if (method == kMethodStored) {
            if (ByteLen < 4)
                ThrowDataFault();
            std::vector<std::uint8_t> plain;
            for (std::int64_t k = 4; k < ByteLen; ++k)
                plain.push_back(At(in, k));
            ByteArray = std::move(plain);
            return;
        }
        if (method != kMethodHuffman)
            ThrowUnknownMethod();
    }

    // 2. Header.
    std::uint8_t CheckSum = At(in, 4);
    std::uint32_t len = 0;
    for (int i = 0; i < 4; ++i)
        len |= static_cast<std::uint32_t>(At(in, 5 + i)) << (8 * i);
    std::int32_t ResultLen = static_cast<std::int32_t>(len);
    if (ResultLen == 0)
        return;
    if (ResultLen < 0)
        ThrowDataFault();
    std::int16_t N = static_cast<std::int16_t>(At(in, 9) | (At(in, 10) << 8));

    // 3. Symbol table.
    std::array<SymbolCode, 256> codes;
    std::int64_t P = 11;
    for (int i = 0; i < N; ++i) {
        std::uint8_t S = At(in, P);
        std::uint8_t C = At(in, P + 1);
        P += 2;
        codes[S].BitCount = C;
        codes[S].Bits.assign(C, 0);
    }

    // 4. Bit values.
    std::array<std::uint8_t, 8> bitValue;
    for (int b = 0; b < 8; ++b)
        bitValue[b] = static_cast<std::uint8_t>(1 << b);

    // 5. Code block, symbols in ascending order.
    std::uint8_t current = At(in, P);
    P += 1;
    int B = 0;
    for (auto& code : codes) {
        for (int j = 0; j < code.BitCount; ++j) {
            if (current & bitValue[B])
                code.Bits[j] = 1;
            B += 1;
            if (B == 8) {
                current = At(in, P);
                P += 1;
                B = 0;
            }
        }
    }
    if (B == 0)
        P -= 1;

    // 6. Tree.
    std::array<DecodeNode, kMaxNodes> nodes{};
    nodes[0] = {-1, -1, -1, -1};
    int nodesInUse = 1;
    for (int s = 0; s < 256; ++s)
        CreateTree(nodes, nodesInUse, s, codes[s]);

    // 7. Data block.
    std::vector<std::uint8_t> result;
    int I = 0;
    std::int64_t D = 0;
    int R = 0;
    const std::int64_t end = ByteLen;
    for (std::int64_t k = P; k < end; ++k) {
        std::uint8_t byte = At(in, k);
        for (int b = 0; b < 8; ++b) {
            I = (byte & bitValue[b]) ? nodes[I].OneChild : nodes[I].ZeroChild;
            if (I < 0)
                ThrowDataFault(); // no such node
            if (nodes[I].Symbol >= 0) {
                result.push_back(static_cast<std::uint8_t>(nodes[I].Symbol));
                D += 1;
                if (D == ResultLen)
                    goto decoded;
                I = 0;
            }
        }
        if ((k + 1) % kProgressStep == 0) {
            int NewProgress = InputProgress(k + 1, ByteLen);
            if (NewProgress != R) {
                R = NewProgress;
                Raise(Progress, R);
            }
        }
    }
decoded:

    // 8. Checksum.
    std::uint8_t X = 0;
    for (std::int64_t i = 0; i < D; ++i) {
        X ^= result[static_cast<std::size_t>(i)];
        if (i % kProgressStep == 0) {
            int NewProgress = OutputProgress(i, D);
            if (NewProgress != R) {
                R = NewProgress;
                Raise(Progress, R);
            }
        }
    }
    if (X != CheckSum)
        ThrowChecksum();

    // 9. Result.
    ByteArray = std::move(result);
    if (R != 100)
        Raise(Progress, 100);
}

} // namespace tw
