#pragma once

#include "core/model/Colors.h"
#include "core/tracer/EchoPath.h"
#include "core/view/ViewGeometry.h"

#include <cstdint>
#include <vector>

namespace sonivera {

class Canvas;

// The kept echo paths of the last calculation as an overlay on the plan: each path a polyline
// from the listener through the points it met to its source, coloured by its delay on the viridis
// map (0 to the latest kept delay), the stronger ones more opaque (opacity follows the level
// relative to the strongest path over 30 dB). A highlighted bin shows its paths fully and dims
// the others; the hovered path is drawn widest and on top. Everything is drawn with the plain
// canvas pens, after the scene, so the scene's own drawing is untouched.
class PathOverlay {
public:
    // Pen widths in pixels.
    static constexpr int kWidth = 1;
    static constexpr int kEmphasisWidth = 2;
    // How far (pixels) from a polyline the pointer still hovers it.
    static constexpr int kHoverTolerance = 4;
    // The legend's colour bar, in window pixels.
    static constexpr int kLegendWidth = 160;
    static constexpr int kLegendHeight = 10;

    void SetPaths(std::vector<EchoPath> paths);
    void Clear();
    bool Empty() const { return m_paths.empty(); }
    const std::vector<EchoPath>& Paths() const { return m_paths; }
    // The latest delay among the kept paths (seconds): the end of the colour scale.
    double LatestDelay() const { return m_latest; }

    // The bin whose paths stand out (−1: none).
    void HighlightBin(std::int32_t bin) { m_bin = bin; }
    std::int32_t HighlightedBin() const { return m_bin; }
    // The path under the pointer (−1: none).
    void SetHovered(int index) { m_hovered = index; }
    int Hovered() const { return m_hovered; }

    // The colour and opacity path `index` is drawn with, already laid over white.
    RgbColor ColorOf(int index) const;
    int WidthOf(int index) const;

    // Draws the paths on a canvas whose origin is the scene origin, the weakest first.
    void Draw(Canvas& dc, int pixelsPerMetre) const;

    // Draws the legend's colour bar with its top-left corner at `at` (canvas pixels): one vertical
    // line per pixel column, from delay 0 at the left to LatestDelay() at the right.
    void DrawLegend(Canvas& dc, PixelPoint at) const;

    // The path drawn topmost within kHoverTolerance pixels of `logical` (drawing-frame pixels),
    // or −1.
    int PathAt(PixelPoint logical, int pixelsPerMetre) const;

    // The paths in the order they are drawn: the weakest first, the emphasised ones last.
    std::vector<int> DrawOrder() const;

private:
    double Opacity(int index) const;
    bool Emphasised(int index) const;

    std::vector<EchoPath> m_paths;
    double m_latest = 0.0;
    double m_strongest = 0.0;
    std::int32_t m_bin = -1;
    int m_hovered = -1;
};

// Where a legend box of `box` size goes in a client area of `client` size, `margin` pixels from
// its corner: the corner whose box would cover the fewest of `marks` (the symbols and path points
// in window pixels), the top-right one when several cover equally few. Returns its top-left.
PixelPoint LegendCorner(const std::vector<PixelPoint>& marks, PixelSize client, PixelSize box,
                        int margin);

} // namespace sonivera
