#include "view/ViewFixture.h"

#include "gui/app/CommandIds.h"
#include "core/model/RectObject.h"
#include "gui/model/RectPropsDlg.h"
#include "core/model/SoundSource.h"
#include "gui/model/SourcePropsDlg.h"

#include <wx/cmdproc.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sonivera {

namespace {

struct ItemState {
    bool enabled;
    bool checked;
    friend bool operator==(const ItemState&, const ItemState&) = default;
};

} // namespace

class ObjectCommandsTest : public ViewTest {
protected:
    // A source at (2.5, 1.5) and a rectangle (1, 1)-(4, 4) under it, nothing selected, unmodified.
    void SetUp() override {
        ViewTest::SetUp();
        UseTool(ID_TOOL_SOURCE);
        Click(75, 45);
        UseTool(ID_TOOL_RECT);
        Drag(30, 30, 120, 120);
        source = dynamic_cast<CSoundSource*>(ObjectAt(1));
        rect = dynamic_cast<CRectObject*>(ObjectAt(2));
        ASSERT_TRUE(source && rect);
        UseTool(ID_TOOL_SELECT);
        Click(900, 900);
        Doc().Modify(false);
    }

    static std::map<int, ItemState> ContextMenuStates() {
        std::map<int, ItemState> states;
        std::unique_ptr<wxMenu> menu = View().CreateObjectsMenu();
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (!item->IsSeparator()) {
                states[item->GetId()] = {item->IsEnabled(),
                                         item->IsCheckable() && item->IsChecked()};
            }
        }
        return states;
    }
    static std::map<int, ItemState> MainMenuStates() {
        std::map<int, ItemState> states;
        for (int id : {ID_TOOL_SELECT, ID_TOOL_MOVE, ID_TOOL_RECT, ID_TOOL_SOURCE, ID_DELETE_OBJECT,
                       ID_OBJECT_PROPERTIES}) {
            wxMenuItem* item = MenuItem(id);
            states[id] = {item->IsEnabled(), item->IsCheckable() && item->IsChecked()};
        }
        return states;
    }

    CSoundSource* source = nullptr;
    CRectObject* rect = nullptr;
};

TEST_F(ObjectCommandsTest, DeleteAsksAndOnlyYesRemovesTheObject) {
    Key(WXK_TAB);
    Key(WXK_TAB); // the source
    ASSERT_EQ(View().Selected(), source);
    dialogs.Then([](wxDialog& box) {
        EXPECT_EQ(box.GetTitle().utf8_string(), "Предупреждение");
        return int(wxID_NO);
    });
    Command(ID_DELETE_OBJECT);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Удалить выделенный объект?");
    const long style = dialogs.Messages()[0].style;
    EXPECT_TRUE((style & wxYES_NO) == wxYES_NO && (style & wxICON_EXCLAMATION) &&
                !(style & wxNO_DEFAULT));
    EXPECT_EQ(Scene().objects.size(), 3u);
    EXPECT_EQ(View().Selected(), source);
    EXPECT_FALSE(Doc().IsModified());

    dialogs.ThenMessage("Удалить выделенный объект?", wxID_YES);
    Command(ID_DELETE_OBJECT);
    EXPECT_EQ(Scene().objects.size(), 2u);
    EXPECT_EQ(ObjectAt(1), rect);
    EXPECT_EQ(View().Selected(), nullptr);
    EXPECT_TRUE(Doc().IsModified());
    Key(WXK_TAB);
    EXPECT_EQ(View().Selected(), Scene().FirstObject());
}

TEST_F(ObjectCommandsTest, DeleteAndPropertiesAreDisabledWhereTheRulesSay) {
    EXPECT_FALSE(MenuItem(ID_DELETE_OBJECT)->IsEnabled());
    EXPECT_FALSE(MenuItem(ID_OBJECT_PROPERTIES)->IsEnabled());
    Command(ID_DELETE_OBJECT); // refused: no question (an unexpected dialog fails the test)
    Command(ID_OBJECT_PROPERTIES);

    Key(WXK_TAB); // the listener: properties yes, delete never
    EXPECT_FALSE(MenuItem(ID_DELETE_OBJECT)->IsEnabled());
    EXPECT_FALSE(Frame().GetSceneBar()->GetToolEnabled(ID_DELETE_OBJECT));
    EXPECT_TRUE(MenuItem(ID_OBJECT_PROPERTIES)->IsEnabled());
    Command(ID_DELETE_OBJECT);
    EXPECT_EQ(Scene().objects.size(), 3u);
}

