#pragma once

#include "ViewGeometry.h"

// The two scroll bars of the editor view: extent, steps, the client size and the position, in
// pixels. The position of each axis stays within 0 .. max(0, extent − client size), as the
// scroll bars of a scrolling window allow.
class ScrollState {
public:
    enum class Axis { Horizontal, Vertical };
    // What a scroll bar asks for: the arrows (one line), the trough (one page), the ends, or a
    // thumb dragged to a position.
    enum class Action { LineUp, LineDown, PageUp, PageDown, Top, Bottom, ThumbTo };

    // Takes new extents and steps and scrolls to the top-left corner.
    void SetSizes(const ScrollSizes& sizes);
    // Takes the client area's size after a resize and keeps the position in range. Returns
    // whether the position changed.
    bool SetClientSize(PixelSize client);
    // Carries out a scroll bar action (thumb is used by ThumbTo only). Returns whether the
    // position changed.
    bool Scroll(Axis axis, Action action, int thumb = 0);

    const ScrollSizes& Sizes() const { return m_sizes; }
    PixelSize ClientSize() const { return m_client; }
    PixelPoint Position() const { return m_position; }
    // The largest position the axis can take at the current client size.
    int MaxPosition(Axis axis) const;

private:
    int& Coordinate(Axis axis);
    int ScrollTo(Axis axis, long long target);

    ScrollSizes m_sizes;
    PixelSize m_client;
    PixelPoint m_position;
};
