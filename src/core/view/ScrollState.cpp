#include "core/view/ScrollState.h"

#include <algorithm>
#include <cstdint>

namespace sonivera {

void ScrollState::SetSizes(const ScrollSizes& sizes) {
    m_sizes = sizes;
    m_position = {};
    FitClient();
}

bool ScrollState::SetClientSize(PixelSize client) {
    return SetViewport(client, {});
}

bool ScrollState::SetViewport(PixelSize outer, PixelSize bars) {
    m_outer = {std::max(outer.cx, 0), std::max(outer.cy, 0)};
    m_bars = {std::max(bars.cx, 0), std::max(bars.cy, 0)};
    return FitClient();
}

PixelSize ScrollState::Range() const {
    auto withBorder = [](int extent) {
        return extent > 0 && extent < INT32_MAX ? extent + 1 : extent;
    };
    return {withBorder(m_sizes.total.cx), withBorder(m_sizes.total.cy)};
}

bool ScrollState::FitClient() {
    m_client = VisibleClientSize(m_outer, Range(), m_bars);
    const PixelPoint before = m_position;
    ScrollTo(Axis::Horizontal, m_position.x);
    ScrollTo(Axis::Vertical, m_position.y);
    return !(before == m_position);
}

int ScrollState::MaxPosition(Axis axis) const {
    const int total = axis == Axis::Horizontal ? Range().cx : Range().cy;
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

} // namespace sonivera
