#pragma once

// GDI+ uses min and max, which NOMINMAX keeps out of the Windows headers.
#include <windows.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
