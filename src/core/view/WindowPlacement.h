#pragma once

#include "core/view/ViewGeometry.h"

#include <optional>
#include <span>

namespace sonivera {

// Where the main window goes at start-up when it is not maximised.

// The main window's size when nothing was remembered: 1024 × 720, made smaller where the work
// area (the screen without panels) is smaller, centred on that area.
PixelRect DefaultWindowRect(const PixelRect& workArea);

// A remembered window rectangle, if it can be used: at least 320 × 240, no larger than the
// largest work area, with its top 32 pixels (where the caption is) at least 64 pixels wide and 16
// high on one of the work areas, so the user can grab it. None otherwise (a damaged or
// off-screen setting, or a screen that has gone since).
std::optional<PixelRect> UsableWindowRect(const PixelRect& remembered,
                                          std::span<const PixelRect> workAreas);

} // namespace sonivera
