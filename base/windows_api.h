// <windows.h> without its rarely used parts and without its min and max macros, which would break
// std::min and std::max. Included by the Windows variants of the platform's calls only.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
