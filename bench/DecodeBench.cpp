// Decode speed in bytes of output per second: the table-driven decoder, the plain decoder
// and zlib's inflate on the same 10 MB, once English-like text and once random bytes.
// zlib is measured twice: its default deflate, and Huffman coding only (the same kind of
// coding as the container).
// Run it on one core, `taskset -c 1 build/native/bench/bench_decode`: a move to the other
// core in the middle of a 10 MB decode costs more than the decode's own variations.
#include "DecodeTestUtil.h"
#include "decode/Encoder.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <stdexcept>

namespace {

using tw::testing::Bytes;

constexpr std::size_t kSize = 10u << 20;

const Bytes& Plain(int kind) {
    static const Bytes text = tw::testing::EnglishLike(kSize, 1);
    static const Bytes random = tw::testing::RandomBytes(kSize, 2);
    return kind == 0 ? text : random;
}

const Bytes& Packed(int kind) {
    static const Bytes text = tw::EncodeHuffman(Plain(0));
    static const Bytes random = tw::EncodeHuffman(Plain(1));
    return kind == 0 ? text : random;
}

Bytes Deflate(const Bytes& plain, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, plain.size()));
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

void Label(benchmark::State& state, int kind, std::size_t packedSize) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kSize));
    state.SetLabel(std::string(kind == 0 ? "text" : "random") + ", packed " +
                   std::to_string(packedSize * 100 / kSize) + "%");
}

template <tw::testing::DecodeFn Decoder> void BM_Container(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const Bytes& packed = Packed(kind);
    Bytes bytes;
    for (auto _ : state) {
        state.PauseTiming();
        bytes = packed;
        state.ResumeTiming();
        Decoder(bytes, static_cast<std::int32_t>(packed.size()), nullptr);
        benchmark::DoNotOptimize(bytes.data());
    }
    if (bytes != Plain(kind))
        state.SkipWithError("wrong result");
    Label(state, kind, packed.size());
}

void BM_ZlibInflate(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const int strategy = state.range(1) ? Z_HUFFMAN_ONLY : Z_DEFAULT_STRATEGY;
    const Bytes deflated = Deflate(Plain(kind), strategy);
    Bytes out(kSize);
    for (auto _ : state) {
        if (state.range(2))
            out = Bytes(kSize); // a fresh array for every call, as the decoder makes one
        uLongf length = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &length, deflated.data(), static_cast<uLong>(deflated.size())) !=
            Z_OK)
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.data());
    }
    if (out != Plain(kind))
        state.SkipWithError("wrong result");
    Label(state, kind, deflated.size());
}

BENCHMARK_TEMPLATE(BM_Container, &tw::DecodeBytesFast)
    ->Name("fast")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Container, &tw::DecodeBytesReference)
    ->Name("plain")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)
    ->Name("zlib")
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"", "huffman_only", "fresh_output"})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
