#include "core/view/EditorController.h"

#include "core/edit/ObjectClipboard.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"
#include "core/view/CommandRules.h"
#include "core/view/EditorHost.h"
#include "core/view/SceneDrawing.h"
#include "core/view/SelectionOrder.h"
#include "core/view/ViewTexts.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sonivera {

namespace {

// Exactly the selected object is red: selecting and deselecting set the flag and the colour
// together.
void Select(CSceneObject* object) {
    if (object != nullptr) {
        object->m_bSelected = true;
        object->m_color = kColorSelected;
    }
}

void Deselect(CSceneObject* object) {
    if (object != nullptr) {
        object->m_bSelected = false;
        object->m_color = kColorBlack;
    }
}

// Draws the old selection (if any) and then the new one (if any) at once.
void DrawSelectionChange(EditorHost& host, CSceneObject* old, CSceneObject* now, double scale) {
    std::array<CSceneObject*, 2> objects{};
    std::size_t count = 0;
    if (old != nullptr) {
        objects[count++] = old;
    }
    if (now != nullptr) {
        objects[count++] = now;
    }
    if (count > 0) {
        host.DrawObjectsNow(std::span<CSceneObject* const>(objects.data(), count), scale);
    }
}

} // namespace

EditorController::EditorController(EditorHost& host) : m_host(host) {}

// --- Document and painting ---

void EditorController::OnUpdate(SceneSettings* scene, std::uint64_t recordSerial) {
    if (scene != m_pShownScene || recordSerial != m_nShownSerial) {
        // The old objects are gone; nothing may point at them any more.
        m_pSelected = nullptr;
        m_pDrawnRect = nullptr;
        m_bDragging = false;
    }
    if (scene != m_pShownScene || recordSerial != m_nShownSerial) {
        m_lastPasted.reset(); // pasting into another scene starts at one step again
        m_pMarked = nullptr;  // gone with its scene
    }
    m_pShownScene = scene;
    m_nShownSerial = recordSerial;
    ApplyZoom();
    ShowPointerAt();
}

void EditorController::ClearMark() {
    CSceneObject* marked = std::exchange(m_pMarked, nullptr);
    if (marked != nullptr && marked != m_pSelected && m_pShownScene != nullptr &&
        IndexOf(*m_pShownScene, marked)) {
        marked->m_color = kColorBlack;
        m_host.RepaintAll();
    }
}

void EditorController::OnSceneEdited(const EditSelection& selection) {
    ClearMark();
    m_pDrawnRect = nullptr;
    m_bDragging = false;
    m_moveStart.reset();
    if (m_pShownScene == nullptr) {
        return;
    }
    CSceneObject* selected = nullptr;
    switch (selection.mode) {
    case EditSelection::Mode::Select:
        selected = ObjectAt(*m_pShownScene, selection.index);
        break;
    case EditSelection::Mode::Keep:
        selected = IndexOf(*m_pShownScene, m_pSelected) ? m_pSelected : nullptr;
        break;
    case EditSelection::Mode::Clear:
        break;
    }
    SelectOnly(selected);
    const ScrollSizes sizes = ComputeScrollSizes(*m_pShownScene, m_nPixelsPerMetre);
    if (!(sizes == m_scroll.Sizes())) {
        m_scroll.SetSizes(sizes);
        ShowScrollAndPointer();
    }
    m_host.RepaintAll();
}

void EditorController::SelectOnly(CSceneObject* object) {
    for (const auto& element : m_pShownScene->objects) {
        if (element.get() == object) {
            Select(element.get());
        } else {
            Deselect(element.get());
        }
    }
    m_pSelected = object;
}

void EditorController::Paint(Canvas& dc, const PixelRect& clientArea) {
    if (m_pShownScene == nullptr) {
        return;
    }
    const PixelPoint at = m_scroll.Position();
    const PixelRect visible{clientArea.left + at.x, clientArea.top + at.y, clientArea.right + at.x,
                            clientArea.bottom + at.y};
    DrawScene(dc, *m_pShownScene, m_nPixelsPerMetre, visible);
}

