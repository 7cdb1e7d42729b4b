#pragma once
// One RAII owner for every kind of Win32 handle: move-only, closed exactly once.
#include <windows.h>

#include <utility>

namespace tw::win {

// Traits: `type`, `invalid()` and `close(h)` for one kind of handle.
template <typename Traits> class Handle {
  public:
    using T = typename Traits::type;

    Handle() noexcept = default;
    explicit Handle(T h) noexcept : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o)
            reset(std::exchange(o.h_, Traits::invalid()));
        return *this;
    }
    ~Handle() { reset(); }

    T get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }
    T release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(T h = Traits::invalid()) noexcept {
        if (h_ != Traits::invalid())
            Traits::close(h_);
        h_ = h;
    }
    // For out-parameters of API calls: closes what is held and hands out the slot.
    T* put() noexcept {
        reset();
        return &h_;
    }

  private:
    T h_ = Traits::invalid();
};

struct KeyTraits {
    using type = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY k) noexcept { RegCloseKey(k); }
};
struct KernelTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { CloseHandle(h); }
};
struct FileTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { CloseHandle(h); }
};
struct FindTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { FindClose(h); }
};

struct ModuleTraits {
    using type = HMODULE;
    static HMODULE invalid() noexcept { return nullptr; }
    static void close(HMODULE m) noexcept { FreeLibrary(m); }
};

using UniqueKey = Handle<KeyTraits>;         // RegOpenKey*, RegCreateKey*
using UniqueHandle = Handle<KernelTraits>;   // processes, threads, events
using UniqueFileHandle = Handle<FileTraits>; // CreateFile
using UniqueFind = Handle<FindTraits>;       // FindFirstFile
using UniqueModule = Handle<ModuleTraits>;   // LoadLibrary

} // namespace tw::win
