// The edits the editor controller records: each kind undone and redone, the selection they give
// back, and a random sequence of edits whose full undo and redo give back the saved bytes.
#include "../view/EditorFixture.h"

#include "core/edit/ObjectClipboard.h"
#include "core/model/SceneFile.h"
#include "support/ScriptedProperties.h"

#include <random>

namespace sonivera {

namespace {

// The controller's edits applied and reverted the way the document's undo stack does it.
class UndoTest : public EditorTest {
protected:
    void UndoLast() {
        ASSERT_GT(done, 0u);
        --done;
        editor.OnSceneEdited(host.edits[done]->Revert(*scene));
    }
    void RedoNext() {
        ASSERT_LT(done, host.edits.size());
        editor.OnSceneEdited(host.edits[done]->Apply(*scene));
        ++done;
    }
    // Keeps the count of applied edits in step with what the controller submitted.
    void Sync() { done = host.edits.size(); }
    std::vector<std::uint8_t> Bytes() const { return SaveSceneToBytes(*scene); }

    std::size_t done = 0;
};

} // namespace

TEST_F(UndoTest, EachGestureAndCommandIsOneEditThatUndoesAndRedoes) {
    const auto start = Bytes();
    editor.SetTool(ToolAddSource);
    Gesture({155, 161});
    editor.SetTool(ToolDrawRect);
    Gesture({300, 300}, {{390, 420}});
    editor.SetTool(ToolMove);
    Gesture({160, 165}, {{220, 225}}); // the source, two metres right and down
    ScriptedProperties port;
    port.answerPower = 40.0;
    editor.EditSelectedProperties(port);
    host.answerYes = true;
    editor.DeleteSelected();
    Sync();
    ASSERT_EQ(host.edits.size(), 5u);
    const EditKind kinds[] = {EditKind::AddSource, EditKind::DrawRect, EditKind::MoveObject,
                              EditKind::ObjectProperties, EditKind::DeleteObject};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(host.edits[i]->Kind(), kinds[i]);
    }
    const auto edited = Bytes();

    // Undoing the delete brings the source back, selected, with its edited power.
    UndoLast();
    ASSERT_EQ(Count(), 3u);
    auto* source = dynamic_cast<CSoundSource*>(std::next(scene->objects.begin())->get());
    ASSERT_NE(source, nullptr);
    ExpectOnlySelected(source);
    EXPECT_EQ(source->m_power, 0.4);
    UndoLast(); // the power
    EXPECT_EQ(source->m_power, 1.0);
    ExpectOnlySelected(source);
    UndoLast(); // the move: back exactly where it was added (not snapped)
    EXPECT_EQ(source->m_x, 155.0 / 30.0);
    UndoLast(); // the rectangle is gone, nothing selected
    EXPECT_EQ(Count(), 2u);
    ExpectOnlySelected(nullptr);
    UndoLast();
    EXPECT_EQ(Bytes(), start);

    for (int i = 0; i < 5; ++i) {
        RedoNext();
    }
    EXPECT_EQ(Bytes(), edited);
    ExpectOnlySelected(nullptr); // the redone delete leaves nothing selected
}

TEST_F(UndoTest, NoEditWithoutAChange) {
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 3.0;
    source->m_y = 4.0;
    editor.SetTool(ToolMove);
    Gesture({90, 120}); // picked and released in place, already on the grid
    ScriptedProperties port;
    port.answerPower = 100.0; // the same power
    editor.EditSelectedProperties(port);
    port.accept = false;
    port.answerPower = 10.0;
    editor.EditSelectedProperties(port);
    EXPECT_TRUE(host.edits.empty());
    // A press on an off-grid source with snapping on snaps it: that is a move.
    source->m_x = 3.2;
    Gesture({96, 120});
    ASSERT_EQ(host.edits.size(), 1u);
    EXPECT_EQ(source->m_x, 3.0);
}

TEST_F(UndoTest, SettingsEditsKeepTheSelectionAndRestoreEveryField) {
    editor.OnKeyDown(EditorController::Key::Tab);
    const SettingsRecord before = SettingsOf(*scene);
    SettingsRecord after = before;
    after.width = 7.0;
    after.params.rayCount = 12;
    after.params.normalize = false;
    auto edit = MakeSettingsEdit(EditKind::SceneSize, before, after);
    editor.OnSceneEdited(edit->Apply(*scene));
    EXPECT_EQ(SettingsOf(*scene), after);
    ExpectOnlySelected(Listener());
    // The extent changed: the scroll bars follow.
    EXPECT_EQ(editor.Scroll().Sizes().total.cx, 7 * 30);
    editor.OnSceneEdited(edit->Revert(*scene));
    EXPECT_EQ(SettingsOf(*scene), before);
}

