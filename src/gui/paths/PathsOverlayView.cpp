#include "gui/paths/PathsOverlayView.h"

#include "gui/app/MainFrame.h"
#include "gui/app/Strings.h"
#include "gui/effect/EffectPane.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "gui/view/C3DView.h"
#include "gui/view/DcCanvas.h"
#include "gui/view/SceneCanvas.h"

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
    CMainFrame* frame = m_view.GetMainFrame();
    if (CEffectPane* pane = frame != nullptr ? frame->GetEffectPane() : nullptr) {
        pane->SetBinClickHandler([](std::size_t bin) {
            wxDocManager* manager = wxDocManager::GetDocumentManager();
            auto* view = wxDynamicCast(manager ? manager->GetCurrentView() : nullptr, C3DView);
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

    // The legend: a white box in the top-right corner with the colour bar and its two ends.
    (void)scroll;
    const wxSize client = dc.GetSize();
    const wxString title = Ui(text::kPathsLegendTitle);
    const wxString early = Number(0.0) + Ui(text::kMillisecondsSuffix);
    const wxString late = Number(m_overlay.LatestDelay() * 1000.0) + Ui(text::kMillisecondsSuffix);
    const int textHeight = dc.GetCharHeight();
    const int boxWidth = PathOverlay::kLegendWidth + 2 * kPadding;
    const int boxHeight = 2 * textHeight + PathOverlay::kLegendHeight + 2 * kPadding + 4;
    const int left = client.x - boxWidth - kMargin;
    const int top = kMargin;
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
    CMainFrame* frame = m_view.GetMainFrame();
    if (frame == nullptr || frame->GetStatusBar() == nullptr) {
        return;
    }
    if (index < 0) {
        frame->SetStatusText(Ui(text::kReady), 0);
        return;
    }
    const EchoPath& path = m_overlay.Paths()[static_cast<std::size_t>(index)];
    const wxString message = wxString::Format(
        Ui(text::kPathHoverFormat), Number(path.delay * 1000.0),
        Number(20.0 * std::log10(path.amplitude)), path.reflections, path.passages);
    frame->SetStatusText(message, 0);
}

void CPathsOverlayView::Repaint() {
    if (CSceneCanvas* canvas = m_view.GetCanvas()) {
        canvas->Refresh(false);
    }
}

} // namespace sonivera
