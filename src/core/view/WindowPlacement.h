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

// The window's restored (not maximised) rectangle, kept apart from the maximised state. Every move
// and resize is observed; the rectangle follows the window only while it is shown and not
// maximised. The first geometry after leaving the maximised state still has the maximised size
// (and a window that started maximised is restored by the window manager to a size it made up),
// so that one is not taken: the caller puts the window back at the kept rectangle instead.
class RestoredWindowRect {
public:
    void Set(const PixelRect& rect) { m_rect = rect; }
    const PixelRect& Rect() const { return m_rect; }

    // Observes the window at `now`. Returns the rectangle to put the window back at when it has
    // just been restored from the maximised state, none otherwise; the caller sets it again
    // when it moves the window there, since the manager's own size may be observed first.
    std::optional<PixelRect> Observe(const PixelRect& now, bool shown, bool maximised);

private:
    PixelRect m_rect{};
    bool m_bMaximised = false;
};

} // namespace sonivera