// --- View operations ---

ScenePoint EditorController::WindowToScene(PixelPoint window) const {
    if (m_pShownScene == nullptr) {
        return {};
    }
    return sonivera::WindowToScene(window, m_scroll.Position(), m_nPixelsPerMetre, *m_pShownScene);
}

void EditorController::SnapPoint(double& x, double& y) const {
    if (m_pShownScene != nullptr) {
        sonivera::SnapPoint(*m_pShownScene, x, y);
    }
}

void EditorController::UpdateScrollSizes() {
    m_scroll.SetSizes(m_pShownScene == nullptr
                          ? ScrollSizes{}
                          : ComputeScrollSizes(*m_pShownScene, m_nPixelsPerMetre));
    ShowScrollAndPointer();
}

void EditorController::ApplyZoom() {
    m_host.ShowScaleText(FormatScaleText(m_nPixelsPerMetre));
    UpdateScrollSizes();
    m_host.RepaintAll();
}

// --- Pointer ---

void EditorController::OnLButtonDown(PixelPoint window) {
    ClearMark();
    m_ptPointer = window;
    if (m_bButtonDown) {
        // A press while the last gesture is still open (its release never came): end that one
        // first so that its rectangle or drag is not left half done; the capture stays.
        FinishGesture(window);
    } else {
        m_host.CapturePointer();
    }
    m_bButtonDown = true;
    m_nGestureTool = m_nTool;

    const ScenePoint p = WindowToScene(window);
    if (m_pShownScene == nullptr || !p.inside) {
        return;
    }
    switch (m_nTool) {
    case ToolSelect:
        PressSelect(p, false, window);
        break;
    case ToolMove:
        PressSelect(p, true, window);
        break;
    case ToolDrawRect:
        PressDrawRect(p, window);
        break;
    case ToolAddSource:
        PressAddSource(p);
        break;
    default:
        break;
    }
}

void EditorController::PressSelect(const ScenePoint& p, bool startDrag, PixelPoint window) {
    CSceneObject* old = m_pSelected;
    Deselect(old);
    CSceneObject* hit = FindObjectAt(m_pShownScene->objects, old, p.x, p.y, m_nPixelsPerMetre);
    Select(hit);
    m_pSelected = hit;
    if (hit != old) {
        DrawSelectionChange(m_host, old, hit, m_nPixelsPerMetre);
    }
    if (startDrag && hit != nullptr) {
        m_bDragging = true;
        m_ptLast = window;
        m_moveStart = RecordOf(*hit);
    }
}

void EditorController::PressDrawRect(const ScenePoint& p, PixelPoint window) {
    m_ptLast = window; // the fixed corner of the whole gesture
    Deselect(m_pSelected);
    auto* rect = m_pShownScene->Add<CRectObject>();
    rect->m_x = p.x;
    rect->m_y = p.y;
    Select(rect);
    m_pSelected = rect;
    m_pDrawnRect = rect;
}

void EditorController::PressAddSource(const ScenePoint& p) {
    CSceneObject* old = m_pSelected;
    Deselect(old);
    auto* source = m_pShownScene->Add<CSoundSource>();
    source->m_x = p.x; // exactly where pressed, never snapped
    source->m_y = p.y;
    Select(source);
    m_pSelected = source;
    DrawSelectionChange(m_host, old, source, m_nPixelsPerMetre);
    m_host.SubmitEdit(
        MakeInsertEdit(EditKind::AddSource, m_pShownScene->objects.size() - 1, RecordOf(*source)));
}

void EditorController::ShowScrollAndPointer() {
    m_host.ShowScroll(m_scroll);
    ShowPointerAt();
}

void EditorController::ShowPointerAt() {
    // The scene under a pointer that has not moved changes with the scroll position and the zoom.
    if (!m_bPointerKnown) {
        return;
    }
    const ScenePoint p = WindowToScene(m_ptPointer);
    m_host.ShowPointerText(m_pShownScene != nullptr && p.inside ? FormatPointerText(p.x, p.y)
                                                                : std::string());
}