TEST_F(ObjectCommandsTest, ContextMenuShowsTheMainMenusStatesAndKeepsTheSelection) {
    Key(WXK_TAB); // the listener
    UseTool(ID_TOOL_MOVE);
    EXPECT_EQ(ContextMenuStates(), MainMenuStates());
    EXPECT_EQ(ContextMenuStates()[ID_TOOL_MOVE], (ItemState{true, true}));
    EXPECT_EQ(ContextMenuStates()[ID_DELETE_OBJECT], (ItemState{false, false}));

    Key(WXK_TAB); // the source
    EXPECT_EQ(ContextMenuStates(), MainMenuStates());
    EXPECT_EQ(ContextMenuStates()[ID_DELETE_OBJECT], (ItemState{true, false}));

    // A right click on the rectangle opens the menu over the canvas; the source stays selected
    // and the menu's delete asks about it.
    std::vector<std::string> labels;
    wxPoint shownAt;
    View().SetPopupPresenter([&](wxMenu& menu, const wxPoint& at) {
        shownAt = at;
        for (wxMenuItem* item : menu.GetMenuItems()) {
            labels.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
        }
        Command(ID_DELETE_OBJECT);
    });
    dialogs.ThenMessage("Удалить выделенный объект?", wxID_YES);
    Mouse(wxEVT_RIGHT_DOWN, 100, 100);
    EXPECT_EQ(shownAt, wxPoint(100, 100));
    const std::vector<std::string> expected = {"&Выделение объектов",
                                               "&Перемещение объектов",
                                               "&Рисование прямоугольников",
                                               "Добавление источника &звука",
                                               "-",
                                               "&Удалить объект\tDel",
                                               "&Свойства объекта..."};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(Scene().objects.size(), 2u);
    EXPECT_EQ(ObjectAt(1), rect);
    EXPECT_EQ(View().Controller().Tool(), ToolMove);
}

TEST_F(ObjectCommandsTest, SourcePropertiesShowPercentRefuseAboveHundredAndStoreAFraction) {
    Key(WXK_TAB);
    Key(WXK_TAB);
    source->m_power = 0.5;
    dialogs.Then([this](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CSourcePropsDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.GetId(), 168);
        // Centred over the main window.
        const wxPoint centre = dialog.GetScreenRect().GetPosition() + dialog.GetSize() / 2;
        const wxRect owner = View().GetMainFrame()->GetScreenRect();
        const wxPoint ownerCentre = owner.GetPosition() + owner.GetSize() / 2;
        EXPECT_LE(std::abs(centre.x - ownerCentre.x), 2);
        EXPECT_LE(std::abs(centre.y - ownerCentre.y), 2);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Свойства объекта \"источник звука\"");
        EXPECT_EQ(FieldText(dialog, IDC_SOURCE_POWER), "50");
        SetField(dialog, IDC_SOURCE_POWER, "150");
        EXPECT_FALSE(PressOk(dialog));
        return int(wxID_CANCEL);
    });
    dialogs.ThenMessage("Please enter a number between 0 and 100.");
    Command(ID_OBJECT_PROPERTIES);
    EXPECT_EQ(source->m_power, 0.5);

    dialogs.Then([](wxDialog& dialog) {
        SetField(dialog, IDC_SOURCE_POWER, "75");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_OBJECT_PROPERTIES);
    EXPECT_EQ(source->m_power, 0.75);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(View().Selected(), source);
    // Undone, the power is back and the scene is as it was opened.
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(source->m_power, 0.5);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(View().Selected(), source);
}

TEST_F(ObjectCommandsTest, RectanglePropertiesAcceptTheirBoundsAndCancelKeepsTheValues) {
    Click(45, 100); // the rectangle alone
    ASSERT_EQ(View().Selected(), rect);
    const size_t editsBefore = Doc().GetCommandProcessor()->GetCommands().GetCount();
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CRectPropsDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.GetId(), 167);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Свойства объекта \"прямоугольник\"");
        EXPECT_EQ(FieldText(dialog, IDC_RECT_ABSORPTION), "1.7e+308");
        EXPECT_EQ(FieldText(dialog, IDC_RECT_REFLECTION), "0");
        SetField(dialog, IDC_RECT_ABSORPTION, "0");
        SetField(dialog, IDC_RECT_REFLECTION, "100");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_OBJECT_PROPERTIES);
    EXPECT_EQ(rect->m_absorption, 0.0);
    EXPECT_EQ(rect->m_reflection, 1.0);

    dialogs.Then([](wxDialog& dialog) {
        SetField(dialog, IDC_RECT_ABSORPTION, "-0.1");
        EXPECT_FALSE(PressOk(dialog));
        SetField(dialog, IDC_RECT_ABSORPTION, "2.5");
        SetField(dialog, IDC_RECT_REFLECTION, "100.5");
        EXPECT_FALSE(PressOk(dialog));
        return int(wxID_CANCEL);
    });
    dialogs.ThenMessage("Please enter a number between 0 and 1.7e+308.");
    dialogs.ThenMessage("Please enter a number between 0 and 100.");
    Command(ID_OBJECT_PROPERTIES);
    EXPECT_EQ(rect->m_absorption, 0.0);
    EXPECT_EQ(rect->m_reflection, 1.0);
    EXPECT_TRUE(Doc().IsModified()); // by the first, accepted change
    EXPECT_EQ(Doc().GetCommandProcessor()->GetCommands().GetCount(), editsBefore + 1);
}

TEST_F(ObjectCommandsTest, TheListenerHasOnlyAMessageUnderTheApplicationTitle) {
    Key(WXK_TAB);
    dialogs.Then([](wxDialog& box) {
        EXPECT_EQ(box.GetTitle().utf8_string(), "Sonivera");
        return int(wxID_OK);
    });
    Command(ID_OBJECT_PROPERTIES);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Объект не имеет особых свойств");
    const long style = dialogs.Messages()[0].style;
    EXPECT_FALSE(style & wxICON_MASK); // any icon flag, wxICON_NONE too, would show an icon
    EXPECT_FALSE(Doc().IsModified());
}

} // namespace sonivera
