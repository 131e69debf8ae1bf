#include "cli/render/CairoPlot.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace sonivera {

namespace {

constexpr double kFontSize = 12.0;

// The plot port over a cairo context: thin lines on pixel centres so they stay sharp.
class CairoPlotPort : public PlotPort {
public:
    explicit CairoPlotPort(cairo_t* cr) : m_cr(cr) {
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, kFontSize);
    }

    void FillRect(double x, double y, double width, double height, PlotColour colour) override {
        SetColour(colour);
        cairo_rectangle(m_cr, x, y, width, height);
        cairo_fill(m_cr);
    }

    void Line(double x1, double y1, double x2, double y2, PlotColour colour,
              double width) override {
        SetColour(colour);
        cairo_set_line_width(m_cr, width);
        cairo_move_to(m_cr, Snap(x1, width), Snap(y1, width));
        cairo_line_to(m_cr, Snap(x2, width), Snap(y2, width));
        cairo_stroke(m_cr);
    }

    void Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) override {
        if (points.empty()) {
            return;
        }
        SetColour(colour);
        cairo_set_line_width(m_cr, width);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(m_cr, points[0].x, points[0].y);
        for (std::size_t i = 1; i < points.size(); ++i) {
            cairo_line_to(m_cr, points[i].x, points[i].y);
        }
        cairo_stroke(m_cr);
    }

    void Text(double x, double y, const std::string& text, TextAnchorX anchorX, TextAnchorY anchorY,
              PlotColour colour) override {
        cairo_text_extents_t extents;
        cairo_text_extents(m_cr, text.c_str(), &extents);
        cairo_font_extents_t font;
        cairo_font_extents(m_cr, &font);
        double left = x;
        if (anchorX == TextAnchorX::Centre) {
            left = x - extents.x_advance / 2.0;
        } else if (anchorX == TextAnchorX::Right) {
            left = x - extents.x_advance;
        }
        double baseline = y + font.ascent; // Top
        if (anchorY == TextAnchorY::Middle) {
            baseline = y + (font.ascent - font.descent) / 2.0;
        } else if (anchorY == TextAnchorY::Bottom) {
            baseline = y - font.descent;
        }
        SetColour(colour);
        cairo_move_to(m_cr, left, baseline);
        cairo_show_text(m_cr, text.c_str());
    }

private:
    void SetColour(PlotColour c) {
        cairo_set_source_rgb(m_cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    }
    static double Snap(double v, double width) {
        return std::lround(width) % 2 == 1 ? std::floor(v) + 0.5 : std::round(v);
    }

    cairo_t* m_cr;
};

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

void Check(cairo_status_t status, const char* what) {
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error(std::string("Cannot draw the plot (") + what +
                                 "): " + cairo_status_to_string(status));
    }
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

} // namespace

std::vector<std::uint8_t> RenderEffectPlot(const EffectPlotInput& input, int width, int height,
                                           PlotFormat format) {
    return RenderPicture([&](PlotPort& port) { DrawEffectPlot(port, input, width, height); }, width,
                         height, format);
}

std::vector<std::uint8_t> RenderPicture(const std::function<void(PlotPort&)>& draw, int width,
                                        int height, PlotFormat format) {
    std::vector<std::uint8_t> bytes;
    Surface surface(format == PlotFormat::Png
                        ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)
                        : cairo_svg_surface_create_for_stream(Append, &bytes, width, height),
                    cairo_surface_destroy);
    Check(cairo_surface_status(surface.get()), "surface");
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        CairoPlotPort port(cr.get());
        draw(port);
        Check(cairo_status(cr.get()), "drawing");
    }
    if (format == PlotFormat::Png) {
        Check(cairo_surface_write_to_png_stream(surface.get(), Append, &bytes), "PNG");
    } else {
        cairo_surface_finish(surface.get()); // the SVG is complete only now
        Check(cairo_surface_status(surface.get()), "SVG");
    }
    return bytes;
}

// Under LeakSanitizer: fontconfig, which cairo asks for the plot font, keeps its pattern caches
// until the process ends by design; they are not leaks of this program.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

} // namespace sonivera
