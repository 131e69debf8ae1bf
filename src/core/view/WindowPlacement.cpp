#include "core/view/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace sonivera {

namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 720;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 240;

std::int64_t Overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
    return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

} // namespace

PixelRect DefaultWindowRect(const PixelRect& workArea) {
    const int areaWidth = std::max(workArea.right - workArea.left, 0);
    const int areaHeight = std::max(workArea.bottom - workArea.top, 0);
    const int width = std::min(kDefaultWidth, areaWidth);
    const int height = std::min(kDefaultHeight, areaHeight);
    const int left = workArea.left + (areaWidth - width) / 2;
    const int top = workArea.top + (areaHeight - height) / 2;
    return {left, top, left + width, top + height};
}

std::optional<PixelRect> UsableWindowRect(const PixelRect& remembered,
                                          std::span<const PixelRect> workAreas) {
    const std::int64_t width = std::int64_t{remembered.right} - remembered.left;
    const std::int64_t height = std::int64_t{remembered.bottom} - remembered.top;
    if (width < kMinWidth || height < kMinHeight) {
        return std::nullopt;
    }
    std::int64_t widest = 0;
    std::int64_t tallest = 0;
    bool grabbable = false;
    for (const PixelRect& area : workAreas) {
        widest = std::max<std::int64_t>(widest, std::int64_t{area.right} - area.left);
        tallest = std::max<std::int64_t>(tallest, std::int64_t{area.bottom} - area.top);
        const std::int64_t captionBottom = std::int64_t{remembered.top} + 32;
        if (Overlap(remembered.left, remembered.right, area.left, area.right) >= 64 &&
            Overlap(remembered.top, captionBottom, area.top, area.bottom) >= 16) {
            grabbable = true;
        }
    }
    if (!grabbable || width > widest || height > tallest) {
        return std::nullopt;
    }
    return remembered;
}

std::optional<PixelRect> RestoredWindowRect::Observe(const PixelRect& now, bool shown,
                                                     bool maximised) {
    if (!shown) {
        return std::nullopt;
    }
    if (maximised) {
        m_bMaximised = true;
        return std::nullopt;
    }
    if (m_bMaximised) {
        m_bMaximised = false;
        return m_rect;
    }
    m_rect = now;
    return std::nullopt;
}

} // namespace sonivera
