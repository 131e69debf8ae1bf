#pragma once

#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"
#include "support/FakeEditorHost.h"
#include "core/view/EditorController.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

namespace sonivera {

// A controller showing the default scene (100 m × 100 m, 1 m snapping grid, the listener at
// (50, 50)) at 30 pixels per metre in an 800 × 600 window.
class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        editor.OnClientSize({800, 600});
        editor.OnUpdate(scene.get(), 1);
    }

    // One left-button gesture in window pixels: press, the moves in order, release at the last.
    void Gesture(PixelPoint press, std::initializer_list<PixelPoint> moves = {}) {
        editor.OnLButtonDown(press);
        PixelPoint at = press;
        for (PixelPoint move : moves) {
            editor.OnMouseMove(move);
            at = move;
        }
        editor.OnLButtonUp(at);
    }

    CSceneObject* Listener() const { return scene->FirstObject(); }
    CSceneObject* Last() const { return scene->objects.back().get(); }
    CRectObject* LastRect() const { return dynamic_cast<CRectObject*>(Last()); }
    std::size_t Count() const { return scene->objects.size(); }

    // Exactly `object` (or nothing) is selected and red.
    void ExpectOnlySelected(const CSceneObject* object) const {
        EXPECT_EQ(editor.Selected(), object);
        for (const auto& element : scene->objects) {
            const bool selected = element.get() == object;
            EXPECT_EQ(element->m_bSelected, selected);
            EXPECT_EQ(element->m_color, selected ? kColorSelected : kColorBlack);
        }
    }

    std::unique_ptr<SceneSettings> scene = MakeDefaultScene();
    FakeEditorHost host;
    EditorController editor{host};
};

} // namespace sonivera
