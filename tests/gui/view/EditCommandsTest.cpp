// The "&Правка" commands and the wheel in the running editor: undo and redo through the
// document's command processor with their labels and the modified flag, the clipboard round trip,
// and the wheel's scrolling and zooming.
#include "view/ViewFixture.h"

#include "core/edit/ObjectClipboard.h"
#include "core/model/SoundSource.h"
#include "gui/common/CommandIds.h"

#include <wx/clipbrd.h>
#include <wx/cmdproc.h>
#include <wx/dataobj.h>

namespace sonivera {

namespace {

class EditCommandsTest : public ViewTest {
protected:
    static std::string Label(int id) { return MenuItem(id)->GetItemLabel().utf8_string(); }
    static bool Enabled(int id) { return Frame().QueryCommand(id).enabled; }
    static void Wheel(int rotation, bool shift, bool control, int x = 100, int y = 100) {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.m_shiftDown = shift;
        event.m_controlDown = control;
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(&Canvas());
        Canvas().ProcessWindowEvent(event);
    }
};

} // namespace

TEST_F(EditCommandsTest, UndoAndRedoNameTheirEditFollowTheSavedStateAndStartEmpty) {
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_EQ(Label(ID_EDIT_UNDO), "&Отменить\tCtrl+Z");
    UseTool(ID_TOOL_SOURCE);
    Click(75, 75);
    UseTool(ID_TOOL_MOVE);
    Drag(75, 75, 135, 75); // two metres right
    auto* source = dynamic_cast<CSoundSource*>(Scene().objects.back().get());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->m_x, 4.0);
    EXPECT_EQ(Label(ID_EDIT_UNDO), "&Отменить перемещение объекта\tCtrl+Z");
    ASSERT_TRUE(Doc().SaveSceneFile(wxString::FromUTF8(dir.File("moved.3d"))));
    EXPECT_FALSE(Doc().IsModified());

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(source->m_x, 2.5);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(View().Selected(), source);
    EXPECT_EQ(Label(ID_EDIT_REDO), "&Повторить перемещение объекта\tCtrl+Y");
    EXPECT_EQ(Label(ID_EDIT_UNDO), "&Отменить добавление источника звука\tCtrl+Z");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Scene().objects.size(), 1u);
    EXPECT_EQ(View().Selected(), nullptr);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    Command(ID_EDIT_REDO);
    Command(ID_EDIT_REDO);
    EXPECT_FALSE(Doc().IsModified()); // back at the saved state
    EXPECT_EQ(dynamic_cast<CSoundSource*>(Scene().objects.back().get())->m_x, 4.0);
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));

    // Disabled while a gesture is under way.
    Press(300, 300);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    Release(300, 300);
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));

    // A new scene starts with an empty stack.
    Doc().Modify(false);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Doc().GetCommandProcessor()->GetCommands().GetCount(), 0u);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
}

TEST_F(EditCommandsTest, SceneDialogChangesAreUndoneInOneStep) {
    const double width = Scene().width;
    auto settings = SettingsOf(Scene());
    settings.width = 20.0;
    Doc().SubmitEdit(MakeSettingsEdit(EditKind::SceneSize, SettingsOf(Scene()), settings), false);
    EXPECT_EQ(Scene().width, 20.0);
    EXPECT_EQ(Canvas().GetScrollRange(wxHORIZONTAL), 601);
    EXPECT_EQ(Label(ID_EDIT_UNDO), "&Отменить изменение размеров сцены и сетки\tCtrl+Z");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Scene().width, width);
    EXPECT_EQ(Canvas().GetScrollRange(wxHORIZONTAL), 3001);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(EditCommandsTest, CopyAndPasteGoThroughTheClipboardAndTheListenerIsNeverCopied) {
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTheClipboard->SetData(new wxTextDataObject("not an object"));
    }
    Frame().ClipboardChanged();
    Key(WXK_TAB); // the listener
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE)); // nothing to paste
    EXPECT_FALSE(Enabled(ID_FILE_PRINT));

    UseTool(ID_TOOL_SOURCE);
    Click(75, 75);
    ASSERT_TRUE(Enabled(ID_EDIT_COPY));
    Command(ID_EDIT_COPY);
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTextDataObject text;
        ASSERT_TRUE(wxTheClipboard->GetData(text));
        EXPECT_EQ(text.GetText().utf8_string(),
                  "{ \"kind\": \"source\", \"m_x\": 2.5, \"m_y\": 2.5, \"m_power\": 1.0 }");
        EXPECT_TRUE(wxTheClipboard->IsSupported(wxDataFormat(kObjectClipboardFormat)));
    }
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    Command(ID_EDIT_PASTE);
    ASSERT_EQ(Scene().objects.size(), 3u);
    CSceneObject* pasted = Scene().objects.back().get();
    EXPECT_EQ(pasted->m_x, 3.5);
    EXPECT_EQ(pasted->m_y, 3.5);
    EXPECT_EQ(View().Selected(), pasted);
    EXPECT_EQ(Label(ID_EDIT_UNDO), "&Отменить вставку объекта\tCtrl+Z");

    Command(ID_EDIT_CUT);
    EXPECT_EQ(Scene().objects.size(), 2u);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Scene().objects.size(), 3u);
    EXPECT_EQ(View().Selected(), Scene().objects.back().get());

    // The editor's own JSON text, edited elsewhere and copied back as plain text, pastes too.
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTheClipboard->SetData(new wxTextDataObject(
            "{\"kind\": \"rect\", \"m_x\": 4, \"m_y\": 5, \"m_width\": 2, \"m_height\": 1,"
            " \"m_absorption\": 0.5, \"m_reflection\": 0.25}"));
    }
    Frame().ClipboardChanged();
    ASSERT_TRUE(Enabled(ID_EDIT_PASTE));
    Command(ID_EDIT_PASTE);
    ASSERT_EQ(Scene().objects.size(), 4u);
    EXPECT_EQ(Scene().objects.back()->m_x, 5.0);
}

TEST_F(EditCommandsTest, TheWheelScrollsAFixedDistanceAndCtrlZoomsAroundThePointer) {
    Wheel(-120, false, false); // towards the user: down by one notch's pixels
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), kWheelPixelsPerNotch);
    Wheel(-120, true, false); // Shift: to the right
    EXPECT_EQ(Canvas().GetScrollPos(wxHORIZONTAL), kWheelPixelsPerNotch);
    Wheel(120, false, false);
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 0);
    Wheel(-60, false, false); // half a notch waits for the other half
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 0);
    Wheel(-60, false, false);
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), kWheelPixelsPerNotch);

    // Ctrl: one zoom step out; the scene point under the pointer stays under it.
    const PixelPoint pointer{400, 300};
    const ScenePoint before = View().Controller().WindowToScene(pointer);
    Wheel(-120, false, true, pointer.x, pointer.y);
    EXPECT_EQ(View().Controller().PixelsPerMetre(), 29);
    EXPECT_EQ(StatusPane(2), "Масштаб 1:1.034");
    const ScenePoint after = View().Controller().WindowToScene(pointer);
    EXPECT_NEAR(after.x, before.x, 1.0 / 29);
    EXPECT_NEAR(after.y, before.y, 1.0 / 29);
    Wheel(120, false, true, pointer.x, pointer.y);
    EXPECT_EQ(View().Controller().PixelsPerMetre(), 30);
    Wheel(120, false, true, pointer.x, pointer.y); // at the largest zoom nothing happens
    EXPECT_EQ(View().Controller().PixelsPerMetre(), 30);
    EXPECT_FALSE(Doc().IsModified());
}

} // namespace sonivera
