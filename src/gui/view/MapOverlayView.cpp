#include "gui/view/MapOverlayView.h"

#include "core/map/MapPicture.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectErrors.h"
#include "gui/common/Strings.h"
#include "gui/common/ViewFrame.h"
#include "gui/view/DcPlotPort.h"
#include "gui/view/SceneCanvas.h"
#include "gui/view/ViewParts.h"

#include <wx/dc.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace sonivera {

namespace {

constexpr int kPollMilliseconds = 100;

std::string Number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Duration(double seconds) {
    if (seconds < 60.0) {
        return Number("%.0f с", std::ceil(seconds));
    }
    return Number("%.0f мин", std::ceil(seconds / 60.0));
}

} // namespace

CMapOverlayView::CMapOverlayView(ViewParts& view) : m_view(view), m_timer(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
}

CMapOverlayView::~CMapOverlayView() {
    m_timer.Stop();
}

std::string CMapOverlayView::Start(const SceneSettings& scene, double stepX, double stepY,
                                   MapFigure figure) {
    if (stepX > scene.width || stepY > scene.height) {
        char text[512];
        std::snprintf(text, sizeof text, text::kMapStepTooLong, std::min(scene.width, scene.height));
        return text;
    }
    const double count = MapPointCount(scene, stepX, stepY);
    if (!(count <= static_cast<double>(kMaxMapPoints))) {
        char text[512];
        std::snprintf(text, sizeof text, text::kMapTooManyPoints, count);
        return text;
    }
    try {
        const MapGrid grid = MakeMapGrid(scene, stepX, stepY);
        m_session.reset(); // a map under way stops first
        m_session = std::make_unique<MapSession>(scene, grid);
    } catch (const std::invalid_argument& e) {
        return e.what();
    } catch (const EffectParameterError& e) {
        return e.what();
    }
    m_figure = figure;
    m_shown = true;
    m_reportedEnd = false;
    if (ViewFrame* frame = m_view.GetViewFrame()) {
        frame->SetStatusMessage(wxString()); // the last map's "Карта рассчитана" is no more
    }
    m_timer.Start(kPollMilliseconds);
    ShowProgress();
    Repaint();
    return {};
}

void CMapOverlayView::Stop() {
    if (m_session) {
        m_session->Stop();
    }
}

void CMapOverlayView::ForgetReadout() {
    if (!m_readoutShown) {
        return;
    }
    m_readoutShown = false;
    if (ViewFrame* frame = m_view.GetViewFrame()) {
        frame->SetStatusMessage(wxString());
    }
}

void CMapOverlayView::Clear() {
    ForgetReadout();
    m_timer.Stop();
    m_session.reset();
    m_shown = false;
    if (ViewFrame* frame = m_view.GetViewFrame()) {
        frame->HideMapProgress();
    }
    Repaint();
}

void CMapOverlayView::Toggle() {
    ForgetReadout();
    m_shown = !m_shown;
    Repaint();
}

void CMapOverlayView::SetFigure(MapFigure figure) {
    m_figure = figure;
    m_shown = true;
    Repaint();
}

bool CMapOverlayView::Stale(const SceneSettings* scene) const {
    if (!m_session || !scene) {
        return false;
    }
    // Where the listener stands does not change a map (its double-click moves it): the scene is
    // compared with its listener put back where it stood at the start.
    const auto now = LoadSceneFromBytes(SaveSceneToBytes(*scene));
    const auto start = LoadSceneFromBytes(m_session->SceneAtStart());
    if (!now->objects.empty() && !start->objects.empty()) {
        now->objects.front()->m_x = start->objects.front()->m_x;
        now->objects.front()->m_y = start->objects.front()->m_y;
    }
    return SaveSceneToBytes(*now) != m_session->SceneAtStart();
}

void CMapOverlayView::Poll() {
    if (!m_session) {
        m_timer.Stop();
        return;
    }
    const bool running = m_session->Running();
    if (m_session->Poll() > 0) {
        Repaint();
    }
    if (running) {
        ShowProgress();
        return;
    }
    m_session->Poll(); // whatever arrived as it ended
    m_timer.Stop();
    if (m_reportedEnd) {
        return;
    }
    m_reportedEnd = true;
    if (ViewFrame* frame = m_view.GetViewFrame()) {
        frame->HideMapProgress();
        const std::string failure = m_session->Failure();
        const MapCoverage coverage = CoverageOf(m_session->Results());
        const char* done = coverage.computed == 0  ? text::kMapAllRefused
                           : coverage.reached == 0 ? text::kMapNoSound
                                                   : text::kMapDone;
        frame->SetStatusMessage(!failure.empty()
                                    ? wxString::Format(Ui(text::kMapFailed), Ui(failure))
                                    : Ui(m_session->Stopped() ? text::kMapStopped : done));
    }
    Repaint();
}

