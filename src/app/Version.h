#pragma once
// The program's major and minor version, as the window captions and the about box show
// them and as the version resource of the executable carries them.
#include <string>

#ifndef TW_VERSION_MAJOR
#error "TW_VERSION_MAJOR is set by the build"
#endif

namespace tw {

inline constexpr int kVersionMajor = TW_VERSION_MAJOR;
inline constexpr int kVersionMinor = TW_VERSION_MINOR;

// "major.minor", as appended to captions.
inline std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

} // namespace tw
