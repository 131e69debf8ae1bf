#include "gui/effect/GcPlotPort.h"

#include <wx/brush.h>
#include <wx/font.h>
#include <wx/pen.h>
#include <wx/graphics.h>

#include <cmath>
#include <vector>

namespace sonivera {

namespace {

wxColour Colour(PlotColour c) {
    return wxColour(c.r, c.g, c.b);
}

// Thin lines on pixel centres so they stay sharp, as on the cairo surface.
double Snap(double v, double width) {
    return std::lround(width) % 2 == 1 ? std::floor(v) + 0.5 : std::round(v);
}

} // namespace

CGcPlotPort::CGcPlotPort(wxGraphicsContext& gc) : m_gc(gc) {
    wxFont font(wxFontInfo(wxSize(0, 12)).Family(wxFONTFAMILY_SWISS));
    font.SetPixelSize(wxSize(0, 12));
    m_gc.SetFont(font, *wxBLACK);
}

void CGcPlotPort::FillRect(double x, double y, double width, double height, PlotColour colour) {
    m_gc.SetPen(*wxTRANSPARENT_PEN);
    m_gc.SetBrush(wxBrush(Colour(colour)));
    m_gc.DrawRectangle(x, y, width, height);
}

void CGcPlotPort::Line(double x1, double y1, double x2, double y2, PlotColour colour,
                       double width) {
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(Colour(colour)).Width(width)));
    m_gc.StrokeLine(Snap(x1, width), Snap(y1, width), Snap(x2, width), Snap(y2, width));
}

void CGcPlotPort::Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) {
    if (points.size() < 2) {
        return;
    }
    std::vector<wxPoint2DDouble> line;
    line.reserve(points.size());
    for (const PlotPoint& p : points) {
        line.emplace_back(p.x, p.y);
    }
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(Colour(colour)).Width(width).Join(wxJOIN_ROUND)));
    m_gc.StrokeLines(line.size(), line.data());
}

void CGcPlotPort::Text(double x, double y, const std::string& text, TextAnchorX anchorX,
                       TextAnchorY anchorY, PlotColour colour) {
    const wxString label = wxString::FromUTF8(text.data(), text.size());
    wxFont font(wxFontInfo().Family(wxFONTFAMILY_SWISS));
    font.SetPixelSize(wxSize(0, 12));
    m_gc.SetFont(font, Colour(colour));
    double width = 0, height = 0, descent = 0, leading = 0;
    m_gc.GetTextExtent(label, &width, &height, &descent, &leading);
    double left = x;
    if (anchorX == TextAnchorX::Centre) {
        left = x - width / 2.0;
    } else if (anchorX == TextAnchorX::Right) {
        left = x - width;
    }
    double top = y; // DrawText places the top of the text box at the point
    if (anchorY == TextAnchorY::Middle) {
        top = y - height / 2.0;
    } else if (anchorY == TextAnchorY::Bottom) {
        top = y - height;
    }
    m_gc.DrawText(label, left, top);
}

} // namespace sonivera
