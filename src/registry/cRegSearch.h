#pragma once
// Searches the registry for keys (and optionally value names and data) whose name
// contains, or equals, a text. Hits are reported as they are found.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace tw {

class cRegSearch {
  public:
    enum Flags : long { ValueNames = 1, ValueData = 2, WholeString = 4 };

    // The owner's side of the search's events.
    class Events {
      public:
        virtual ~Events() = default;
        virtual void SearchFound(const std::string& sRootKey, const std::string& sKey,
                                 const std::string& sValue) = 0;
        virtual void SearchFinished(long /*reason*/) {}
    };

    cRegSearch() = default;
    cRegSearch(const cRegSearch&) = delete;
    cRegSearch& operator=(const cRegSearch&) = delete;
    ~cRegSearch(); // stops a running search

    void SetEvents(Events* events) noexcept { events_ = events; }

    // Write-only properties.
    void SubKey(std::string value) { subKey_ = std::move(value); }
    void SearchString(std::string value) { searchString_ = std::move(value); }
    void SearchFlags(long value) noexcept { searchFlags_ = value; }
    void RootKey(std::string value) { rootKey_ = std::move(value); }

    // Runs the search; returns when it is over, after SearchFinished. Throws AppError
    // (a run-time error) when RootKey is not a number.
    void DoSearch();
    // May be called while a search runs (from code run during its message-loop yields).
    void StopSearch() noexcept { stopReason_ = 1; }

    bool Running() const noexcept { return running_; }

    // How often the key enumeration yields to the message loop at most, by the tick
    // count (0: before every key). Keeps the window served without slowing the walk.
    void YieldInterval(unsigned long ms) noexcept { yieldInterval_ = ms; }

    // The text form of value data, as hits on value data report it.
    static std::string ValueText(unsigned long type, const unsigned char* data, size_t size);
    static std::string StripNull(const std::string& text);
    // Full root name of a root handle; empty text for any other handle.
    static std::string RootKeyName(HKEY root);

  private:
    void SearchKeys(HKEY root, const std::string& path);
    // SearchKeys on root\path, opened as `relative` below the already open `parent`.
    void SearchKeysIn(HKEY root, HKEY parent, const char* relative, const std::string& path);
    void SearchValues(HKEY root, const std::string& path);
    bool IsMatch(std::string_view text) const;
    void YieldToMessageLoop();
    void Found(HKEY root, const std::string& key, const std::string& value);

    Events* events_ = nullptr;
    std::string rootKey_ = "0";
    std::string subKey_;
    std::string searchString_;
    long searchFlags_ = 0;
    long stopReason_ = 0;
    bool running_ = false;
    unsigned long lastPump_ = 0;
    unsigned long yieldInterval_ = 15;
    bool pumpQuit_ = false;   // WM_QUIT met: the outer loop is ending, no more pumping
    std::string upperSearch_; // SearchString upper-cased for the run
};

} // namespace tw
