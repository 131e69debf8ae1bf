#include "gui/view/DcPlotPort.h"

#include "gui/common/Strings.h"

#include <wx/dc.h>

#include <cmath>
#include <vector>

namespace sonivera {

namespace {

wxColour ToWx(PlotColour c) {
    return wxColour(c.r, c.g, c.b);
}

int Px(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

PlotColour CDcPlotPort::Shown(PlotColour c) const {
    if (!m_fade) {
        return c;
    }
    const auto half = [](std::uint8_t v) { return static_cast<std::uint8_t>((v + 255) / 2); };
    return {half(c.r), half(c.g), half(c.b)};
}

void CDcPlotPort::FillRect(double x, double y, double width, double height, PlotColour colour) {
    const wxColour c = ToWx(Shown(colour));
    m_dc.SetPen(wxPen(c));
    m_dc.SetBrush(wxBrush(c));
    m_dc.DrawRectangle(Px(x), Px(y), std::max(1, Px(x + width) - Px(x)),
                       std::max(1, Px(y + height) - Px(y)));
}

void CDcPlotPort::Line(double x1, double y1, double x2, double y2, PlotColour colour,
                       double width) {
    m_dc.SetPen(wxPen(ToWx(Shown(colour)), std::max(1, Px(width))));
    m_dc.DrawLine(Px(x1), Px(y1), Px(x2), Px(y2));
}

void CDcPlotPort::Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) {
    std::vector<wxPoint> pts;
    for (const PlotPoint& p : points) {
        pts.emplace_back(Px(p.x), Px(p.y));
    }
    m_dc.SetPen(wxPen(ToWx(Shown(colour)), std::max(1, Px(width))));
    m_dc.DrawLines(static_cast<int>(pts.size()), pts.data());
}

void CDcPlotPort::Text(double x, double y, const std::string& text, TextAnchorX anchorX,
                       TextAnchorY anchorY, PlotColour colour) {
    const wxString s = Ui(text);
    const wxSize size = m_dc.GetTextExtent(s);
    double left = x, top = y;
    if (anchorX == TextAnchorX::Centre) {
        left -= size.x / 2.0;
    } else if (anchorX == TextAnchorX::Right) {
        left -= size.x;
    }
    if (anchorY == TextAnchorY::Middle) {
        top -= size.y / 2.0;
    } else if (anchorY == TextAnchorY::Bottom) {
        top -= size.y;
    }
    m_dc.SetTextForeground(ToWx(Shown(colour)));
    m_dc.DrawText(s, Px(left), Px(top));
}

} // namespace sonivera
