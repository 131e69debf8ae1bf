#pragma once

#include "core/view/EditorHost.h"

namespace sonivera {

class C3DView;

// What the editor's controller needs from the wxWidgets side, carried out on the view's canvas,
// the main frame's status bar and the document. Owned by the view; everything is looked up
// through the view at the time of the call.
//
// Drawing objects "now" is done by invalidating just the areas their outlines cover: on GTK 3 a
// window can only be drawn on while it paints, and the repaint of those areas, which follows at
// once, shows exactly what drawing the two outlines over the picture would.
class CViewHost : public EditorHost {
public:
    explicit CViewHost(C3DView& view) : m_view(view) {}

    void CapturePointer() override;
    void ReleasePointer() override;
    void RepaintAll() override;
    void DrawObjectsNow(std::span<CSceneObject* const> objects, double pixelsPerMetre) override;
    void ShowPointerText(const std::string& text) override;
    void ShowScaleText(const std::string& text) override;
    void ShowScroll(const ScrollState& scroll) override;
    void SubmitEdit(std::unique_ptr<SceneEdit> edit) override;
    bool AskDeleteObject() override;

private:
    void ShowStatusText(int pane, const std::string& text);

    C3DView& m_view;
};

} // namespace sonivera
