// DecodeByte against any input. The last byte steers the count passed with the array; the rest
// is the array, or, with bit 1 of that byte, bytes written over the second half of a long packed
// text (where the fast decoder runs a lane of its own). Both decoders must agree on bytes, error
// and Progress events; the input must also pack and unpack again, whole and cut short. The
// fast decoder checks its own guard bytes; the sanitizers watch every other access.
#include "DecodeTestUtil.h"
#include "decode/Encoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace tw::testing;

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_decode: %s\n", what);
    std::abort();
}

// The packed text whose second half is overwritten: first four bytes of `patch` pick the
// place, the rest is written there.
Bytes PatchLongText(const Bytes& patch) {
    static const Bytes text = tw::EncodeHuffman(EnglishLike(100000, 9));
    Bytes out = text;
    if (patch.size() < 4)
        return out;
    const std::size_t half = out.size() / 2;
    std::size_t at =
        half + (patch[0] | patch[1] << 8 | patch[2] << 16 | std::size_t{patch[3]} << 24) % half;
    for (std::size_t i = 4; i < patch.size() && at < out.size(); ++i, ++at)
        out[at] = patch[i];
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 20))
        return 0;
    const std::uint8_t control = data[size - 1];
    // exact size: the heap's red zone right after the array catches a read past its end
    Bytes input(data, data + size - 1);
    if (control & 2)
        input = PatchLongText(input);
    input.shrink_to_fit();
    std::int32_t byteLen = static_cast<std::int32_t>(input.size());
    if (control & 1)
        byteLen += static_cast<std::int8_t>(control) / 8; // -16 .. 15

    const Outcome fast = Decode(&tw::DecodeBytesFast, input, byteLen);
    if (!(fast == Decode(&tw::DecodeBytesReference, input, byteLen)))
        Fail("the fast and the plain decoder disagree");
    if (!fast.ok && !fast.inputUntouched)
        Fail("a failed decode changed the array");
    if (fast.ok && fast.bytes.size() > 8 * input.size() && fast.bytes != input)
        Fail("more bytes out than bits in");

    const Bytes packed = tw::EncodeHuffman(input);
    Outcome back = Decode(&tw::DecodeBytesFast, packed);
    if (!back.ok || back.bytes != input)
        Fail("a packed input does not unpack to itself");

    // Cut short (counted as cut or as whole), it fails alike in both decoders, leaving the array
    // as it was, or gives less than the input and nothing else.
    if (input.empty())
        return 0;
    const Bytes cut(packed.begin(),
                    packed.begin() + static_cast<std::ptrdiff_t>(packed.size() * control / 256));
    const std::int32_t count = static_cast<std::int32_t>(control & 1 ? packed.size() : cut.size());
    Outcome part = Decode(&tw::DecodeBytesFast, cut, count);
    if (!(part == Decode(&tw::DecodeBytesReference, cut, count)))
        Fail("the decoders disagree on a cut packed input");
    if (part.ok ? part.bytes.size() >= input.size() ||
                      !std::equal(part.bytes.begin(), part.bytes.end(), input.begin())
                : !part.inputUntouched)
        Fail("a cut packed input gives more than a start of the input");
    return 0;
}
