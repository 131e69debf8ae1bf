#include "gui/calc/GaugeProgress.h"

#include <wx/evtloop.h>
#include <wx/gauge.h>

namespace sonivera {

namespace {

// Handles the pending paint and layout events, leaving user input queued.
void PaintNow() {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
        loop->YieldFor(wxEVT_CATEGORY_UI);
    } else {
        wxGUIEventLoop temporary;
        temporary.YieldFor(wxEVT_CATEGORY_UI);
    }
}

} // namespace

void CGaugeProgress::SetPosition(int position) {
    if (m_gauge.GetValue() != position) {
        m_gauge.SetValue(position);
        m_gauge.Update();
    }
    // Also between changes of the position, so the window repaints when uncovered.
    PaintNow();
    if (m_observer) {
        m_observer(m_gauge.GetValue());
    }
}

void CGaugeProgress::ShowPositions(const std::vector<int>& positions) {
    if (positions.empty()) {
        return;
    }
    for (const int position : positions) {
        if (m_gauge.GetValue() != position) {
            m_gauge.SetValue(position);
        }
        if (m_observer) {
            m_observer(m_gauge.GetValue());
        }
    }
    m_gauge.Update();
    PaintNow();
}

} // namespace sonivera
