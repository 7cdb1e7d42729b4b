#pragma once
// The configured font face ([FONT] Name), given to every window but the splash.
#include "app/forms/Form.h"

#include <string>

namespace tw {

// Gives `form` and its controls the configured face. "Default" (and a missing name,
// which counts as "Default") keeps the design fonts.
void ApplyFont(Form& form);

// The face name of the program's font as last applied ("" before the first use).
const std::string& AppFont();

} // namespace tw
