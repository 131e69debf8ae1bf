#pragma once

#include "core/plot/EffectPlot.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sonivera {

// The effect plot drawn by cairo into the bytes of an image file, all in memory, so the caller
// writes the file in one go (and nothing when drawing fails).
enum class PlotFormat { Png, Svg };

// Throws std::runtime_error when cairo reports an error.
std::vector<std::uint8_t> RenderEffectPlot(const EffectPlotInput& input, int width, int height,
                                           PlotFormat format);

// Any picture laid out onto the plot port (the map), the same way.
std::vector<std::uint8_t> RenderPicture(const std::function<void(PlotPort&)>& draw, int width,
                                        int height, PlotFormat format);

} // namespace sonivera
