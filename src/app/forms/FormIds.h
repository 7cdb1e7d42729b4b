#pragma once
// Command ids of the controls of a form: the control at row i of the table has
// kFirstControlId + i, and its timer the same id.
#include <windows.h>

namespace tw {

inline constexpr UINT kFirstControlId = 100;

} // namespace tw
