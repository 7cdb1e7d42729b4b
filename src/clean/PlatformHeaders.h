#pragma once
// <windows.h> for the engine's sources, without winbase.h's obsolete Yield() macro,
// which would otherwise swallow the registry search's member of that name.
#include <windows.h>
#undef Yield
