#include "app/Display.h"

#include "win/Api.h"

namespace tw {

std::string GetDisplayName() {
    return win::DisplayAdapterName();
}

} // namespace tw
