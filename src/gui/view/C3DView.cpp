#include "gui/view/C3DView.h"

#include "gui/app/CommandIds.h"
#include "gui/app/CommandRules.h"
#include "gui/app/CommandTable.h"
#include "gui/app/MainFrame.h"
#include "gui/app/Strings.h"
#include "gui/calc/EffectCalcDlg.h"
#include "gui/calc/SceneCheckReport.h"
#include "core/edit/ObjectClipboard.h"
#include "gui/effect/EffectPane.h"
#include "gui/model/C3DDoc.h"
#include "gui/model/SceneEditCommand.h"
#include "gui/paths/PathsOverlayView.h"
#include "core/view/CommandRules.h"
#include "gui/view/DcCanvas.h"
#include "gui/view/DialogPropertiesPort.h"
#include "gui/view/ObjectClipboardIO.h"
#include "gui/view/SceneCanvas.h"
#include "gui/view/ViewHost.h"

#include <wx/app.h>
#include <wx/cmdproc.h>
#include <wx/menu.h>
#include <wx/utils.h>

namespace sonivera {

wxIMPLEMENT_DYNAMIC_CLASS(C3DView, wxView);

namespace {

// The tool a tool command selects.
EditorTool ToolOf(int commandId) {
    switch (commandId) {
    case ID_TOOL_MOVE:
        return ToolMove;
    case ID_TOOL_RECT:
        return ToolDrawRect;
    case ID_TOOL_SOURCE:
        return ToolAddSource;
    default:
        return ToolSelect;
    }
}

} // namespace

C3DView::C3DView()
    : m_pHost(std::make_unique<CViewHost>(*this)),
      m_pController(std::make_unique<EditorController>(*m_pHost)),
      m_pPaths(std::make_unique<CPathsOverlayView>(*this)) {}

C3DView::~C3DView() = default;

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
    m_pCanvas->ReportViewport();
    m_pCanvas->SetFocus();
    Activate(true);
    return true;
}

bool C3DView::OnClose(bool deleteWindow) {
    if (!wxView::OnClose(deleteWindow)) {
        return false;
    }
    Activate(false);
    if (m_pCanvas) {
        if (m_pCanvas->HasCapture()) {
            m_pCanvas->ReleaseMouse();
        }
        m_pCanvas->SetView(nullptr);
    }
    // The canvas stays with the frame; nothing may point into the document's scene any more.
    m_pCanvas = nullptr;
    m_pController->OnUpdate(nullptr, 0);
    if (CMainFrame* frame = GetMainFrame()) {
        frame->GetEffectPane()->Clear();
    }
    m_nEffectSerial = 0;
    return true;
}

void C3DView::OnDraw(wxDC* dc) {
    if (dc && m_pCanvas) {
        PaintArea(*dc, wxRect(m_pCanvas->GetClientSize()));
    }
}

void C3DView::PaintArea(wxDC& dc, const wxRect& area) {
    const PixelPoint at = m_pController->Scroll().Position();
    CDcCanvas canvas(dc, {-at.x, -at.y});
    m_pController->Paint(
        canvas, {area.GetLeft(), area.GetTop(), area.GetRight() + 1, area.GetBottom() + 1});
    m_pPaths->Paint(dc, canvas, ShownScene(), m_pController->PixelsPerMetre(), at);
}

