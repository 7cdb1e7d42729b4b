// Placeholder so the engine links until the registry search lands; replaced whole by it.
#include "clean/cRegSearch.h"

namespace tw {
cRegSearch::~cRegSearch() {
    StopSearch();
}
void cRegSearch::DoSearch() {}
} // namespace tw
