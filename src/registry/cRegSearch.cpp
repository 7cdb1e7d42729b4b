#include "registry/cRegSearch.h"

#include "core/AppError.h"
#include "registry/Registry.h"
#include "registry/rules/RegistryRules.h"
#include "win/Handle.h"
#include "win/MessagePump.h"

#include <algorithm>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace tw {

namespace {

constexpr REGSAM kRead = 0x20019;
constexpr DWORD kNameBuffer = 260;
constexpr DWORD kDataBuffer = 4096;
constexpr long kTypeMismatch = 13;
constexpr long kOutOfMemory = 7;
constexpr long kInvalidCall = 5;

std::uint32_t HandleValue(HKEY root) {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(root));
}

// The number an error ends the search with.
long ErrorNumber() noexcept {
    try {
        throw;
    } catch (const AppError& e) {
        return e.number() ? e.number() : kInvalidCall;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kInvalidCall;
    }
}

// Clears the running flag however DoSearch ends.
struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
};

} // namespace

cRegSearch::~cRegSearch() {
    StopSearch();
}

std::string cRegSearch::ValueText(unsigned long type, const unsigned char* data, size_t size) {
    return tw::ValueText(static_cast<std::uint32_t>(type),
                         std::span<const unsigned char>(data, size));
}

std::string cRegSearch::StripNull(const std::string& text) {
    return std::string(tw::StripNull(text));
}

std::string cRegSearch::RootKeyName(HKEY root) {
    return RootNameFromHandle(HandleValue(root));
}

bool cRegSearch::IsMatch(std::string_view text) const {
    return MatchesSearch(text, upperSearch_, (searchFlags_ & WholeString) != 0);
}

void cRegSearch::YieldToMessageLoop() {
    if (pumpQuit_)
        return;
    const unsigned long now = GetTickCount();
    if (yieldInterval_ != 0 && now - lastPump_ < yieldInterval_)
        return;
    lastPump_ = now;
    if (!win::PumpMessages())
        pumpQuit_ = true;
}

void cRegSearch::Found(HKEY root, const std::string& key, const std::string& value) {
    if (events_)
        events_->SearchFound(RootKeyName(root), key, value);
}

void cRegSearch::DoSearch() {
    if (running_)
        return; // one search at a time; a nested call finds the first still running
    const std::optional<std::int32_t> number = ParseRootKeyText(rootKey_);
    if (!number)
        throw AppError(kTypeMismatch, "DoSearch", "Type mismatch");
    RunningFlag running(running_);
    upperSearch_ = UpperAscii(searchString_);
    pumpQuit_ = false;
    lastPump_ = GetTickCount();
    if (*number == 0) {
        for (const RootName& r : RootNames()) {
            SearchKeys(RootKeyFromValue(r.Handle), subKey_);
            if (stopReason_ != 0)
                break;
        }
    } else {
        const HKEY root = RootKeyFromValue(static_cast<std::uint32_t>(*number));
        if (searchFlags_ & (ValueNames | ValueData))
            SearchValues(root, subKey_);
        SearchKeys(root, subKey_);
    }
    const long reason = stopReason_;
    if (events_) {
        try {
            events_->SearchFinished(reason);
        } catch (...) {
            // the owner's handler has nothing to hand an error to here
        }
    }
    stopReason_ = 0;
}

void cRegSearch::SearchKeys(HKEY root, const std::string& path) {
    SearchKeysIn(root, root, path.c_str(), path);
}

// Each subkey is opened relative to its open parent rather than by its full path from
// the root: the same key, without the registry walking the whole path again per key.
void cRegSearch::SearchKeysIn(HKEY root, HKEY parent, const char* relative,
                              const std::string& path) {
    if (stopReason_ != 0)
        return;
    win::UniqueKey key;
    if (RegOpenKeyExA(parent, relative, 0, kRead, key.put()) != ERROR_SUCCESS)
        return;
    try {
        std::string full;
        for (DWORD index = 0;; ++index) {
            YieldToMessageLoop();
            char buffer[kNameBuffer];
            if (RegEnumKeyA(key.get(), index, buffer, kNameBuffer) != ERROR_SUCCESS)
                break;
            buffer[kNameBuffer - 1] = '\0';
            const std::string_view name(buffer);
            if (path.empty())
                full.assign(name);
            else {
                full.assign(path);
                full += '\\';
                full += name;
            }
            if (IsMatch(name))
                Found(root, full, "*");
            if (searchFlags_ & (ValueNames | ValueData))
                SearchValues(root, full);
            SearchKeysIn(root, key.get(), buffer, full);
        }
    } catch (...) {
        stopReason_ = ErrorNumber();
    }
}

void cRegSearch::SearchValues(HKEY root, const std::string& path) {
    if (stopReason_ != 0)
        return;
    win::UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, kRead, key.put()) != ERROR_SUCCESS)
        return;
    try {
        std::vector<unsigned char> data(kDataBuffer);
        for (DWORD index = 0;; ++index) {
            char name[kNameBuffer] = {};
            DWORD nameLen = kNameBuffer;
            DWORD dataLen = kDataBuffer;
            DWORD type = 0;
            std::fill(data.begin(), data.end(), 0);
            if (RegEnumValueA(key.get(), index, name, &nameLen, nullptr, &type, data.data(),
                              &dataLen) != ERROR_SUCCESS)
                break;
            if (dataLen < 1)
                dataLen = 1;
            const std::span<const unsigned char> bytes(data.data(), dataLen);
            const std::string valueName(tw::StripNull(std::string_view(name, kNameBuffer)));
            const std::string hit = path + "\\" + valueName;
            if ((searchFlags_ & ValueNames) && IsMatch(valueName))
                Found(root, hit, tw::ValueText(type, bytes));
            if (searchFlags_ & ValueData) {
                const std::string text(tw::StripNull(tw::ValueText(type, bytes)));
                if (IsMatch(text))
                    Found(root, hit, text);
            }
        }
    } catch (...) {
        stopReason_ = ErrorNumber();
    }
}

} // namespace tw
