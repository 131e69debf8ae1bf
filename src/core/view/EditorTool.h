#pragma once

#include <cstdint>

namespace sonivera {

// The editing tools of the left mouse button; the values are those of the view's m_nTool.
enum EditorTool : std::int32_t {
    ToolSelect = 0,
    ToolMove = 1,
    ToolDrawRect = 2,
    ToolAddSource = 3,
};

constexpr bool IsEditorTool(std::int32_t value) {
    return value >= ToolSelect && value <= ToolAddSource;
}

} // namespace sonivera
