#include "gui/view/PathsOverlayView.h"

#include "core/model/ObjectKind.h"
#include "core/model/SceneObject.h"
#include "core/model/SceneSettings.h"

#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "gui/common/Strings.h"
#include "gui/common/ViewFrame.h"
#include "gui/effect/EffectPane.h"
#include "gui/view/DcCanvas.h"
#include "gui/view/SceneCanvas.h"
#include "gui/view/ViewParts.h"

#include <wx/dc.h>
#include <wx/docview.h>

#include <cmath>

namespace sonivera {

namespace {

// The legend's box: margin from the client's corner, padding inside it.
constexpr int kMargin = 10;
constexpr int kPadding = 6;

wxString Number(double value) {
    return wxString::Format("%.1f", value);
}

} // namespace

EchoPathRequest* CPathsOverlayView::PrepareCalculation(const SceneSettings& scene) {
    m_request = EchoPathRequest{};
    m_effectBefore = scene.effect.get();
    m_sceneAtCalculation = SaveSceneToBytes(scene);
    return &m_request;
}

void CPathsOverlayView::CalculationEnded(const SceneSettings& scene) {
    // A finished calculation always stores a new effect array.
    if (scene.effect.get() == m_effectBefore) {
        return;
    }
    m_overlay.SetPaths(std::move(m_request.paths));
    m_request = EchoPathRequest{};
    // A click on a bar of the echogram highlights that bin's paths in the view current then (a
    // view closed since is never reached).
    ViewFrame* frame = m_view.GetViewFrame();
    if (CEffectPane* pane = frame != nullptr ? frame->GetEffectPane() : nullptr) {
        pane->SetBinClickHandler([](std::size_t bin) {
            wxDocManager* manager = wxDocManager::GetDocumentManager();
            auto* view = dynamic_cast<ViewParts*>(manager ? manager->GetCurrentView() : nullptr);
            if (view != nullptr) {
                view->Paths().HighlightBin(static_cast<std::int32_t>(bin));
            }
        });
    }
    Repaint();
}

void CPathsOverlayView::Toggle() {
    m_shown = !m_shown;
    if (!m_shown) {
        m_overlay.SetHovered(-1);
    }
    Repaint();
}

void CPathsOverlayView::Paint(wxDC& dc, Canvas& canvas, const SceneSettings* scene,
                              int pixelsPerMetre, PixelPoint scroll) {
    if (m_overlay.Empty()) {
        return;
    }
    if (scene == nullptr || SaveSceneToBytes(*scene) != m_sceneAtCalculation) {
        // The paths no longer match the scene. This paint may cover only the edited object's
        // area, so the whole plan is painted again to take the paths away everywhere.
        m_overlay.Clear();
        m_sceneAtCalculation.clear();
        if (m_shown) {
            Repaint();
        }
        return;
    }
    if (!m_shown) {
        return;
    }
    m_overlay.Draw(canvas, pixelsPerMetre);
    // The listener and the sources above the paths, so their symbols stay visible.
    std::vector<PixelPoint> marks;
    for (const auto& object : scene->objects) {
        if (object->GetKind() != OBJ_RECT) {
            object->Draw(canvas, pixelsPerMetre);
        }
        marks.push_back({static_cast<int>(object->m_x * pixelsPerMetre) - scroll.x,
                         static_cast<int>(object->m_y * pixelsPerMetre) - scroll.y});
    }
    for (const EchoPath& path : m_overlay.Paths()) {
        for (const PathPoint& p : path.points) {
            marks.push_back({static_cast<int>(p.x * pixelsPerMetre) - scroll.x,
                             static_cast<int>(p.y * pixelsPerMetre) - scroll.y});
        }
    }

    // The legend: a white box with the colour bar and its two ends, in the corner where it
    // hides the fewest symbols and path points.
    const wxSize client = dc.GetSize();
    const wxString title = Ui(text::kPathsLegendTitle);
    const wxString early = Number(0.0) + Ui(text::kMillisecondsSuffix);
    const wxString late = Number(m_overlay.LatestDelay() * 1000.0) + Ui(text::kMillisecondsSuffix);
    const int textHeight = dc.GetCharHeight();
    const int boxWidth = PathOverlay::kLegendWidth + 2 * kPadding;
    const int boxHeight = 2 * textHeight + PathOverlay::kLegendHeight + 2 * kPadding + 4;
    const PixelPoint corner =
        LegendCorner(marks, {client.x, client.y}, {boxWidth, boxHeight}, kMargin);
    const int left = corner.x;
    const int top = corner.y;
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(left, top, boxWidth, boxHeight);
    dc.SetTextForeground(*wxBLACK);
    dc.DrawText(title, left + kPadding, top + kPadding);
    CDcCanvas legend(dc, {0, 0});
    const int barTop = top + kPadding + textHeight + 2;
    m_overlay.DrawLegend(legend, {left + kPadding, barTop});
    const int labelTop = barTop + PathOverlay::kLegendHeight + 2;
    dc.DrawText(early, left + kPadding, labelTop);
    dc.DrawText(late, left + kPadding + PathOverlay::kLegendWidth - dc.GetTextExtent(late).x,
                labelTop);
}

void CPathsOverlayView::OnMouseMove(PixelPoint window, PixelPoint scroll, int pixelsPerMetre) {
    if (!Shown()) {
        return;
    }
    const int index = m_overlay.PathAt({window.x + scroll.x, window.y + scroll.y}, pixelsPerMetre);
    if (index == m_overlay.Hovered()) {
        return;
    }
    m_overlay.SetHovered(index);
    ShowMessage(index);
    Repaint();
}

void CPathsOverlayView::OnClick(PixelPoint window, PixelPoint scroll, int pixelsPerMetre) {
    if (!Shown()) {
        return;
    }
    const int index = m_overlay.PathAt({window.x + scroll.x, window.y + scroll.y}, pixelsPerMetre);
    if (index >= 0) {
        HighlightBin(m_overlay.Paths()[static_cast<std::size_t>(index)].bin);
    }
}

bool CPathsOverlayView::OnEscape() {
    if (!Shown() || (m_overlay.HighlightedBin() < 0 && m_overlay.Hovered() < 0)) {
        return false;
    }
    m_overlay.HighlightBin(-1);
    m_overlay.SetHovered(-1);
    ShowMessage(-1);
    Repaint();
    return true;
}

void CPathsOverlayView::HighlightBin(std::int32_t bin) {
    m_overlay.HighlightBin(bin);
    Repaint();
}

void CPathsOverlayView::ShowMessage(int index) {
    ViewFrame* frame = m_view.GetViewFrame();
    if (frame == nullptr) {
        return;
    }
    if (index < 0) {
        frame->SetStatusMessage(Ui(text::kReady));
        return;
    }
    const EchoPath& path = m_overlay.Paths()[static_cast<std::size_t>(index)];
    const wxString message = wxString::Format(
        Ui(text::kPathHoverFormat), Number(path.delay * 1000.0),
        Number(20.0 * std::log10(path.amplitude)), path.reflections, path.passages);
    frame->SetStatusMessage(message);
}

void CPathsOverlayView::Repaint() {
    if (CSceneCanvas* canvas = m_view.GetCanvas()) {
        canvas->Refresh(false);
    }
}

} // namespace sonivera
