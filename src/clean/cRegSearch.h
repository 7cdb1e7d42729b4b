#pragma once
// Searches the registry for keys (and optionally value names and data) whose name
// contains, or equals, a text. Hits are reported as they are found.
#include <windows.h>

#include <string>
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

  private:
    void SearchKeys(HKEY root, const std::string& path);
    void SearchValues(HKEY root, const std::string& path);
    bool IsMatch(const std::string& text) const;
    void PumpMessages();

    Events* events_ = nullptr;
    std::string rootKey_ = "0";
    std::string subKey_;
    std::string searchString_;
    long searchFlags_ = 0;
    long stopReason_ = 0;
    bool running_ = false;
    unsigned long lastPump_ = 0;
};

} // namespace tw
