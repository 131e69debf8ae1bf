#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace sonivera {

// A colour of the plot, 8 bits per channel.
struct PlotColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};

enum class TextAnchorX { Left, Centre, Right };
enum class TextAnchorY { Top, Middle, Bottom };

// What a plot needs of a drawing surface: coordinates in pixels from the top-left corner,
// fractional where the surface can place them so. Text is UTF-8 in the surface's one plot font
// (about 12 pixels high). The editor implements it over the toolkit's graphics context, the
// command-line tool over cairo (PNG, SVG); tests record the calls.
class PlotPort {
public:
    virtual ~PlotPort() = default;
    virtual void FillRect(double x, double y, double width, double height, PlotColour colour) = 0;
    virtual void Line(double x1, double y1, double x2, double y2, PlotColour colour,
                      double width) = 0;
    virtual void Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) = 0;
    // Draws `text` with the given point of its box at (x, y).
    virtual void Text(double x, double y, const std::string& text, TextAnchorX anchorX,
                      TextAnchorY anchorY, PlotColour colour) = 0;
};

} // namespace sonivera