void C3DView::OnUpdate(wxView*, wxObject* hint) {
    if (auto* edited = dynamic_cast<C3DDoc::EditedHint*>(hint)) {
        m_pController->OnSceneEdited(edited->m_selection);
        return;
    }
    C3DDoc* doc = GetSceneDocument();
    m_pController->OnUpdate(doc ? doc->GetScene() : nullptr, doc ? doc->GetSceneSerial() : 0);
    // A new or opened scene replaces the scene record: the pane shows its (absent) effect.
    CMainFrame* frame = GetMainFrame();
    if (frame && doc && doc->GetScene() && doc->GetSceneSerial() != m_nEffectSerial) {
        m_nEffectSerial = doc->GetSceneSerial();
        frame->GetEffectPane()->ShowEffectOf(*doc->GetScene());
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

// --- Input from the canvas ---

void C3DView::OnLButtonDown(PixelPoint window) {
    m_pPaths->OnClick(window, m_pController->Scroll().Position(), m_pController->PixelsPerMetre());
    m_pController->OnLButtonDown(window);
}

void C3DView::OnLButtonUp(PixelPoint window) {
    m_pController->OnLButtonUp(window);
}

void C3DView::OnMouseMove(PixelPoint window) {
    m_pController->OnMouseMove(window);
    m_pPaths->OnMouseMove(window, m_pController->Scroll().Position(),
                          m_pController->PixelsPerMetre());
}

void C3DView::OnKeyDown(EditorController::Key key) {
    m_pController->OnKeyDown(key);
}

void C3DView::OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb) {
    m_pController->OnScroll(axis, action, thumb);
}

void C3DView::OnViewportSize(PixelSize outer, PixelSize bars) {
    m_pController->OnViewportSize(outer, bars);
}

void C3DView::OnCaptureLost() {
    m_pController->OnCaptureLost();
}

void C3DView::OnWheel(int notches, bool horizontal, bool zoom, PixelPoint window) {
    m_pController->OnWheel(notches, horizontal, zoom, window);
}

// --- Context menu ---

std::unique_ptr<wxMenu> C3DView::CreateObjectsMenu() const {
    auto menu = std::make_unique<wxMenu>();
    CMainFrame* frame = GetMainFrame();
    for (int id : ObjectsMenuLayout().items) {
        if (id == kSeparator) {
            menu->AppendSeparator();
            continue;
        }
        const auto texts = text::TextsOf(id);
        const bool check = IsCheckCommand(id);
        menu->Append(id, Ui(texts.label), Ui(texts.prompt), check ? wxITEM_CHECK : wxITEM_NORMAL);
        // The same rules as the main menu's, asked the same way.
        const CommandState state = frame ? frame->QueryCommand(id) : CommandState{};
        menu->Enable(id, state.enabled);
        if (check) {
            menu->Check(id, state.checked);
        }
    }
    return menu;
}

void C3DView::OnRightButtonDown(const wxPoint& window) {
    std::unique_ptr<wxMenu> menu = CreateObjectsMenu();
    ShowPopup(*menu, window);
}

void C3DView::ShowPopup(wxMenu& menu, const wxPoint& window) {
    if (m_popupPresenter) {
        m_popupPresenter(menu, window);
        return;
    }
    CMainFrame* frame = GetMainFrame();
    if (!frame || !m_pCanvas) {
        return;
    }
    // Owned by the frame, so the chosen command takes the way of every other command (the gate,
    // then the document manager to this view); its top-left corner at the pointer.
    frame->PopupMenu(&menu, frame->ScreenToClient(m_pCanvas->ClientToScreen(window)));
}

// --- Commands ---

void C3DView::OnToolCommand(wxCommandEvent& event) {
    m_pController->SetTool(ToolOf(event.GetId()));
}

void C3DView::OnUpdateTool(wxUpdateUIEvent& event) {
    event.Enable(true);
    event.Check(IsToolChecked(m_pController->Tool(), ToolOf(event.GetId())));
}

void C3DView::OnDeleteObject(wxCommandEvent&) {
    m_pController->DeleteSelected();
}

void C3DView::OnUpdateDeleteObject(wxUpdateUIEvent& event) {
    event.Enable(CanDeleteObject(m_pController->Selected()));
}

void C3DView::OnObjectProperties(wxCommandEvent&) {
    CDialogPropertiesPort port(m_pCanvas, GetMainFrame());
    m_pController->EditSelectedProperties(port);
}

void C3DView::OnUpdateObjectProperties(wxUpdateUIEvent& event) {
    event.Enable(CanEditProperties(m_pController->Selected()));
}

void C3DView::OnZoomIn(wxCommandEvent&) {
    m_pController->ZoomIn();
}

void C3DView::OnUpdateZoomIn(wxUpdateUIEvent& event) {
    event.Enable(CanZoomIn(m_pController->PixelsPerMetre()));
}

void C3DView::OnZoomOut(wxCommandEvent&) {
    m_pController->ZoomOut();
}

void C3DView::OnUpdateZoomOut(wxUpdateUIEvent& event) {
    event.Enable(CanZoomOut(m_pController->PixelsPerMetre()));
}

// --- Undo, redo, clipboard ---

namespace {

// The undo or redo item's label: the plain one, or the one naming the edit it acts on.
wxString UndoRedoLabel(int id, const wxCommand* command) {
    const auto* edit = dynamic_cast<const CSceneEditCommand*>(command);
    if (!edit) {
        return Ui(text::TextsOf(id).label);
    }
    return wxString::Format(Ui(id == ID_EDIT_UNDO ? text::kUndoNamed : text::kRedoNamed),
                            Ui(text::EditName(static_cast<int>(edit->Kind()))));
}

} // namespace

void C3DView::OnUndo(wxCommandEvent&) {
    if (C3DDoc* doc = GetSceneDocument(); doc && !m_pController->IsButtonDown()) {
        doc->UndoEdit();
    }
}

void C3DView::OnUpdateUndo(wxUpdateUIEvent& event) {
    C3DDoc* doc = GetSceneDocument();
    wxCommandProcessor* commands = doc ? doc->GetCommandProcessor() : nullptr;
    const bool can = commands && commands->CanUndo();
    event.Enable(can && !m_pController->IsButtonDown());
    event.SetText(UndoRedoLabel(ID_EDIT_UNDO, can ? commands->GetCurrentCommand() : nullptr));
}

void C3DView::OnRedo(wxCommandEvent&) {
    if (C3DDoc* doc = GetSceneDocument(); doc && !m_pController->IsButtonDown()) {
        doc->RedoEdit();
    }
}

void C3DView::OnUpdateRedo(wxUpdateUIEvent& event) {
    C3DDoc* doc = GetSceneDocument();
    wxCommandProcessor* commands = doc ? doc->GetCommandProcessor() : nullptr;
    const bool can = commands && commands->CanRedo();
    const wxCommand* next = nullptr;
    if (can) {
        // The command after the current one (the first one when everything was undone).
        const wxCommand* current = commands->GetCurrentCommand();
        bool passed = current == nullptr;
        for (const wxObject* object : commands->GetCommands()) {
            if (passed) {
                next = static_cast<const wxCommand*>(object);
                break;
            }
            passed = object == current;
        }
    }
    event.Enable(can && !m_pController->IsButtonDown());
    event.SetText(UndoRedoLabel(ID_EDIT_REDO, next));
}

void C3DView::OnCutOrCopy(wxCommandEvent& event) {
    CSceneObject* selected = m_pController->Selected();
    if (!CanCopyObject(selected) || m_pController->IsButtonDown()) {
        return;
    }
    if (!PutObjectOnClipboard(*selected)) {
        wxBell();
        return;
    }
    if (event.GetId() == ID_EDIT_CUT) {
        m_pController->CutSelected();
    }
}

void C3DView::OnUpdateCutOrCopy(wxUpdateUIEvent& event) {
    event.Enable(CanCopyObject(m_pController->Selected()) && !m_pController->IsButtonDown());
}

void C3DView::OnPaste(wxCommandEvent&) {
    if (!ShownScene() || m_pController->IsButtonDown()) {
        return;
    }
    if (const auto copied = ObjectFromClipboard()) {
        m_pController->Paste(*copied);
    } else {
        wxBell(); // nothing the scene can take
    }
}

void C3DView::OnUpdatePaste(wxUpdateUIEvent& event) {
    // Asking the system clipboard on every idle turn would be a round trip to the display
    // server each time; a paste of anything else than an object just beeps.
    event.Enable(ShownScene() != nullptr && !m_pController->IsButtonDown());
}

void C3DView::OnCheckScene(wxCommandEvent&) {
    CheckScene(true);
}

void C3DView::OnCalcEffect(wxCommandEvent&) {
    if (CheckScene(false)) {
        CMainFrame* frame = GetMainFrame();
        SceneSettings& scene = *ShownScene();
        EchoPathRequest* paths = m_pPaths->PrepareCalculation(scene);
        RunEffectCalculation(
            frame, scene,
            [frame, &scene] {
                if (frame) {
                    frame->ShowEffectOf(scene);
                }
            },
            paths);
        m_pPaths->CalculationEnded(scene);
    }
}

void C3DView::OnShowPaths(wxCommandEvent&) {
    m_pPaths->Toggle();
}

void C3DView::OnUpdateShowPaths(wxUpdateUIEvent& event) {
    event.Enable(m_pPaths->Available());
    event.Check(m_pPaths->Shown());
}

void C3DView::OnUpdateCalcCommand(wxUpdateUIEvent& event) {
    event.Enable(rules::SceneCommandEnabled(ShownScene() != nullptr));
}

bool C3DView::CheckScene(bool reportSuccess) {
    return ShownScene() && CheckSceneAndReport(m_pCanvas, *ShownScene(), reportSuccess);
}

// The view's commands, each next to its enable-and-check rule. The pointer, the keys, the size,
// the scroll bars and painting arrive through the canvas (CSceneCanvas).
// clang-format off
wxBEGIN_EVENT_TABLE(C3DView, wxView)
    // Editing tools and object commands.
    EVT_MENU(ID_TOOL_RECT, C3DView::OnToolCommand)
    EVT_UPDATE_UI(ID_TOOL_RECT, C3DView::OnUpdateTool)
    EVT_MENU(ID_TOOL_MOVE, C3DView::OnToolCommand)
    EVT_UPDATE_UI(ID_TOOL_MOVE, C3DView::OnUpdateTool)
    EVT_MENU(ID_TOOL_SELECT, C3DView::OnToolCommand)
    EVT_UPDATE_UI(ID_TOOL_SELECT, C3DView::OnUpdateTool)
    EVT_MENU(ID_DELETE_OBJECT, C3DView::OnDeleteObject)
    EVT_UPDATE_UI(ID_DELETE_OBJECT, C3DView::OnUpdateDeleteObject)
    EVT_MENU(ID_TOOL_SOURCE, C3DView::OnToolCommand)
    EVT_UPDATE_UI(ID_TOOL_SOURCE, C3DView::OnUpdateTool)
    EVT_MENU(ID_OBJECT_PROPERTIES, C3DView::OnObjectProperties)
    EVT_UPDATE_UI(ID_OBJECT_PROPERTIES, C3DView::OnUpdateObjectProperties)

    // Undo, redo and the clipboard.
    EVT_MENU(ID_EDIT_UNDO, C3DView::OnUndo)
    EVT_UPDATE_UI(ID_EDIT_UNDO, C3DView::OnUpdateUndo)
    EVT_MENU(ID_EDIT_REDO, C3DView::OnRedo)
    EVT_UPDATE_UI(ID_EDIT_REDO, C3DView::OnUpdateRedo)
    EVT_MENU(ID_EDIT_CUT, C3DView::OnCutOrCopy)
    EVT_UPDATE_UI(ID_EDIT_CUT, C3DView::OnUpdateCutOrCopy)
    EVT_MENU(ID_EDIT_COPY, C3DView::OnCutOrCopy)
    EVT_UPDATE_UI(ID_EDIT_COPY, C3DView::OnUpdateCutOrCopy)
    EVT_MENU(ID_EDIT_PASTE, C3DView::OnPaste)
    EVT_UPDATE_UI(ID_EDIT_PASTE, C3DView::OnUpdatePaste)

    // Zoom.
    EVT_MENU(ID_ZOOM_IN, C3DView::OnZoomIn)
    EVT_UPDATE_UI(ID_ZOOM_IN, C3DView::OnUpdateZoomIn)
    EVT_MENU(ID_ZOOM_OUT, C3DView::OnZoomOut)
    EVT_UPDATE_UI(ID_ZOOM_OUT, C3DView::OnUpdateZoomOut)

    // Scene check and effect calculation.
    EVT_MENU(ID_CHECK_SCENE, C3DView::OnCheckScene)
    EVT_UPDATE_UI(ID_CHECK_SCENE, C3DView::OnUpdateCalcCommand)
    EVT_MENU(ID_CALC_EFFECT, C3DView::OnCalcEffect)
    EVT_UPDATE_UI(ID_CALC_EFFECT, C3DView::OnUpdateCalcCommand)

    // Echo paths on the plan.
    EVT_MENU(ID_VIEW_PATHS, C3DView::OnShowPaths)
    EVT_UPDATE_UI(ID_VIEW_PATHS, C3DView::OnUpdateShowPaths)
wxEND_EVENT_TABLE()

} // namespace sonivera
