#include "ScrollState.h"

#include <algorithm>

void ScrollState::SetSizes(const ScrollSizes& sizes) {
    m_sizes = sizes;
    m_position = {};
}

bool ScrollState::SetClientSize(PixelSize client) {
    m_client = {std::max(client.cx, 0), std::max(client.cy, 0)};
    const PixelPoint before = m_position;
    ScrollTo(Axis::Horizontal, m_position.x);
    ScrollTo(Axis::Vertical, m_position.y);
    return !(before == m_position);
}

int ScrollState::MaxPosition(Axis axis) const {
    const int total = axis == Axis::Horizontal ? m_sizes.total.cx : m_sizes.total.cy;
    const int client = axis == Axis::Horizontal ? m_client.cx : m_client.cy;
    return std::max(total - client, 0);
}

int& ScrollState::Coordinate(Axis axis) {
    return axis == Axis::Horizontal ? m_position.x : m_position.y;
}

int ScrollState::ScrollTo(Axis axis, long long target) {
    const int clamped = static_cast<int>(
        std::clamp<long long>(target, 0, static_cast<long long>(MaxPosition(axis))));
    Coordinate(axis) = clamped;
    return clamped;
}

bool ScrollState::Scroll(Axis axis, Action action, int thumb) {
    const bool horizontal = axis == Axis::Horizontal;
    const long long line = horizontal ? m_sizes.line.cx : m_sizes.line.cy;
    const long long page = horizontal ? m_sizes.page.cx : m_sizes.page.cy;
    const long long now = Coordinate(axis);
    long long target = now;
    switch (action) {
    case Action::LineUp:
        target = now - line;
        break;
    case Action::LineDown:
        target = now + line;
        break;
    case Action::PageUp:
        target = now - page;
        break;
    case Action::PageDown:
        target = now + page;
        break;
    case Action::Top:
        target = 0;
        break;
    case Action::Bottom:
        target = MaxPosition(axis);
        break;
    case Action::ThumbTo:
        target = thumb;
        break;
    }
    return ScrollTo(axis, target) != now;
}
