#include "decode/clsProtection.h"

#include "core/AppError.h"
#include "core/Text.h"
#include "win/FileExists.h"

#include <cstdio>
#include <limits>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tw {

namespace {

// The platform's run-time errors for file operations.
constexpr long kFileNotFound = 53;
constexpr long kPermissionDenied = 70;
constexpr long kPathFileAccess = 75;

[[noreturn]] void ThrowFileError(long number, const char* description) {
    throw AppError(number, kSourceDecodeFile, description);
}

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    UniqueFile f(std::fopen(path.c_str(), "rb"));
    if (!f)
        ThrowFileError(kFileNotFound, "File not found");
    std::vector<std::uint8_t> bytes;
    if (std::fseek(f.get(), 0, SEEK_END) != 0)
        ThrowFileError(kPathFileAccess, "Path/File access error");
    long length = std::ftell(f.get());
    if (length < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0)
        ThrowFileError(kPathFileAccess, "Path/File access error");
    bytes.resize(static_cast<std::size_t>(length));
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        ThrowFileError(kPathFileAccess, "Path/File access error");
    return bytes;
}

// Sets the attributes of an existing file to normal (not read-only, not hidden) and
// deletes it.
void ClearAndDelete(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str()))
        ThrowFileError(kPermissionDenied, "Permission denied");
#else
    chmod(path.c_str(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    if (std::remove(path.c_str()) != 0)
        ThrowFileError(kPermissionDenied, "Permission denied");
#endif
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    UniqueFile f(std::fopen(path.c_str(), "wb"));
    if (!f)
        ThrowFileError(kPathFileAccess, "Path/File access error");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        ThrowFileError(kPathFileAccess, "Path/File access error");
    if (std::fclose(f.release()) != 0)
        ThrowFileError(kPathFileAccess, "Path/File access error");
}

} // namespace

void clsProtection::DecodeFile(const std::string& SourceFile, const std::string& DestFile) {
    if (!FileExists(SourceFile))
        throw AppError(kAppErrorNumber, kSourceDecodeFile, LookupText("0320"));
    std::vector<std::uint8_t> bytes = ReadWholeFile(SourceFile);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw AppError(6, kSourceDecodeFile, "Overflow");
    std::int32_t length = static_cast<std::int32_t>(bytes.size());
    DecodeByte(bytes, length);
    if (FileExists(DestFile))
        ClearAndDelete(DestFile);
    WriteWholeFile(DestFile, bytes);
}

std::string clsProtection::DecodeString(const std::string& Text) {
    std::vector<std::uint8_t> bytes(Text.begin(), Text.end());
    // The count passed on is the length of the text in characters.
    std::int32_t length = static_cast<std::int32_t>(Text.size());
#ifdef _WIN32
    if (!Text.empty())
        length =
            MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
#endif
    DecodeByte(bytes, length);
    return std::string(bytes.begin(), bytes.end());
}

void clsProtection::DecodeByte(std::vector<std::uint8_t>& ByteArray, std::int32_t& ByteLen) {
    DecodeBytesFast(ByteArray, ByteLen, progress_);
}

} // namespace tw
