#include "gui/view/C3DView.h"

#include "core/calc/SceneCheck.h"
#include "core/edit/ObjectClipboard.h"
#include "core/map/MapPicture.h"
#include "gui/calc/EffectCalcDlg.h"
#include "gui/calc/MapDlg.h"
#include "gui/calc/SceneCheckReport.h"
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/common/ViewFrame.h"
#include "gui/effect/EffectPane.h"
#include "gui/model/C3DDoc.h"
#include "gui/model/SceneEditCommand.h"
#include "gui/view/DcCanvas.h"
#include "gui/view/DialogPropertiesPort.h"
#include "gui/view/MapOverlayView.h"
#include "gui/view/ObjectClipboardIO.h"
#include "gui/view/PathsOverlayView.h"
#include "gui/view/SceneCanvas.h"
#include "gui/view/ViewHost.h"

#include <wx/app.h>
#include <wx/choicdlg.h>
#include <wx/cmdproc.h>
#include <wx/listbox.h>
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
      m_pPaths(std::make_unique<CPathsOverlayView>(*this)),
      m_pMap(std::make_unique<CMapOverlayView>(*this)) {}

C3DView::~C3DView() = default;

bool C3DView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) {
        return false;
    }
    auto* frame = dynamic_cast<ViewFrame*>(wxTheApp->GetTopWindow());
    if (!frame) {
        return false;
    }
    SetFrame(&frame->Window());
    // Esc stops a map under way wherever the focus is in the window, as it stops a calculation.
    frame->Window().Bind(wxEVT_CHAR_HOOK, &C3DView::OnCharHook, this);
    m_pCanvas = frame->GetSceneCanvas();
    if (!m_pCanvas) {
        m_pCanvas = new CSceneCanvas(&frame->Window());
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
    if (wxWindow* frame = GetFrame()) {
        frame->Unbind(wxEVT_CHAR_HOOK, &C3DView::OnCharHook, this);
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
    if (ViewFrame* frame = GetViewFrame()) {
        frame->GetEffectPane()->Clear();
    }
    m_nEffectSerial = 0;
    m_pMap->Clear();
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
    if (m_pCanvas) {
        const wxSize client = m_pCanvas->GetClientSize();
        m_pMap->Paint(dc, ShownScene(), m_pController->PixelsPerMetre(), at, {client.x, client.y});
    }
    m_pController->Paint(
        canvas, {area.GetLeft(), area.GetTop(), area.GetRight() + 1, area.GetBottom() + 1});
    m_pPaths->Paint(dc, canvas, ShownScene(), m_pController->PixelsPerMetre(), at);
    // Every edit repaints the view: the effect pane compares the scene with its effect's here.
    if (ViewFrame* frame = GetViewFrame(); frame && ShownScene()) {
        frame->GetEffectPane()->SceneEdited(*ShownScene());
    }
}

void C3DView::OnUpdate(wxView*, wxObject* hint) {
    m_pMap->ForgetReadout(); // an edit, New or Open: the values shown may be no more
    if (auto* edited = dynamic_cast<C3DDoc::EditedHint*>(hint)) {
        m_pController->OnSceneEdited(edited->m_selection);
        return;
    }
    if (dynamic_cast<C3DDoc::StackChangedHint*>(hint) != nullptr) {
        if (ViewFrame* frame = GetViewFrame(); frame && ShownScene()) {
            frame->GetEffectPane()->SceneEdited(*ShownScene());
        }
        return;
    }
    C3DDoc* doc = GetSceneDocument();
    m_pController->OnUpdate(doc ? doc->GetScene() : nullptr, doc ? doc->GetSceneSerial() : 0);
    // A new or opened scene replaces the scene record: the pane shows its (absent) effect.
    ViewFrame* frame = GetViewFrame();
    if (frame && doc && doc->GetScene() && doc->GetSceneSerial() != m_nEffectSerial) {
        m_nEffectSerial = doc->GetSceneSerial();
        frame->GetEffectPane()->ShowEffectOf(*doc->GetScene());
    }
    // The map belongs to the scene it was made for.
    if (m_pMap->Available() && (!doc || doc->GetSceneSerial() != m_nMapSerial)) {
        m_pMap->Clear();
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

ViewFrame* C3DView::GetViewFrame() const {
    return dynamic_cast<ViewFrame*>(GetFrame());
}

// --- Input from the canvas ---

void C3DView::OnLButtonDown(PixelPoint window) {
    m_pPaths->OnClick(window, m_pController->Scroll().Position(), m_pController->PixelsPerMetre());
    m_pController->OnLButtonDown(window);
}

void C3DView::OnLButtonUp(PixelPoint window) {
    m_pController->OnLButtonUp(window);
}

bool C3DView::WholeViewChanged() const {
    return m_pMap->StalenessChanged(ShownScene());
}

bool C3DView::ListenerCanGoTo(double x, double y) const {
    const SceneSettings* scene = ShownScene();
    return m_pController->Tool() == ToolSelect && scene != nullptr &&
           !InsideARectangle(scene->objects, x, y);
}

bool C3DView::OnDoubleClick(PixelPoint window) {
    const auto point = m_pMap->PointAt(window, m_pController->Scroll().Position(),
                                       m_pController->PixelsPerMetre());
    if (!point || m_pController->IsButtonDown()) {
        return false;
    }
    const MapGrid& grid = m_pMap->Session()->Grid();
    if (m_pController->Tool() != ToolSelect) {
        return false;
    }
    if (!ListenerCanGoTo(grid.PointX(*point), grid.PointY(*point))) {
        if (ViewFrame* frame = GetViewFrame()) {
            frame->SetStatusMessage(Ui(text::kMapListenerInside));
        }
        return true; // nothing moves; the click is not a click of the select tool either
    }
    m_pController->MoveListenerTo(grid.PointX(*point), grid.PointY(*point));
    // After the edit has been applied and painted; the dialog calculates at once.
    CallAfter([this] {
        if (CheckScene(false)) {
            CalculateEffect(true);
        }
    });
    return true;
}

void C3DView::OnMouseMove(PixelPoint window) {
    m_pController->OnMouseMove(window);
    m_pMap->OnMouseMove(window, m_pController->Scroll().Position(),
                        m_pController->PixelsPerMetre());
    m_pPaths->OnMouseMove(window, m_pController->Scroll().Position(),
                          m_pController->PixelsPerMetre());
}

void C3DView::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers() && m_pMap->Running()) {
        m_pMap->Stop();
        return;
    }
    event.Skip();
}

bool C3DView::OnEscape() {
    // A map being computed stops as a calculation does; otherwise Esc clears the paths' highlight.
    if (m_pMap->Running()) {
        m_pMap->Stop();
        return true;
    }
    return m_pPaths->OnEscape();
}

void C3DView::OnKeyDown(EditorController::Key key) {
    m_pController->OnKeyDown(key);
}

void C3DView::OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb) {
    m_pMap->ForgetReadout();
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
    ViewFrame* frame = GetViewFrame();
    for (int id : ObjectsMenuLayout().items) {
        if (id == kSeparator) {
            menu->AppendSeparator();
            continue;
        }
        const CommandDecl& command = *FindCommand(id);
        const bool check = command.check;
        menu->Append(id, Ui(command.label), Ui(command.prompt),
                     check ? wxITEM_CHECK : wxITEM_NORMAL);
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
    ViewFrame* frame = GetViewFrame();
    if (!frame || !m_pCanvas) {
        return;
    }
    // Owned by the frame, so the chosen command takes the way of every other command (the gate,
    // then the document manager to this view); its top-left corner at the pointer.
    wxFrame& owner = frame->Window();
    owner.PopupMenu(&menu, owner.ScreenToClient(m_pCanvas->ClientToScreen(window)));
}

// --- Commands ---

void C3DView::OnToolCommand(wxCommandEvent& event) {
    m_pController->SetTool(ToolOf(event.GetId()));
}

void C3DView::OnDeleteObject(wxCommandEvent&) {
    m_pController->DeleteSelected();
}

void C3DView::OnObjectProperties(wxCommandEvent&) {
    ViewFrame* frame = GetViewFrame();
    CDialogPropertiesPort port(m_pCanvas, frame ? &frame->Window() : nullptr);
    m_pController->EditSelectedProperties(port);
}

void C3DView::OnZoomIn(wxCommandEvent&) {
    m_pMap->ForgetReadout();
    m_pController->ZoomIn();
}

void C3DView::OnZoomOut(wxCommandEvent&) {
    m_pMap->ForgetReadout();
    m_pController->ZoomOut();
}

// --- Undo, redo, clipboard ---

namespace {

// The scene edit a command of the undo stack is, as an EditKind, or -1.
int EditKindOf(const wxCommand* command) {
    const auto* edit = dynamic_cast<const CSceneEditCommand*>(command);
    return edit ? static_cast<int>(edit->Kind()) : -1;
}

// The command Redo would act on: the one after the current one (the first one when everything
// was undone).
const wxCommand* NextRedoCommand(wxCommandProcessor& commands) {
    const wxCommand* current = commands.GetCurrentCommand();
    bool passed = current == nullptr;
    for (const wxObject* object : commands.GetCommands()) {
        if (passed) {
            return static_cast<const wxCommand*>(object);
        }
        passed = object == current;
    }
    return nullptr;
}

} // namespace

void C3DView::DescribeCommandState(CommandContext& context) const {
    context.hasView = true;
    C3DDoc* doc = GetSceneDocument();
    context.documentHasScene = doc && doc->GetScene();
    context.viewShowsScene = ShownScene() != nullptr;
    context.selected = m_pController->Selected();
    context.pixelsPerMetre = m_pController->PixelsPerMetre();
    context.tool = m_pController->Tool();
    context.buttonDown = m_pController->IsButtonDown();
    if (wxCommandProcessor* commands = doc ? doc->GetCommandProcessor() : nullptr) {
        context.canUndo = commands->CanUndo();
        context.canRedo = commands->CanRedo();
        context.undoEditKind = context.canUndo ? EditKindOf(commands->GetCurrentCommand()) : -1;
        context.redoEditKind = context.canRedo ? EditKindOf(NextRedoCommand(*commands)) : -1;
    }
    context.pathsAvailable = m_pPaths->Available();
    context.pathsShown = m_pPaths->Shown();
    context.mapAvailable = m_pMap->Available();
    context.mapShown = m_pMap->Shown();
    context.mapRunning = m_pMap->Running();
}

void C3DView::OnUndo(wxCommandEvent&) {
    if (C3DDoc* doc = GetSceneDocument(); doc && !m_pController->IsButtonDown()) {
        doc->UndoEdit();
    }
}

void C3DView::OnRedo(wxCommandEvent&) {
    if (C3DDoc* doc = GetSceneDocument(); doc && !m_pController->IsButtonDown()) {
        doc->RedoEdit();
    }
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
    if (ViewFrame* frame = GetViewFrame()) {
        frame->ClipboardChanged();
    }
    if (event.GetId() == ID_EDIT_CUT) {
        m_pController->CutSelected();
    }
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

void C3DView::OnCheckScene(wxCommandEvent&) {
    CheckScene(true);
}

void C3DView::OnCalcEffect(wxCommandEvent&) {
    if (CheckScene(false)) {
        CalculateEffect(false);
    }
}

void C3DView::CalculateEffect(bool startAtOnce) {
    if (ShownScene() == nullptr) {
        return;
    }
    ViewFrame* frame = GetViewFrame();
    SceneSettings& scene = *ShownScene();
    EchoPathRequest* paths = m_pPaths->PrepareCalculation(scene);
    const bool stopped = RunEffectCalculation(
        frame ? &frame->Window() : nullptr, scene,
        [frame, &scene] {
            if (frame) {
                frame->ShowEffectOf(scene);
            }
        },
        paths, startAtOnce);
    if (stopped && frame) {
        frame->GetEffectPane()->CalculationStopped();
    }
    m_pPaths->CalculationEnded(scene);
}

void C3DView::OnCalcMap(wxCommandEvent&) {
    SceneSettings* scene = ShownScene();
    if (scene == nullptr) {
        return;
    }
    ViewFrame* frame = GetViewFrame();
    wxWindow* owner = frame ? &frame->Window() : nullptr;
    const MapGrid* last = m_pMap->Available() ? &m_pMap->Session()->Grid() : nullptr;
    CMapDlg dialog(owner, last ? last->stepX : scene->gridX, last ? last->stepY : scene->gridY,
                   m_pMap->Figure());
    dialog.CentreOnParent();
    if (dialog.ShowModal() != wxID_OK) {
        return;
    }
    const std::string error =
        m_pMap->Start(*scene, dialog.StepX(), dialog.StepY(), dialog.Figure());
    if (!error.empty()) {
        ShowError(owner, Ui(error));
        return;
    }
    m_nMapSerial = GetSceneDocument() ? GetSceneDocument()->GetSceneSerial() : 0;
}

void C3DView::OnStopMap(wxCommandEvent&) {
    m_pMap->Stop();
}

void C3DView::OnShowMap(wxCommandEvent&) {
    m_pMap->Toggle();
}

void C3DView::OnMapFigure(wxCommandEvent&) {
    wxArrayString names;
    int current = 0;
    for (const MapFigureInfo& info : MapFigures()) {
        if (info.figure == m_pMap->Figure()) {
            current = static_cast<int>(names.size());
        }
        names.Add(Ui(info.label));
    }
    ViewFrame* frame = GetViewFrame();
    wxSingleChoiceDialog dialog(frame ? &frame->Window() : nullptr, Ui(text::kMapFigureQuestion),
                                Ui(text::kMapFigureTitle), names);
    dialog.SetSelection(current);
    // The editor's own button texts, and a list tall enough for every figure.
    if (auto* ok = dialog.FindWindow(wxID_OK)) {
        ok->SetLabel(Ui(text::kOk));
    }
    if (auto* cancel = dialog.FindWindow(wxID_CANCEL)) {
        cancel->SetLabel(Ui(text::kCancel));
    }
    for (wxWindow* child : dialog.GetChildren()) {
        if (auto* list = dynamic_cast<wxListBox*>(child)) {
            const int row = list->GetCharHeight() + dialog.FromDIP(8);
            list->SetMinSize(wxSize(-1, row * static_cast<int>(names.size()) + dialog.FromDIP(8)));
            dialog.Fit();
        }
    }
    if (dialog.ShowModal() == wxID_OK) {
        m_pMap->SetFigure(MapFigures()[static_cast<std::size_t>(dialog.GetSelection())].figure);
    }
}

void C3DView::OnShowPaths(wxCommandEvent&) {
    m_pPaths->Toggle();
}

bool C3DView::CheckScene(bool reportSuccess) {
    return ShownScene() &&
           CheckSceneAndReport(
               m_pCanvas, *ShownScene(), reportSuccess, [this](const SceneCheckFinding& finding) {
                   m_pController->ShowCheckFinding(finding.index, finding.containerIndex);
               });
}

// The view's commands (their enable, check and label rules are declared with the commands,
// common/CommandTable.cpp, over the state DescribeCommandState gives). The pointer, the keys, the
// size, the scroll bars and painting arrive through the canvas (CSceneCanvas).
// clang-format off
wxBEGIN_EVENT_TABLE(C3DView, wxView)
    // Editing tools and object commands.
    EVT_MENU(ID_TOOL_RECT, C3DView::OnToolCommand)
    EVT_MENU(ID_TOOL_MOVE, C3DView::OnToolCommand)
    EVT_MENU(ID_TOOL_SELECT, C3DView::OnToolCommand)
    EVT_MENU(ID_DELETE_OBJECT, C3DView::OnDeleteObject)
    EVT_MENU(ID_TOOL_SOURCE, C3DView::OnToolCommand)
    EVT_MENU(ID_OBJECT_PROPERTIES, C3DView::OnObjectProperties)

    // Undo, redo and the clipboard.
    EVT_MENU(ID_EDIT_UNDO, C3DView::OnUndo)
    EVT_MENU(ID_EDIT_REDO, C3DView::OnRedo)
    EVT_MENU(ID_EDIT_CUT, C3DView::OnCutOrCopy)
    EVT_MENU(ID_EDIT_COPY, C3DView::OnCutOrCopy)
    EVT_MENU(ID_EDIT_PASTE, C3DView::OnPaste)

    // Zoom.
    EVT_MENU(ID_ZOOM_IN, C3DView::OnZoomIn)
    EVT_MENU(ID_ZOOM_OUT, C3DView::OnZoomOut)

    // Scene check and effect calculation.
    EVT_MENU(ID_CHECK_SCENE, C3DView::OnCheckScene)
    EVT_MENU(ID_CALC_EFFECT, C3DView::OnCalcEffect)

    // Echo paths on the plan.
    EVT_MENU(ID_VIEW_PATHS, C3DView::OnShowPaths)

    // The acoustic map.
    EVT_MENU(ID_CALC_MAP, C3DView::OnCalcMap)
    EVT_MENU(ID_MAP_STOP, C3DView::OnStopMap)
    EVT_MENU(ID_VIEW_MAP, C3DView::OnShowMap)
    EVT_MENU(ID_VIEW_MAP_FIGURE, C3DView::OnMapFigure)
wxEND_EVENT_TABLE()

} // namespace sonivera
