#pragma once

namespace tw {

// Registers the cleaning windows (the Normal interface) with the form registry.
void RegisterCleaningForms();

} // namespace tw
