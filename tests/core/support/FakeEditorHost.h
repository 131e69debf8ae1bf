#pragma once

#include "core/edit/SceneEdit.h"
#include "core/model/SceneObject.h"
#include "core/view/EditorHost.h"
#include "core/view/ScrollState.h"

#include <memory>
#include <string>
#include <vector>

namespace sonivera {

// An editor host that records what the controller asked of it and answers the delete question
// as scripted.
class FakeEditorHost : public EditorHost {
public:
    // One object drawn at once, with the colour it had when drawn.
    struct DrawnNow {
        const CSceneObject* object;
        RgbColor color;
    };

    void CapturePointer() override {
        ++captures;
        captured = true;
    }
    void ReleasePointer() override {
        ++releases;
        captured = false;
    }
    void RepaintAll() override { ++repaints; }
    void DrawObjectsNow(std::span<CSceneObject* const> objects, double) override {
        for (CSceneObject* object : objects) {
            drawnNow.push_back({object, object->m_color});
        }
    }
    void ShowPointerText(const std::string& text) override { pointerText = text; }
    void ShowScaleText(const std::string& text) override { scaleText = text; }
    void ShowScroll(const ScrollState& scroll) override {
        ++scrollShows;
        shownScroll = scroll.Position();
    }
    void SubmitEdit(std::unique_ptr<SceneEdit> edit) override {
        ++modified;
        edits.push_back(std::move(edit));
    }
    bool AskDeleteObject() override {
        ++questions;
        return answerYes;
    }

    int captures = 0;
    int releases = 0;
    bool captured = false;
    int repaints = 0;
    std::vector<DrawnNow> drawnNow;
    std::string pointerText = "(unset)";
    std::string scaleText;
    int scrollShows = 0;
    PixelPoint shownScroll{-1, -1};
    int modified = 0; // edits submitted
    std::vector<std::unique_ptr<SceneEdit>> edits;
    int questions = 0;
    bool answerYes = false;
};

} // namespace sonivera
