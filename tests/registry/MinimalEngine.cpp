// The engine's construction and text lookup, for testing the registry procedures on
// their own while the rest of the engine is built without them.
#include "clean/CleaningEngine.h"

namespace tw {

CleaningEngine::CleaningEngine(RunContext& context, cRegSearch& search)
    : ctx_(context), search_(search) {}

CleaningEngine::~CleaningEngine() = default;

std::string CleaningEngine::Text(std::string_view id) const {
    return ctx_.Text ? ctx_.Text(id) : LookupText(id);
}

} // namespace tw