void EditorController::OnMouseMove(PixelPoint window) {
    m_ptPointer = window;
    m_bPointerKnown = true;
    const ScenePoint p = WindowToScene(window);
    if (m_pShownScene == nullptr) {
        return;
    }
    m_host.ShowPointerText(p.inside ? FormatPointerText(p.x, p.y) : std::string());
    if (!m_bButtonDown) {
        return;
    }
    const ScenePoint last = WindowToScene(m_ptLast);
    if (m_bDragging && m_pSelected != nullptr) {
        DragStep(p, last, window);
    } else if (m_pDrawnRect != nullptr) {
        DrawStep(p, last);
    }
}

void EditorController::DragStep(const ScenePoint& p, const ScenePoint& last, PixelPoint window) {
    // By the pointer's change since the last step: an overshoot past the border is forgotten.
    m_pSelected->MoveBy(p.x - last.x, p.y - last.y);
    m_ptLast = window;
    m_host.RepaintAll();
}

void EditorController::DrawStep(ScenePoint p, const ScenePoint& last) {
    CRectObject* rect = m_pDrawnRect;
    rect->ClampPoint(&p.x, &p.y);
    double fixedX = last.x;
    double fixedY = last.y;
    SnapPoint(fixedX, fixedY);
    SnapPoint(p.x, p.y); // after the clamping, so a corner may land on the grid line just outside
    NormaliseSpan(fixedX, p.x, rect->m_x, rect->m_width);
    NormaliseSpan(fixedY, p.y, rect->m_y, rect->m_height);
    m_host.RepaintAll();
}

void EditorController::OnLButtonUp(PixelPoint window) {
    m_ptPointer = window;
    if (!m_bButtonDown) {
        return; // a release without a press over the view
    }
    FinishGesture(window);
    m_host.ReleasePointer();
}

void EditorController::OnCaptureLost() {
    if (m_bButtonDown) {
        FinishGesture(m_ptPointer);
    }
}

void EditorController::ShowCheckFinding(std::size_t index, std::size_t container) {
    if (m_pShownScene == nullptr || m_bButtonDown) {
        return;
    }
    ClearMark();
    SelectOnly(ObjectAt(*m_pShownScene, index));
    if (CSceneObject* other = ObjectAt(*m_pShownScene, container); other && other != m_pSelected) {
        other->m_color = kColorSelected;
        m_pMarked = other;
    }
    m_host.RepaintAll();
}

bool EditorController::MoveListenerTo(double x, double y) {
    if (m_pShownScene == nullptr || m_pShownScene->objects.empty()) {
        return false;
    }
    CSceneObject& listener = *m_pShownScene->objects.front();
    if (listener.m_x == x && listener.m_y == y) {
        return false;
    }
    // Moved here, as a drag moves an object; the edit handed over is already applied, and undo
    // moves it back.
    ObjectRecord before = RecordOf(listener);
    listener.m_x = x;
    listener.m_y = y;
    ObjectRecord after = RecordOf(listener);
    m_host.RepaintAll();
    m_host.SubmitEdit(MakeChangeEdit(EditKind::MoveObject, 0, std::move(before), std::move(after)));
    return true;
}