TEST_F(UndoTest, CutAndPasteAreEditsAndPasteIsShiftedClampedAndSelected) {
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 95.0;
    rect->m_y = 10.0;
    rect->m_width = 4.0;
    rect->m_height = 2.0;
    editor.OnKeyDown(EditorController::Key::Tab);
    editor.OnKeyDown(EditorController::Key::Tab);
    const ObjectRecord copied = RecordOf(*rect);
    editor.CutSelected();
    EXPECT_EQ(Count(), 1u);
    editor.Paste(copied);
    ASSERT_EQ(Count(), 2u);
    ExpectOnlySelected(LastRect());
    EXPECT_EQ(LastRect()->m_x, 96.0); // 95 + 1 clamped so the 4 m rectangle stays inside
    EXPECT_EQ(LastRect()->m_y, 11.0);
    ASSERT_EQ(host.edits.size(), 2u);
    EXPECT_EQ(host.edits[0]->Kind(), EditKind::CutObject);
    EXPECT_EQ(host.edits[1]->Kind(), EditKind::PasteObject);
    // The same clipboard pasted again goes one more step each time: no two pastes coincide.
    editor.Paste(copied);
    EXPECT_EQ(LastRect()->m_x, 96.0); // still held inside at x
    EXPECT_EQ(LastRect()->m_y, 12.0);
    editor.Paste(copied);
    EXPECT_EQ(LastRect()->m_y, 13.0);
    // Undone as the document does it: the controller hears of each reverted edit.
    for (int i = 0; i < 2; ++i) {
        editor.OnSceneEdited(host.edits.back()->Revert(*scene));
        host.edits.pop_back();
    }
    // The listener is never cut.
    editor.OnKeyDown(EditorController::Key::Tab);
    ExpectOnlySelected(Listener());
    editor.CutSelected();
    EXPECT_EQ(Count(), 2u);
    EXPECT_EQ(host.edits.size(), 2u);
}

TEST_F(UndoTest, RandomEditsUndoneFullySaveTheOriginalBytesAndRedoneTheEditedOnes) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        scene = MakeDefaultScene();
        host.edits.clear();
        done = 0;
        editor.OnUpdate(scene.get(), static_cast<std::uint64_t>(round) + 2);
        const auto original = Bytes();
        std::uniform_int_distribution<int> pixel(0, 580);
        std::uniform_int_distribution<int> action(0, 6);
        ScriptedProperties port;
        host.answerYes = true;
        for (int step = 0; step < 30; ++step) {
            const PixelPoint a{pixel(random), pixel(random)};
            const PixelPoint b{pixel(random), pixel(random)};
            switch (action(random)) {
            case 0:
                editor.SetTool(ToolAddSource);
                Gesture(a);
                break;
            case 1:
                editor.SetTool(ToolDrawRect);
                Gesture(a, {b});
                break;
            case 2:
                editor.SetTool(ToolMove);
                Gesture(a, {b});
                break;
            case 3:
                editor.OnKeyDown(EditorController::Key::Tab);
                port.answerPower = a.x / 7.0;
                port.answerAbsorption = a.y / 3.0;
                port.answerReflection = b.x / 9.0;
                editor.EditSelectedProperties(port);
                break;
            case 4:
                editor.OnKeyDown(EditorController::Key::Tab);
                editor.DeleteSelected();
                break;
            case 5:
                if (CanCopyObject(editor.Selected())) {
                    const ObjectRecord copied = RecordOf(*editor.Selected());
                    editor.CutSelected();
                    editor.Paste(copied);
                    editor.Paste(copied);
                }
                break;
            default: {
                SettingsRecord after = SettingsOf(*scene);
                after.gridX = 1.0 + a.x % 5;
                after.snapToGrid = (b.y % 2) == 0;
                host.SubmitEdit(MakeSettingsEdit(EditKind::SceneSize, SettingsOf(*scene), after));
                RestoreSettings(*scene, after);
                break;
            }
            }
        }
        Sync();
        const auto edited = Bytes();
        while (done > 0) {
            UndoLast();
        }
        ASSERT_EQ(Bytes(), original) << "round " << round;
        while (done < host.edits.size()) {
            RedoNext();
        }
        ASSERT_EQ(Bytes(), edited) << "round " << round;
    }
}

} // namespace sonivera
