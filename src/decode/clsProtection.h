#pragma once
// clsProtection turns a packed file (filter, cab filter, language file) back into its
// plain bytes. The object keeps no state between calls and may be reused.
#include "decode/Container.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class clsProtection {
  public:
    // The owner's side of the Progress event (empty: nobody listens).
    void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }

    // Decodes SourceFile into DestFile, replacing a file of that name (read-only or hidden
    // included). A missing SourceFile is error "0320" before anything is opened; on any
    // decode error DestFile is left as it was. File errors reach the caller as AppError
    // with the platform's run-time error numbers.
    void DecodeFile(const std::string& SourceFile, const std::string& DestFile);

    // Decodes text whose characters are the packed bytes in the ANSI code page.
    std::string DecodeString(const std::string& Text);

    // Replaces ByteArray with the decoded form of its first ByteLen bytes. ByteLen itself
    // is left as it is. Errors: AppError, see Container.h.
    void DecodeByte(std::vector<std::uint8_t>& ByteArray, std::int32_t& ByteLen);

  private:
    ProgressHandler progress_;
};

} // namespace tw