void EditorController::FinishGesture(PixelPoint window) {
    m_bButtonDown = false;
    if (m_nGestureTool == ToolMove && m_pSelected != nullptr) {
        m_pSelected->EndMove();
        if (!(window == m_ptLast)) {
            m_host.RepaintAll();
        }
        // An edit only when the object ended somewhere else (the snapping at the release counts).
        ObjectRecord now = RecordOf(*m_pSelected);
        if (m_moveStart && !(*m_moveStart == now)) {
            if (const auto index = IndexOf(*m_pShownScene, m_pSelected)) {
                m_host.SubmitEdit(
                    MakeChangeEdit(EditKind::MoveObject, *index, *m_moveStart, std::move(now)));
            }
        }
    }
    m_moveStart.reset();
    if (CRectObject* rect = std::exchange(m_pDrawnRect, nullptr)) {
        if (rect->m_width != 0.0 && rect->m_height != 0.0) {
            rect->EndMove();
            if (const auto index = IndexOf(*m_pShownScene, rect)) {
                m_host.SubmitEdit(MakeInsertEdit(EditKind::DrawRect, *index, RecordOf(*rect)));
            }
        } else {
            if (m_pSelected == rect) {
                m_pSelected = nullptr;
            }
            RemoveObject(rect);
            m_host.RepaintAll();
        }
    }
    m_bDragging = false;
}

// --- Keys and scrolling ---

void EditorController::OnKeyDown(Key key) {
    ClearMark();
    using Axis = ScrollState::Axis;
    using Action = ScrollState::Action;
    switch (key) {
    case Key::Tab:
        StepSelectionByTab();
        break;
    case Key::Left:
        ScrollAndShow(Axis::Horizontal, Action::LineUp, 0);
        break;
    case Key::Right:
        ScrollAndShow(Axis::Horizontal, Action::LineDown, 0);
        break;
    case Key::Up:
        ScrollAndShow(Axis::Vertical, Action::LineUp, 0);
        break;
    case Key::Down:
        ScrollAndShow(Axis::Vertical, Action::LineDown, 0);
        break;
    case Key::Other:
        break;
    }
}

void EditorController::StepSelectionByTab() {
    if (m_pShownScene == nullptr || m_pShownScene->objects.empty()) {
        return;
    }
    CSceneObject* old = m_pSelected;
    Deselect(old);
    CSceneObject* next = NextInTabOrder(m_pShownScene->objects, old);
    Select(next);
    m_pSelected = next;
    if (next != old) {
        DrawSelectionChange(m_host, old, next, m_nPixelsPerMetre);
    }
}

void EditorController::OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb) {
    ScrollAndShow(axis, action, thumb);
}

void EditorController::ScrollAndShow(ScrollState::Axis axis, ScrollState::Action action,
                                     int thumb) {
    if (m_scroll.Scroll(axis, action, thumb)) {
        ShowScrollAndPointer();
    }
}

void EditorController::OnWheel(int notches, bool horizontal, bool zoom, PixelPoint window) {
    if (notches == 0) {
        return;
    }
    if (zoom) {
        const int wanted = m_nPixelsPerMetre + (notches > 0 ? 1 : -1);
        if (wanted >= kMinPixelsPerMetre && wanted <= kMaxPixelsPerMetre) {
            ZoomAround(wanted, window);
        }
        return;
    }
    const auto axis = horizontal ? ScrollState::Axis::Horizontal : ScrollState::Axis::Vertical;
    // Positive notches scroll up (or left), negative ones down (or right), the same distance on
    // screen at every zoom (a line follows the zoom and is a pixel or two when zoomed out).
    const PixelPoint at = m_scroll.Position();
    const long long from = horizontal ? at.x : at.y;
    const long long target = from - static_cast<long long>(notches) * kWheelPixelsPerNotch;
    const int clamped =
        static_cast<int>(std::clamp<long long>(target, 0, m_scroll.MaxPosition(axis)));
    if (m_scroll.Scroll(axis, ScrollState::Action::ThumbTo, clamped)) {
        ShowScrollAndPointer();
    }
}

void EditorController::ZoomAround(int newPixelsPerMetre, PixelPoint window) {
    const PixelPoint target =
        ScrollKeepingPoint(window, m_scroll.Position(), m_nPixelsPerMetre, newPixelsPerMetre);
    m_nPixelsPerMetre = newPixelsPerMetre;
    m_host.ShowScaleText(FormatScaleText(m_nPixelsPerMetre));
    m_scroll.SetSizes(m_pShownScene == nullptr
                          ? ScrollSizes{}
                          : ComputeScrollSizes(*m_pShownScene, m_nPixelsPerMetre));
    m_scroll.Scroll(ScrollState::Axis::Horizontal, ScrollState::Action::ThumbTo, target.x);
    m_scroll.Scroll(ScrollState::Axis::Vertical, ScrollState::Action::ThumbTo, target.y);
    ShowScrollAndPointer();
    m_host.RepaintAll();
}

