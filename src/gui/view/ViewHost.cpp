#include "gui/view/ViewHost.h"

#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/common/ViewFrame.h"
#include "gui/model/C3DDoc.h"
#include "core/view/ObjectBounds.h"
#include "gui/view/SceneCanvas.h"
#include "gui/view/ViewParts.h"
#include "core/view/ViewTexts.h"

#include <wx/statusbr.h>

#include <algorithm>
#include <cstdint>

namespace sonivera {

void CViewHost::CapturePointer() {
    if (CSceneCanvas* canvas = m_view.GetCanvas(); canvas && !canvas->HasCapture()) {
        canvas->CaptureMouse();
    }
}

void CViewHost::ReleasePointer() {
    if (CSceneCanvas* canvas = m_view.GetCanvas(); canvas && canvas->HasCapture()) {
        canvas->ReleaseMouse();
    }
}

void CViewHost::RepaintAll() {
    if (CSceneCanvas* canvas = m_view.GetCanvas()) {
        canvas->Refresh(true);
    }
}

void CViewHost::DrawObjectsNow(std::span<CSceneObject* const> objects, double pixelsPerMetre) {
    CSceneCanvas* canvas = m_view.GetCanvas();
    if (!canvas) {
        return;
    }
    if (m_view.WholeViewChanged()) {
        canvas->Refresh(false);
        return;
    }
    const PixelPoint scroll = m_view.ScrollPosition();
    const wxSize client = canvas->GetClientSize();
    for (CSceneObject* object : objects) {
        const PixelRect bounds = ObjectPixelBounds(*object, pixelsPerMetre);
        // In window pixels, cut to the client area (the bounds may lie far outside it).
        const std::int64_t left = std::max<std::int64_t>(std::int64_t{bounds.left} - scroll.x, 0);
        const std::int64_t top = std::max<std::int64_t>(std::int64_t{bounds.top} - scroll.y, 0);
        const std::int64_t right =
            std::min<std::int64_t>(std::int64_t{bounds.right} - scroll.x, client.x);
        const std::int64_t bottom =
            std::min<std::int64_t>(std::int64_t{bounds.bottom} - scroll.y, client.y);
        if (left < right && top < bottom) {
            canvas->RefreshRect(wxRect(static_cast<int>(left), static_cast<int>(top),
                                       static_cast<int>(right - left),
                                       static_cast<int>(bottom - top)),
                                false);
        }
    }
}

void CViewHost::ShowStatusText(int pane, const std::string& text) {
    ViewFrame* frame = m_view.GetViewFrame();
    if (!frame) {
        return; // no main window: the text is dropped
    }
    frame->SetStatusPaneText(pane, wxString::FromUTF8(text));
    if (wxStatusBar* status = frame->Window().GetStatusBar(); status && status->IsShown()) {
        status->Update();
    }
}

void CViewHost::ShowPointerText(const std::string& text) {
    ShowStatusText(1, text);
}

void CViewHost::ShowScaleText(const std::string& text) {
    ShowStatusText(2, text);
}

void CViewHost::ShowScroll(const ScrollState& scroll) {
    if (CSceneCanvas* canvas = m_view.GetCanvas()) {
        canvas->ShowScroll(scroll);
    }
}

void CViewHost::SubmitEdit(std::unique_ptr<SceneEdit> edit) {
    if (C3DDoc* doc = m_view.GetSceneDocument()) {
        doc->SubmitEdit(std::move(edit), true);
    }
}

bool CViewHost::AskDeleteObject() {
    return AskWarningYesNo(m_view.GetCanvas(), Ui(kDeleteQuestionText), Ui(kDeleteQuestionCaption));
}

} // namespace sonivera
