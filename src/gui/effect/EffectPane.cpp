#include "gui/effect/EffectPane.h"

#include "core/model/ObjectKind.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/plot/EffectPlot.h"
#include "gui/common/Strings.h"
#include "gui/effect/GcPlotPort.h"

#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/graphics.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <algorithm>
#include <memory>

namespace sonivera {

namespace {

EffectPlotInput PlotInput(const std::vector<double>& bins, double groupTime, bool db,
                          double onsetDb, std::optional<std::size_t> highlight) {
    EffectPlotInput input;
    input.bins = bins;
    input.groupTime = groupTime;
    input.db = db;
    input.onset.triggerDb = onsetDb;
    input.highlight = highlight;
    return input;
}

} // namespace

CEffectPane::CEffectPane(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    m_pDb = new wxCheckBox(this, wxID_ANY, Ui(text::kEffectDbSwitch));
    m_pDb->SetValue(true);
    m_pDb->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { m_pPlot->Refresh(false); });

    m_pOnset = new wxSpinCtrlDouble(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                    wxSP_ARROW_KEYS, 0.0, 200.0, kDefaultOnsetDb, 1.0);
    m_pOnset->SetDigits(1);
    m_pOnset->SetToolTip(Ui(text::kEffectOnsetHint));
    m_pOnset->Bind(wxEVT_SPINCTRLDOUBLE, [this](wxSpinDoubleEvent&) { m_pPlot->Refresh(false); });
    auto* onsetLabel = new wxStaticText(this, wxID_ANY, Ui(text::kEffectOnsetLabel));

    m_pPlot =
        new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE);
    m_pPlot->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_pPlot->SetMinSize(FromDIP(wxSize(200, 150))); // the plot's smallest layout
    m_pPlot->Bind(wxEVT_PAINT, &CEffectPane::OnPaintPlot, this);
    m_pPlot->Bind(wxEVT_MOTION, &CEffectPane::OnPlotMotion, this);
    m_pPlot->Bind(wxEVT_LEAVE_WINDOW, &CEffectPane::OnPlotLeave, this);
    m_pPlot->Bind(wxEVT_LEFT_DOWN, &CEffectPane::OnPlotClick, this);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_pDb, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(4));
    row->Add(onsetLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
    row->Add(m_pOnset, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(4));
    row->AddStretchSpacer(1);
    m_pButtonRow = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_pButtonRow, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(4));
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(row, 0, wxEXPAND);
    all->Add(m_pPlot, 1, wxEXPAND);
    SetSizer(all);
}

void CEffectPane::ShowEffectOf(const SceneSettings& scene) {
    if (!scene.effect || scene.effectCount <= 0) {
        Clear();
        return;
    }
    const double* bins = scene.effect.get();
    SetEffect(std::vector<double>(bins, bins + scene.effectCount), scene.effectParams.groupTime,
              scene.effectParams.stopTime, scene.effectResponse, scene.effectResponseRate);
    m_sceneAtEffect = SaveSceneToBytes(scene);
    if (!HasSound()) {
        const bool sources = std::any_of(scene.objects.begin(), scene.objects.end(),
                                         [](const auto& o) { return o->GetKind() == OBJ_SOURCE; });
        m_note = sources ? text::kEffectSilent : text::kEffectNoSources;
    }
    m_pPlot->Refresh(false);
}

bool CEffectPane::HasSound() const {
    return std::any_of(m_bins.begin(), m_bins.end(), [](double v) { return v != 0.0; });
}

void CEffectPane::SceneEdited(const SceneSettings& scene) {
    if (!HasEffect()) {
        return;
    }
    const bool stale = SaveSceneToBytes(scene) != m_sceneAtEffect;
    if (stale != m_stale) {
        m_stale = stale;
        m_note = stale ? text::kEffectStale : std::string();
        m_pPlot->Refresh(false);
    }
}

void CEffectPane::CalculationStopped() {
    if (HasEffect()) {
        m_stale = true;
        m_note = text::kEffectStopped;
        m_pPlot->Refresh(false);
    }
}

