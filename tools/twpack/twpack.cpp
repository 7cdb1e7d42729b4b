// twpack pack [--stored] [--text] IN OUT
// twpack unpack IN OUT
#include "core/AppError.h"
#include "core/Text.h"
#include "decode/Encoder.h"
#include "decode/TextSource.h"
#include "decode/clsProtection.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int kUsage = 2;
constexpr int kFailed = 1;

const char* const kUsageText = "usage: twpack pack [--stored] [--text] IN OUT\n"
                               "       twpack unpack IN OUT\n"
                               "  --stored  keep the bytes as they are (no Huffman coding)\n"
                               "  --text    text source: CR LF line ends, '#' lines dropped\n";

// The decoder's messages, as twpack tells them.
std::string Messages(std::string_view id) {
    if (id == "0320")
        return "the packed file does not exist";
    if (id == "0321")
        return "unknown packing method (not a packed file of this kind)";
    if (id == "0322")
        return "checksum mismatch: the packed file is damaged";
    return "?";
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    bytes.clear();
    std::uint8_t block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

int Pack(const std::vector<std::string>& args) {
    bool stored = false, text = false;
    std::vector<std::string> files;
    for (const auto& a : args) {
        if (a == "--stored")
            stored = true;
        else if (a == "--text")
            text = true;
        else if (a.size() > 1 && a[0] == '-' && a[1] == '-')
            return std::fprintf(stderr, "twpack: unknown option %s\n%s", a.c_str(), kUsageText),
                   kUsage;
        else
            files.push_back(a);
    }
    if (files.size() != 2)
        return std::fputs(kUsageText, stderr), kUsage;
    std::vector<std::uint8_t> plain;
    if (!ReadFile(files[0], plain)) {
        std::fprintf(stderr, "twpack: cannot read %s\n", files[0].c_str());
        return kFailed;
    }
    if (text)
        plain = tw::PrepareTextSource(plain);
    std::vector<std::uint8_t> packed = stored ? tw::EncodeStored(plain) : tw::EncodeHuffman(plain);
    if (!WriteFile(files[1], packed)) {
        std::fprintf(stderr, "twpack: cannot write %s\n", files[1].c_str());
        return kFailed;
    }
    return 0;
}

int Unpack(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return std::fputs(kUsageText, stderr), kUsage;
    tw::SetTextLookup(&Messages);
    tw::clsProtection Protection;
    try {
        Protection.DecodeFile(args[0], args[1]);
    } catch (const tw::AppError& e) {
        if (e.number() == tw::kSubscriptOutOfRange)
            std::fprintf(stderr, "twpack: %s: the packed file is damaged or cut short\n",
                         args[0].c_str());
        else
            std::fprintf(stderr, "twpack: %s: %s (error %ld in %s)\n", args[0].c_str(),
                         e.description().c_str(), e.number(), e.source().c_str());
        return kFailed;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        if (args.empty())
            return std::fputs(kUsageText, stderr), kUsage;
        std::string command = args.front();
        args.erase(args.begin());
        if (command == "pack")
            return Pack(args);
        if (command == "unpack")
            return Unpack(args);
        std::fprintf(stderr, "twpack: unknown command %s\n%s", command.c_str(), kUsageText);
        return kUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "twpack: %s\n", e.what());
        return kFailed;
    }
}
