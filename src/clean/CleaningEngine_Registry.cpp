// Placeholder so the engine links until the registry procedures land; replaced whole.
#include "clean/CleaningEngine.h"

namespace tw {
void CleaningEngine::DeleteRegistryKey(const std::string&) {}
void CleaningEngine::DeleteRegistryValue(const std::string&) {}
void CleaningEngine::StartRegistrySearch(const std::string&) {}
void CleaningEngine::cReg_SearchFound(const std::string&, const std::string&, const std::string&) {}
} // namespace tw
