#include "gui/model/ImportPlanDlg.h"

#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "gui/common/Strings.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace sonivera {

namespace {

// The report's kinds in the editor's words; an entity type (TEXT, DIMENSION) stays as it is.
wxString KindText(const std::string& what) {
    static const std::map<std::string, const char*> kWords = {
        {"line (a wall's face or centre line)", "линия (грань или ось стены)"},
        {"outline edge (a wall's face)", "сторона контура (грань стены)"},
        {"closed outline (a column)", "замкнутый контур (колонна)"},
        {"wide polyline edge", "отрезок полилинии с шириной"},
        {"solid or hatch", "заливка"},
        {"slanted line as a staircase of rectangles", "наклонная линия лесенкой"},
        {"arc or circle as a staircase of rectangles", "дуга или окружность лесенкой"},
        {"slanted line", "наклонная линия"},
        {"arc", "дуга"},
        {"circle", "окружность"},
        {"polyline arc", "дуга полилинии"},
        {"line of no length", "линия нулевой длины"},
        {"on a layer not taken", "на слое, который не запрошен"},
        {"3-D polyline or mesh", "трёхмерная полилиния или сеть"},
        {"hatch with curved or spline edges", "штриховка с кривыми краями"},
        {"solid or hatch with slanted edges", "заливка с наклонными краями"},
        {"insertion of a block that is not in the drawing", "вставка отсутствующего блока"},
    };
    const auto it = kWords.find(what);
    return it != kWords.end() ? Ui(it->second) : wxString::FromUTF8(what);
}

wxString Number(double v, const char* format = "%.2f") {
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    std::string s = text;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return wxString::FromUTF8(s);
}

// The drawing's unit in the editor's words.
wxString UnitsText(const std::string& units) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"millimetres", "миллиметры"},
        {"centimetres", "сантиметры"},
        {"decimetres", "дециметры"},
        {"kilometres", "километры"},
        {"metres", "метры"},
        {"inches", "дюймы"},
        {"feet", "футы"},
        {"yards", "ярды"},
        {"unitless", "без единиц"},
        {", read as metres", ", прочитаны как метры"}};
    std::string text = units;
    for (const auto& [from, to] : kWords) {
        const std::size_t at = text.find(from);
        if (at != std::string::npos) {
            text.replace(at, std::string(from).size(), to);
        }
    }
    return wxString::FromUTF8(text);
}

// The plan drawn to fit: rectangles filled grey, the listener a red dot.
class CPlanPreview : public wxPanel {
public:
    CPlanPreview(wxWindow* parent, const SceneSettings& scene)
        : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(420, 300)), m_scene(scene) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &CPlanPreview::OnPaint, this);
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            Refresh();
            e.Skip();
        });
    }

private:
    void OnPaint(wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        const wxSize size = GetClientSize();
        const double scale =
            std::min((size.x - 10) / m_scene.width, (size.y - 10) / m_scene.height);
        const double left = (size.x - m_scene.width * scale) / 2.0;
        const double top = (size.y - m_scene.height * scale) / 2.0;
        const auto px = [&](double x) { return static_cast<int>(left + x * scale); };
        const auto py = [&](double y) { return static_cast<int>(top + y * scale); };
        dc.SetPen(wxPen(wxColour(200, 200, 200)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(px(0), py(0), px(m_scene.width) - px(0), py(m_scene.height) - py(0));
        dc.SetPen(wxPen(wxColour(60, 60, 60)));
        dc.SetBrush(wxBrush(wxColour(120, 120, 120)));
        for (const auto& object : m_scene.objects) {
            if (const auto* r = dynamic_cast<const CRectObject*>(object.get())) {
                dc.DrawRectangle(px(r->m_x), py(r->m_y),
                                 std::max(1, px(r->m_x + r->m_width) - px(r->m_x)),
                                 std::max(1, py(r->m_y + r->m_height) - py(r->m_y)));
            }
        }
        if (const CSceneObject* listener = m_scene.FirstObject()) {
            dc.SetPen(*wxRED_PEN);
            dc.SetBrush(*wxRED_BRUSH);
            dc.DrawCircle(px(listener->m_x), py(listener->m_y), 4);
        }
    }

    const SceneSettings& m_scene;
};

} // namespace

wxString PlanReportText(const PlanImportReport& report) {
    const wxString version = report.version == "no version given"
                                 ? Ui(text::kImportPlanNoVersion)
                                 : wxString::FromUTF8(report.version);
    wxString out = wxString::Format(Ui(text::kImportPlanUnits), version, UnitsText(report.units),
                                    Number(report.metresPerUnit, "%.6f")) +
                   "\n";
    out +=
        wxString::Format(Ui(text::kImportPlanHeading), Number(report.width), Number(report.height),
                         report.rectangles, Number(report.listenerX), Number(report.listenerY)) +
        "\n";
    const auto list = [&](const char* title, const std::vector<PlanImportReport::Count>& counts) {
        out += Ui(title) + "\n";
        if (counts.empty()) {
            out += Ui(text::kImportPlanNone) + "\n";
        }
        for (const auto& c : counts) {
            out += wxString::Format(Ui(text::kImportPlanItem), c.count, KindText(c.what),
                                    wxString::FromUTF8(c.layer)) +
                   "\n";
        }
    };
    list(text::kImportPlanTaken, report.taken);
    list(text::kImportPlanLeft, report.left);
    const std::size_t left = report.LeftCount();
    out += left == 0 ? Ui(text::kImportPlanAllDrawn)
                     : wxString::Format(Ui(text::kImportPlanSomeLeft), left);
    return out;
}

CImportPlanDlg::CImportPlanDlg(wxWindow* parent, const SceneSettings& scene,
                               const PlanImportReport& report)
    : wxDialog(parent, wxID_ANY, Ui(text::kImportPlanTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new CPlanPreview(this, scene), 1, wxEXPAND | wxALL, 8);
    auto* report_ = new wxTextCtrl(this, wxID_ANY, PlanReportText(report), wxDefaultPosition,
                                   wxSize(420, 170), wxTE_MULTILINE | wxTE_READONLY);
    sizer->Add(report_, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    auto* open = new wxButton(this, wxID_OK, Ui(text::kImportPlanOpen));
    buttons->Add(open, 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, Ui(text::kCancel)), 0);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(sizer);
    SetAffirmativeId(wxID_OK);
    open->SetDefault();
    open->SetFocus();
}

} // namespace sonivera
