#include "gui/view/DcCanvas.h"

#include <wx/dc.h>
#include <wx/graphics.h>

#include <algorithm>
#include <cstdint>

namespace sonivera {

namespace {

wxColour ToColour(RgbColor color) {
    return wxColour(static_cast<unsigned char>(color & 0xFF),
                    static_cast<unsigned char>((color >> 8) & 0xFF),
                    static_cast<unsigned char>((color >> 16) & 0xFF));
}

int Shift(int value, int offset) {
    const std::int64_t shifted = std::int64_t{value} + offset;
    return static_cast<int>(
        std::clamp<std::int64_t>(shifted, -CDcCanvas::kFarthestPixel, CDcCanvas::kFarthestPixel));
}

} // namespace

CDcCanvas::CDcCanvas(wxDC& dc, PixelPoint offset) : m_dc(dc), m_offset(offset) {
    // On toolkits where the DC draws through a graphics context (GTK 3: cairo), smoothing would
    // blend the grey grid, the black border and the red selection into their neighbours.
    if (wxGraphicsContext* gc = m_dc.GetGraphicsContext()) {
        m_previousAntialias = gc->GetAntialiasMode();
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
    }
    // What a fresh drawing context starts with: the black pen and the white brush.
    m_dc.SetPen(*wxBLACK_PEN);
    m_dc.SetBrush(*wxWHITE_BRUSH);
}

CDcCanvas::~CDcCanvas() {
    m_dc.SetPen(wxNullPen);
    m_dc.SetBrush(wxNullBrush);
    if (wxGraphicsContext* gc = m_dc.GetGraphicsContext(); gc && m_previousAntialias >= 0) {
        gc->SetAntialiasMode(static_cast<wxAntialiasMode>(m_previousAntialias));
    }
}

wxPoint CDcCanvas::ToDevice(int x, int y) const {
    return wxPoint(Shift(x, m_offset.x), Shift(y, m_offset.y));
}

void CDcCanvas::SelectSolidPen(int width, RgbColor color) {
    m_dc.SetPen(wxPen(ToColour(color), width, wxPENSTYLE_SOLID));
}

void CDcCanvas::SelectDottedPen(int width, RgbColor color) {
    m_dc.SetPen(wxPen(ToColour(color), width, wxPENSTYLE_DOT));
}

void CDcCanvas::SelectStockBlackPen() {
    m_dc.SetPen(*wxBLACK_PEN);
}

void CDcCanvas::SelectWhiteBrush() {
    m_dc.SetBrush(*wxWHITE_BRUSH);
}

void CDcCanvas::MoveTo(int x, int y) {
    m_current = ToDevice(x, y);
}

void CDcCanvas::LineTo(int x, int y) {
    const wxPoint to = ToDevice(x, y);
    m_dc.DrawLine(m_current, to);
    m_current = to;
}

void CDcCanvas::Ellipse(int left, int top, int right, int bottom) {
    const wxPoint from = ToDevice(left, top);
    const wxPoint to = ToDevice(right, bottom);
    m_dc.DrawEllipse(from.x, from.y, to.x - from.x, to.y - from.y);
}

} // namespace sonivera