void CMapOverlayView::ShowProgress() {
    ViewFrame* frame = m_view.GetViewFrame();
    if (!frame || !m_session) {
        return;
    }
    const int percent =
        static_cast<int>(100 * m_session->Done() / std::max<std::size_t>(m_session->Total(), 1));
    wxString label = wxString::Format(Ui(text::kMapProgress), percent);
    if (const auto left = m_session->RemainingSeconds()) {
        label += wxString::Format(Ui(text::kMapRemaining), Ui(Duration(*left)));
    }
    frame->ShowMapProgress(percent, label);
}

void CMapOverlayView::Repaint() {
    if (CSceneCanvas* canvas = m_view.GetCanvas()) {
        canvas->Refresh(false);
    }
}

void CMapOverlayView::Paint(wxDC& dc, const SceneSettings* scene, int pixelsPerMetre,
                            PixelPoint scroll, PixelSize client) {
    if (!Shown() || scene == nullptr) {
        return;
    }
    const bool stale = Stale(scene);
    m_paintedStale = stale;
    CDcPlotPort port(dc, stale);
    MapField field;
    field.grid = m_session->Grid();
    field.figure = m_figure;
    field.values.resize(field.grid.Count());
    field.marked.assign(field.grid.Count(), false);
    field.known = m_session->Known();
    for (std::size_t i = 0; i < field.grid.Count(); ++i) {
        if (field.known[i]) {
            field.values[i] = MapValue(m_session->Results()[i], m_figure);
        }
    }
    const MapScale scale = ScaleOf(field);
    MapView view;
    view.left = -scroll.x;
    view.top = -scroll.y;
    view.pixelsPerMetre = pixelsPerMetre;
    view.clipRight = client.cx;
    view.clipBottom = client.cy;
    DrawMapField(port, view, field, scale);
    // The legend on a white card at the top-left corner.
    port.FillRect(4.0, 4.0, 130.0, 250.0, PlotColour{255, 255, 255});
    DrawMapLegend(port, 12.0, 40.0, 170.0, field, scale);
    if (stale) {
        port.Text(12.0, 232.0, text::kMapStaleLegend, TextAnchorX::Left, TextAnchorY::Top,
                  PlotColour{160, 0, 0});
    }
}

std::optional<std::size_t> CMapOverlayView::PointAt(PixelPoint window, PixelPoint scroll,
                                                    int pixelsPerMetre) const {
    if (!Shown() || pixelsPerMetre <= 0) {
        return std::nullopt;
    }
    const double x = static_cast<double>(window.x + scroll.x) / pixelsPerMetre;
    const double y = static_cast<double>(window.y + scroll.y) / pixelsPerMetre;
    return MapPointAt(m_session->Grid(), x, y);
}

std::string CMapOverlayView::Readout(std::size_t index) const {
    const MapGrid& grid = m_session->Grid();
    const std::string x = Number("%g", grid.PointX(index));
    const std::string y = Number("%g", grid.PointY(index));
    char head[160];
    if (!m_session->Known()[index]) {
        std::snprintf(head, sizeof head, text::kMapNotYet, x.c_str(), y.c_str());
        return head;
    }
    const MapPointResult& point = m_session->Results()[index];
    std::string body;
    if (!point.computed) {
        body = point.check;
    } else {
        for (const MapFigureInfo& info : MapFigures()) {
            const auto value = MapValue(point, info.figure);
            if (!body.empty()) {
                body += ", ";
            }
            body += std::string(info.label) + " ";
            if (!value) {
                body += "н/д";
                continue;
            }
            const char* format = info.figure == MapFigure::Sti                           ? "%.2f"
                                 : (*info.unit == '\0' || std::string(info.unit) == "с") ? "%.2f"
                                                                                         : "%.1f";
            body += Number(format, *value) + (*info.unit ? std::string(" ") + info.unit : "");
            if (MapMark(point, info.figure)) {
                body += "*";
            }
        }
    }
    // The hint goes first: a long read-out is cut at the status bar's end.
    const bool movable = m_view.ListenerCanGoTo(grid.PointX(index), grid.PointY(index));
    return "Карта (" + x + "; " + y + ")" + (movable ? text::kMapDoubleClickHint : "") + ": " +
           body;
}

void CMapOverlayView::OnMouseMove(PixelPoint window, PixelPoint scroll, int pixelsPerMetre) {
    const auto index = PointAt(window, scroll, pixelsPerMetre);
    ViewFrame* frame = m_view.GetViewFrame();
    // While the map fills in, the status bar shows its progress there instead.
    if (!index || !frame || Running()) {
        ForgetReadout(); // the pointer left the map: no other point's values stay shown
        return;
    }
    frame->SetStatusMessage(Ui(Readout(*index)));
    m_readoutShown = true;
}

} // namespace sonivera