void EditorController::OnClientSize(PixelSize client) {
    m_scroll.SetClientSize(client);
    ShowScrollAndPointer();
}

void EditorController::OnViewportSize(PixelSize outer, PixelSize bars) {
    m_scroll.SetViewport(outer, bars);
    ShowScrollAndPointer();
}

// --- Commands ---

void EditorController::SetTool(std::int32_t tool) {
    if (IsEditorTool(tool)) {
        m_nTool = tool;
    }
}

void EditorController::ZoomIn() {
    if (CanZoomIn(m_nPixelsPerMetre)) {
        ++m_nPixelsPerMetre;
        ApplyZoom();
    }
}

void EditorController::ZoomOut() {
    if (CanZoomOut(m_nPixelsPerMetre)) {
        --m_nPixelsPerMetre;
        ApplyZoom();
    }
}

void EditorController::DeleteSelected() {
    if (m_pShownScene == nullptr || !CanDeleteObject(m_pSelected)) {
        return;
    }
    if (!m_host.AskDeleteObject()) {
        return;
    }
    RemoveSelected(EditKind::DeleteObject);
}

void EditorController::CutSelected() {
    if (m_pShownScene != nullptr && !m_bButtonDown && CanCopyObject(m_pSelected)) {
        RemoveSelected(EditKind::CutObject);
    }
}

void EditorController::RemoveSelected(EditKind kind) {
    const auto index = IndexOf(*m_pShownScene, m_pSelected);
    if (!index) {
        return;
    }
    ObjectRecord record = RecordOf(*m_pSelected);
    CSceneObject* doomed = std::exchange(m_pSelected, nullptr);
    if (doomed == m_pDrawnRect) {
        m_pDrawnRect = nullptr;
    }
    RemoveObject(doomed);
    m_host.RepaintAll();
    m_host.SubmitEdit(MakeRemoveEdit(kind, *index, std::move(record)));
}

void EditorController::Paste(const ObjectRecord& copied) {
    if (m_pShownScene == nullptr || m_bButtonDown) {
        return;
    }
    // The same clipboard pasted again goes one more step right and down each time.
    m_nPasteSteps = m_lastPasted && *m_lastPasted == copied ? m_nPasteSteps + 1 : 1;
    m_lastPasted = copied;
    auto edit = MakeInsertEdit(EditKind::PasteObject, m_pShownScene->objects.size(),
                               PlacePastedObject(copied, *m_pShownScene, m_nPasteSteps));
    const EditSelection selection = edit->Apply(*m_pShownScene);
    if (selection.mode != EditSelection::Mode::Select) {
        return; // the record made no object
    }
    SelectOnly(ObjectAt(*m_pShownScene, selection.index));
    m_host.RepaintAll();
    m_host.SubmitEdit(std::move(edit));
}

void EditorController::EditSelectedProperties(PropertiesPort& port) {
    if (!CanEditProperties(m_pSelected)) {
        return;
    }
    ObjectRecord before = RecordOf(*m_pSelected);
    if (!m_pSelected->EditProperties(port)) {
        return;
    }
    ObjectRecord after = RecordOf(*m_pSelected);
    if (after == before) {
        return;
    }
    if (const auto index = IndexOf(*m_pShownScene, m_pSelected)) {
        m_host.SubmitEdit(MakeChangeEdit(EditKind::ObjectProperties, *index, std::move(before),
                                         std::move(after)));
    }
}

void EditorController::RemoveObject(CSceneObject* object) {
    m_pShownScene->objects.remove_if(
        [object](const auto& element) { return element.get() == object; });
}

} // namespace sonivera
