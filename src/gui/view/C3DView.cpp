#include "view/C3DView.h"

#include "app/CommandIds.h"
#include "app/CommandRules.h"
#include "app/MainFrame.h"
#include "app/Strings.h"
#include "calc/EffectCalcDlg.h"
#include "calc/SceneCheckReport.h"
#include "model/C3DDoc.h"
#include "view/SceneCanvas.h"

#include <wx/app.h>

wxIMPLEMENT_DYNAMIC_CLASS(C3DView, wxView);

bool C3DView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) {
        return false;
    }
    auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame);
    if (!frame) {
        return false;
    }
    SetFrame(frame);
    m_pCanvas = frame->GetSceneCanvas();
    if (!m_pCanvas) {
        m_pCanvas = new CSceneCanvas(frame);
        frame->SetSceneCanvas(m_pCanvas);
    }
    m_pCanvas->SetView(this);
    m_pShownScene = GetSceneDocument() ? GetSceneDocument()->GetScene() : nullptr;
    Activate(true);
    return true;
}

bool C3DView::OnClose(bool deleteWindow) {
    if (!wxView::OnClose(deleteWindow)) {
        return false;
    }
    Activate(false);
    if (m_pCanvas) {
        m_pCanvas->SetView(nullptr);
    }
    m_pShownScene = nullptr;
    m_pSelected = nullptr;
    return true;
}

void C3DView::OnDraw(wxDC*) {}

void C3DView::OnUpdate(wxView*, wxObject* hint) {
    C3DDoc* doc = GetSceneDocument();
    SceneSettings* scene = doc ? doc->GetScene() : nullptr;
    if (scene != m_pShownScene || hint == C3DDoc::SceneReplacedHint()) {
        m_pSelected = nullptr;
    }
    m_pShownScene = scene;
    if (m_pCanvas) {
        m_pCanvas->Refresh();
    }
}

void C3DView::OnChangeFilename() {
    wxWindow* frame = GetFrame();
    wxDocument* doc = GetDocument();
    if (frame && doc) {
        frame->SetLabel(doc->GetUserReadableName() + Ui(text::kTitleSeparator) +
                        Ui(text::kAppTitle));
    }
}

C3DDoc* C3DView::GetSceneDocument() const {
    return wxDynamicCast(GetDocument(), C3DDoc);
}

CMainFrame* C3DView::GetMainFrame() const {
    return wxDynamicCast(GetFrame(), CMainFrame);
}

bool C3DView::CheckScene(bool reportSuccess) {
    return m_pShownScene && CheckSceneAndReport(m_pCanvas, *m_pShownScene, reportSuccess);
}

void C3DView::OnCheckScene(wxCommandEvent&) {
    CheckScene(true);
}

void C3DView::OnCalcEffect(wxCommandEvent&) {
    if (CheckScene(false)) {
        RunEffectCalculation(GetMainFrame(), *m_pShownScene);
    }
}

void C3DView::OnUpdateCalcCommand(wxUpdateUIEvent& event) {
    event.Enable(rules::SceneCommandEnabled(m_pShownScene != nullptr));
}

// clang-format off
wxBEGIN_EVENT_TABLE(C3DView, wxView)
    EVT_MENU(ID_CHECK_SCENE, C3DView::OnCheckScene)
    EVT_UPDATE_UI(ID_CHECK_SCENE, C3DView::OnUpdateCalcCommand)
    EVT_MENU(ID_CALC_EFFECT, C3DView::OnCalcEffect)
    EVT_UPDATE_UI(ID_CALC_EFFECT, C3DView::OnUpdateCalcCommand)
wxEND_EVENT_TABLE()
    // clang-format on
