#pragma once

#include <wx/docview.h>

class C3DDoc;
class CSceneCanvas;
class CMainFrame;
class CSceneObject;
struct SceneSettings;

// The editor view of the scene document: a white scrolling canvas in the main frame's client
// area. It keeps two non-owning pointers into the document's scene, refreshed whenever the
// document reports a change (OnUpdate): the scene shown and the selected object.
//
// Drawing (OnDraw), zoom, the editing tools and the object commands extend this class: add their
// EVT_MENU / EVT_UPDATE_UI entries to its event table (commands reach the view through the
// document manager) and mouse handling to the canvas, which forwards painting to OnDraw.
class C3DView : public wxView {
public:
    C3DView() = default;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    // The document changed: re-reads the shown scene and repaints; when the scene record was
    // released or replaced (C3DDoc::SceneReplacedHint) the selection is cleared too.
    void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
    // Shows "<document name> - Sonivera" as the frame's title.
    void OnChangeFilename() override;

    C3DDoc* GetSceneDocument() const;
    CSceneCanvas* GetCanvas() const { return m_pCanvas; }
    CMainFrame* GetMainFrame() const;

    // The scene check of the shown scene with its message boxes (see CheckSceneAndReport): true
    // when the scene is clean; a clean scene is confirmed only when `reportSuccess` is set.
    bool CheckScene(bool reportSuccess);

    // The scene shown (the document's current record) and the selected object, or null.
    SceneSettings* m_pShownScene = nullptr;
    CSceneObject* m_pSelected = nullptr;

private:
    // The scene check (32794) and the effect calculation (32793).
    void OnCheckScene(wxCommandEvent& event);
    void OnCalcEffect(wxCommandEvent& event);
    void OnUpdateCalcCommand(wxUpdateUIEvent& event);

    CSceneCanvas* m_pCanvas = nullptr;

    wxDECLARE_DYNAMIC_CLASS(C3DView);
    wxDECLARE_EVENT_TABLE();
};