void CEffectPane::SetEffect(std::vector<double> bins, double groupTime, double stopTime,
                            std::vector<double> response, int responseRate) {
    m_bins = std::move(bins);
    m_response = std::move(response);
    m_responseRate = m_response.empty() ? 0 : responseRate;
    m_groupTime = groupTime;
    m_stopTime = stopTime;
    m_hovered.reset();
    m_sceneAtEffect.clear();
    m_note.clear();
    m_stale = false;
    m_pPlot->Refresh(false);
}

void CEffectPane::Clear() {
    SetEffect({}, 0.0, 0.0);
}

bool CEffectPane::IsDb() const {
    return m_pDb->GetValue();
}

void CEffectPane::SetDb(bool db) {
    m_pDb->SetValue(db);
    m_pPlot->Refresh(false);
}

std::optional<std::size_t> CEffectPane::BinAt(const wxPoint& position) const {
    if (!HasEffect()) {
        return std::nullopt;
    }
    const wxSize size = m_pPlot->GetClientSize();
    const EffectPlotInput input = PlotInput(m_bins, m_groupTime, IsDb(), OnsetDb(), std::nullopt);
    const PlotFrame frame = LayoutEffectPlot(input, size.x, size.y);
    return BinAtPixel(frame, input, position.x, position.y);
}

std::optional<std::size_t> CEffectPane::PointAt(const wxPoint& position) {
    const auto bin = BinAt(position);
    if (bin != m_hovered) {
        m_hovered = bin;
        m_pPlot->Refresh(false);
    }
    return bin;
}

void CEffectPane::OnPaintPlot(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(m_pPlot);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) {
        return;
    }
    CGcPlotPort port(*gc);
    const wxSize size = m_pPlot->GetClientSize();
    DrawEffectPlot(port, PlotInput(m_bins, m_groupTime, IsDb(), OnsetDb(), m_hovered), size.x,
                   size.y);
    if (m_stale) {
        // Greyed: a veil of white over the whole plot.
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(wxBrush(wxColour(255, 255, 255, 150)));
        gc->DrawRectangle(0, 0, size.x, size.y);
    }
    if (!m_note.empty()) {
        port.Text(size.x / 2.0, 22.0, m_note, TextAnchorX::Centre, TextAnchorY::Top,
                  m_stale ? PlotColour{170, 0, 0} : PlotColour{60, 60, 60});
    }
}

double CEffectPane::OnsetDb() const {
    return m_pOnset->GetValue();
}

void CEffectPane::SetOnsetDb(double db) {
    m_pOnset->SetValue(db);
    m_pPlot->Refresh(false);
}

std::string CEffectPane::MarkReasonAt(const wxPoint& position) const {
    if (!HasEffect()) {
        return {};
    }
    const wxSize size = m_pPlot->GetClientSize();
    const EffectPlotInput input = PlotInput(m_bins, m_groupTime, IsDb(), OnsetDb(), std::nullopt);
    const PlotFrame frame = LayoutEffectPlot(input, size.x, size.y);
    const auto lines =
        FigureLines(AnalyzeEffect(m_bins, m_groupTime, input.onset), m_bins.size(), m_groupTime);
    const auto line = FigureLineAtPixel(frame, lines.size(), position.x, position.y);
    return line ? lines[*line].reason : std::string();
}

void CEffectPane::OnPlotMotion(wxMouseEvent& event) {
    PointAt(event.GetPosition());
    const std::string reason = MarkReasonAt(event.GetPosition());
    if (reason.empty()) {
        m_pPlot->UnsetToolTip();
    } else if (m_pPlot->GetToolTipText() != Ui(reason)) {
        m_pPlot->SetToolTip(Ui(reason));
    }
    event.Skip();
}

void CEffectPane::OnPlotLeave(wxMouseEvent& event) {
    if (m_hovered) {
        m_hovered.reset();
        m_pPlot->Refresh(false);
    }
    event.Skip();
}

void CEffectPane::OnPlotClick(wxMouseEvent& event) {
    if (const auto bin = BinAt(event.GetPosition()); bin && m_binClick) {
        m_binClick(*bin);
    }
    event.Skip();
}

} // namespace sonivera
