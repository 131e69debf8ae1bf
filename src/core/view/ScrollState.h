#pragma once

#include "core/view/ViewGeometry.h"

namespace sonivera {

// The two scroll bars of the editor view: extent, steps, the client size and the position, in
// pixels. The scrolled range is the extent plus the one pixel of the border line drawn just past
// it (so the border and an object on it can be scrolled to and picked); the position of each
// axis stays within 0 .. max(0, range − client size), as the scroll bars of a scrolling window
// allow.
class ScrollState {
public:
    enum class Axis { Horizontal, Vertical };
    // What a scroll bar asks for: the arrows (one line), the trough (one page), the ends, or a
    // thumb dragged to a position.
    enum class Action { LineUp, LineDown, PageUp, PageDown, Top, Bottom, ThumbTo };

    // Takes new extents and steps and scrolls to the top-left corner.
    void SetSizes(const ScrollSizes& sizes);
    // Takes the client area's size after a resize and keeps the position in range. Returns
    // whether the position changed. The same as SetViewport(client, {0, 0}).
    bool SetClientSize(PixelSize client);
    // Takes the window's area without scroll bars and the bars' thickness (vertical bar's width,
    // horizontal bar's height): the client size is then what the bars leave (VisibleClientSize),
    // now and after every change of the extent. Keeps the position in range; returns whether it
    // changed.
    bool SetViewport(PixelSize outer, PixelSize bars);
    // Carries out a scroll bar action (thumb is used by ThumbTo only). Returns whether the
    // position changed.
    bool Scroll(Axis axis, Action action, int thumb = 0);

    const ScrollSizes& Sizes() const { return m_sizes; }
    // The scrolled range: the extent and the border line (nothing for an empty extent).
    PixelSize Range() const;
    PixelSize ClientSize() const { return m_client; }
    PixelPoint Position() const { return m_position; }
    // The largest position the axis can take at the current client size.
    int MaxPosition(Axis axis) const;

private:
    int& Coordinate(Axis axis);
    bool FitClient();
    int ScrollTo(Axis axis, long long target);

    ScrollSizes m_sizes;
    PixelSize m_outer;
    PixelSize m_bars;
    PixelSize m_client;
    PixelPoint m_position;
};

} // namespace sonivera
