#include "decode/Encoder.h"

#include "decode/Container.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <stdexcept>

namespace tw {

namespace {

void PutIdentification(std::vector<std::uint8_t>& out, std::uint8_t method) {
    out.insert(out.end(), {kIdH, kIdE, method, kIdCR});
}

class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(int bit) {
        if (used_ == 0)
            out_.push_back(0);
        if (bit)
            out_.back() |= static_cast<std::uint8_t>(1u << used_);
        used_ = (used_ + 1) & 7;
    }
    // Codes of up to 64 bits, first bit in bit 0.
    void PutCode(std::uint64_t code, int length) {
        for (int i = 0; i < length; ++i)
            Put(static_cast<int>((code >> i) & 1));
    }

  private:
    std::vector<std::uint8_t>& out_;
    int used_ = 0;
};

} // namespace

std::vector<std::uint8_t> EncodeStored(std::span<const std::uint8_t> plain) {
    std::vector<std::uint8_t> out;
    out.reserve(plain.size() + 4);
    PutIdentification(out, kMethodStored);
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
}

std::vector<std::uint8_t> HuffmanCodeLengths(const std::vector<std::uint64_t>& counts) {
    // Classic Huffman construction over a min-heap; ties broken by node number so the
    // result does not depend on the heap's implementation.
    struct Node {
        std::uint64_t weight;
        int id;
    };
    auto heavier = [](const Node& a, const Node& b) {
        return a.weight != b.weight ? a.weight > b.weight : a.id > b.id;
    };
    std::priority_queue<Node, std::vector<Node>, decltype(heavier)> heap(heavier);
    const int symbols = static_cast<int>(counts.size());
    std::vector<int> parent(2 * symbols, -1);
    for (int s = 0; s < symbols; ++s)
        if (counts[s] > 0)
            heap.push({counts[s], s});
    std::vector<std::uint8_t> lengths(symbols, 0);
    if (heap.size() == 1) {
        lengths[heap.top().id] = 1;
        return lengths;
    }
    int next = symbols;
    while (heap.size() > 1) {
        Node a = heap.top();
        heap.pop();
        Node b = heap.top();
        heap.pop();
        parent[a.id] = parent[b.id] = next;
        heap.push({a.weight + b.weight, next});
        ++next;
    }
    // Parents are numbered after their children, so depths fill in from the top down.
    std::vector<int> depth(2 * symbols, 0);
    for (int id = next - 2; id >= 0; --id)
        if (parent[id] >= 0)
            depth[id] = depth[parent[id]] + 1;
    for (int s = 0; s < symbols; ++s)
        if (counts[s] > 0)
            lengths[s] = static_cast<std::uint8_t>(depth[s]);
    return lengths;
}

std::vector<std::uint8_t> EncodeHuffman(std::span<const std::uint8_t> plain) {
    if (plain.empty())
        return EncodeStored(plain);
    if (plain.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("more than 2^31 - 1 bytes cannot be packed");

    std::vector<std::uint64_t> counts(256, 0);
    std::uint8_t checksum = 0;
    for (std::uint8_t b : plain) {
        ++counts[b];
        checksum ^= b;
    }
    std::vector<std::uint8_t> lengths = HuffmanCodeLengths(counts);

    // Canonical codes: shorter codes first, equal lengths in symbol order. Written first
    // bit first, so the code is stored bit-reversed for the writer.
    std::vector<int> order;
    for (int s = 0; s < 256; ++s)
        if (lengths[s] > 0)
            order.push_back(s);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return lengths[a] < lengths[b]; });
    std::vector<std::vector<std::uint8_t>> codes(256);
    std::vector<std::uint8_t> value; // the running canonical code, most significant first
    for (int s : order) {
        if (value.empty()) {
            value.assign(lengths[s], 0);
        } else {
            // next code: add one, then append zeros up to the new length
            int i = static_cast<int>(value.size()) - 1;
            while (i >= 0 && value[i] == 1)
                value[i--] = 0;
            value[i] = 1;
            value.resize(lengths[s], 0);
        }
        codes[s] = value;
    }

    std::vector<std::uint8_t> out;
    out.reserve(plain.size() / 2 + 600);
    PutIdentification(out, kMethodHuffman);
    out.push_back(checksum);
    const auto length = static_cast<std::uint32_t>(plain.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    const auto n = static_cast<std::uint16_t>(order.size());
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    for (int s = 0; s < 256; ++s) {
        if (lengths[s] > 0) {
            out.push_back(static_cast<std::uint8_t>(s));
            out.push_back(lengths[s]);
        }
    }
    {
        BitWriter code(out);
        for (int s = 0; s < 256; ++s)
            for (std::uint8_t bit : codes[s])
                code.Put(bit);
    }
    // The data block starts on a fresh byte. Codes up to 32 bits go out as whole words;
    // fewer than 32 bits wait in the accumulator between codes.
    std::vector<std::uint64_t> word(256, 0);
    for (int s = 0; s < 256; ++s) {
        if (codes[s].size() <= 32)
            for (std::size_t i = 0; i < codes[s].size(); ++i)
                word[s] |= static_cast<std::uint64_t>(codes[s][i]) << i;
    }
    std::uint64_t acc = 0;
    int accBits = 0;
    for (std::uint8_t b : plain) {
        const std::vector<std::uint8_t>& c = codes[b];
        if (c.size() > 32) {
            for (std::uint8_t bit : c) {
                acc |= static_cast<std::uint64_t>(bit) << accBits;
                if (++accBits == 32) {
                    for (int i = 0; i < 4; ++i)
                        out.push_back(static_cast<std::uint8_t>(acc >> (8 * i)));
                    acc = 0;
                    accBits = 0;
                }
            }
            continue;
        }
        const int len = static_cast<int>(c.size());
        acc |= word[b] << accBits;
        accBits += len;
        if (accBits >= 32) {
            for (int i = 0; i < 4; ++i)
                out.push_back(static_cast<std::uint8_t>(acc >> (8 * i)));
            acc >>= 32;
            accBits -= 32;
        }
    }
    while (accBits > 0) {
        out.push_back(static_cast<std::uint8_t>(acc));
        acc >>= 8;
        accBits -= 8;
    }
    return out;
}

} // namespace tw
