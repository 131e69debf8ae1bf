#include "support/AppFixture.h"

#include "gui/common/CommandIds.h"
#include "gui/model/SceneParamsDlg.h"
#include "gui/model/SceneSizeDlg.h"

#include <wx/msgdlg.h>

#include <map>

namespace sonivera {

namespace {

// A second view of the document that counts the document's requests to redraw.
class UpdateCounter : public wxView {
public:
    void OnDraw(wxDC*) override {}
    // Redraws: the notice after every change of the undo stack repaints nothing.
    void OnUpdate(wxView*, wxObject* hint) override {
        if (dynamic_cast<C3DDoc::StackChangedHint*>(hint) == nullptr) {
            ++updates;
        }
    }
    int updates = 0;
};

using Entries = std::map<int, std::string>;

class SceneDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        counter = new UpdateCounter; // owned by the document from here on
        counter->SetDocument(&Doc());
    }

    // Opens a scene dialog with `command`, types the entries and presses OK. When a field is
    // refused, its message is expected to contain `refusal` and the dialog is then cancelled.
    // Returns whether the dialog accepted.
    bool Enter(int command, const Entries& entries, const std::string& refusal = {}) {
        bool accepted = false;
        dialogs.Then([&](wxDialog& dialog) {
            for (const auto& [id, text] : entries) {
                SetField(dialog, id, text);
            }
            accepted = PressOk(dialog);
            return accepted ? wxID_OK : wxID_CANCEL;
        });
        if (!refusal.empty()) {
            dialogs.ThenMessage(refusal);
        }
        Command(command);
        dialogs.Verify();
        if (!refusal.empty() && !dialogs.Messages().empty()) {
            EXPECT_TRUE(dialogs.Messages().back().style & wxICON_EXCLAMATION);
        }
        return accepted;
    }

    UpdateCounter* counter = nullptr;
};

} // namespace

TEST_F(SceneDialogsTest, SizeDialogShowsTheSceneAndOkWithoutChangesMarksNothing) {
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CSceneSizeDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Установка размеров сцены и сетки");
        EXPECT_EQ(FieldText(dialog, IDC_SCENE_WIDTH), "100");
        EXPECT_EQ(FieldText(dialog, IDC_SCENE_HEIGHT), "100");
        EXPECT_EQ(FieldText(dialog, IDC_GRID_X), "1");
        EXPECT_EQ(FieldText(dialog, IDC_GRID_Y), "1");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_SCENE_SIZE_GRID);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(counter->updates, 0);
}

TEST_F(SceneDialogsTest, SizeDialogStoresChangesMarksModifiedAndRedrawsOnce) {
    EXPECT_TRUE(Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_WIDTH, "200"}, {IDC_GRID_X, "5"}}));
    const SceneSettings* scene = Doc().GetScene();
    EXPECT_EQ(scene->width, 200.0);
    EXPECT_EQ(scene->height, 100.0);
    EXPECT_EQ(scene->gridX, 5.0);
    EXPECT_EQ(scene->gridY, 1.0);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(counter->updates, 1);
}

TEST_F(SceneDialogsTest, SizeDialogAcceptsAndRefusesAtItsBounds) {
    EXPECT_TRUE(Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_WIDTH, "5"}, {IDC_SCENE_HEIGHT, "1000"}}));
    EXPECT_EQ(Doc().GetScene()->width, 5.0);
    EXPECT_EQ(Doc().GetScene()->height, 1000.0);
    EXPECT_TRUE(Enter(ID_SCENE_SIZE_GRID, {{IDC_GRID_X, "1"}, {IDC_GRID_Y, "100"}}));
    EXPECT_EQ(Doc().GetScene()->gridY, 100.0);
    EXPECT_TRUE(Enter(ID_SCENE_SIZE_GRID, {{IDC_GRID_X, "50"}}));

    Doc().Modify(false);
    const std::string sizes = "Please enter an integer between 5 and 1000.";
    const std::string steps = "Please enter an integer between 1 and 100.";
    EXPECT_FALSE(Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_WIDTH, "4"}}, sizes));
    EXPECT_FALSE(Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_HEIGHT, "1001"}}, sizes));
    EXPECT_FALSE(Enter(ID_SCENE_SIZE_GRID, {{IDC_GRID_X, "0"}}, steps));
    EXPECT_FALSE(Enter(ID_SCENE_SIZE_GRID, {{IDC_GRID_Y, "101"}}, steps));
    EXPECT_FALSE(
        Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_WIDTH, "12.5"}}, "Please enter an integer."));
    // Nothing refused was stored.
    EXPECT_EQ(Doc().GetScene()->width, 5.0);
    EXPECT_EQ(Doc().GetScene()->gridX, 50.0);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SceneDialogsTest, SizeDialogReportsTheFirstWrongFieldInExchangeOrder) {
    EXPECT_FALSE(Enter(ID_SCENE_SIZE_GRID, {{IDC_GRID_Y, "0"}, {IDC_SCENE_HEIGHT, "x"}},
                       "Please enter an integer."));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(SceneDialogsTest, SizeDialogTruncatesFractionalValuesFromAFile) {
    SceneSettings* scene = Doc().GetScene();
    scene->width = 120.75;
    scene->gridX = 2.5;
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_EQ(FieldText(dialog, IDC_SCENE_WIDTH), "120");
        EXPECT_EQ(FieldText(dialog, IDC_GRID_X), "2");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_SCENE_SIZE_GRID);
    EXPECT_EQ(scene->width, 120.0);
    EXPECT_EQ(scene->gridX, 2.0);
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(SceneDialogsTest, SizeDialogCancelChangesNothingAndObjectsStayWhereTheyAre) {
    dialogs.Then([](wxDialog& dialog) {
        SetField(dialog, IDC_SCENE_WIDTH, "300");
        return int(wxID_CANCEL);
    });
    Command(ID_SCENE_SIZE_GRID);
    EXPECT_EQ(Doc().GetScene()->width, 100.0);
    EXPECT_FALSE(Doc().IsModified());

    EXPECT_TRUE(Enter(ID_SCENE_SIZE_GRID, {{IDC_SCENE_WIDTH, "20"}, {IDC_SCENE_HEIGHT, "20"}}));
    EXPECT_EQ(Doc().GetScene()->FirstObject()->m_x, 50.0);
    EXPECT_EQ(Doc().GetScene()->FirstObject()->m_y, 50.0);
}

TEST_F(SceneDialogsTest, ParametersDialogShowsValuesWithFifteenDigitsAndAlwaysMarksModified) {
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CSceneParamsDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Параметры сцены");
        EXPECT_EQ(FieldText(dialog, IDC_PASS_LIMIT), "1.6e+308");
        EXPECT_EQ(FieldText(dialog, IDC_STOP_AMPLITUDE), "0.001");
        EXPECT_EQ(FieldText(dialog, IDC_GROUP_TIME), "10");
        EXPECT_EQ(FieldText(dialog, IDC_MEDIUM_ABSORPTION), "0");
        EXPECT_EQ(FieldText(dialog, IDC_STOP_TIME), "1000");
        EXPECT_EQ(FieldText(dialog, IDC_RAY_COUNT), "100");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_SCENE_PARAMETERS);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(counter->updates, 0);
    EXPECT_EQ(Doc().GetScene()->params.passAbsorptionLimit, 1.6e308);
}

TEST_F(SceneDialogsTest, ParametersDialogAcceptsAndRefusesAtItsBounds) {
    const std::string rays = "Please enter an integer between 10 and 1000.";
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_RAY_COUNT, "9"}}, rays));
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_RAY_COUNT, "1001"}}, rays));
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_STOP_TIME, "9"}},
                       "Please enter a number between 10 and 10000."));
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_STOP_AMPLITUDE, "1.5"}},
                       "Please enter a number between 0 and 1."));
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_GROUP_TIME, "abc"}}, "Please enter a number."));
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_MEDIUM_ABSORPTION, "-1"}},
                       "Please enter a number between 0 and 1.7e+308."));
    EXPECT_FALSE(Doc().IsModified());

    EXPECT_TRUE(Enter(ID_SCENE_PARAMETERS, {{IDC_RAY_COUNT, "10"},
                                            {IDC_STOP_AMPLITUDE, "1"},
                                            {IDC_PASS_LIMIT, "0.5"},
                                            {IDC_STOP_TIME, "10000"},
                                            {IDC_GROUP_TIME, "1"}}));
    const SceneSettings* scene = Doc().GetScene();
    EXPECT_EQ(scene->params.rayCount, 10);
    EXPECT_EQ(scene->params.stopAmplitude, 1.0);
    EXPECT_EQ(scene->params.passAbsorptionLimit, 0.5);
    EXPECT_EQ(scene->params.stopTime, 10000.0);
    EXPECT_EQ(scene->params.groupTime, 1.0);
    EXPECT_TRUE(Enter(ID_SCENE_PARAMETERS, {{IDC_RAY_COUNT, "1000"}}));
    EXPECT_EQ(scene->params.rayCount, 1000);
}

TEST_F(SceneDialogsTest, ParametersDialogReportsThePassageLimitBeforeTheRayCount) {
    // The ray count stands first on the dialog but is exchanged after the passage limit.
    EXPECT_FALSE(Enter(ID_SCENE_PARAMETERS, {{IDC_RAY_COUNT, "5"}, {IDC_PASS_LIMIT, "-2"}},
                       "Please enter a number between 0 and 1.7e+308."));
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(SceneDialogsTest, ParametersDialogStoresTheCheckBoxes) {
    dialogs.Then([](wxDialog& dialog) {
        SetCheck(dialog, IDC_NO_TRANSMISSION, true);
        SetCheck(dialog, IDC_NO_REFLECTION, true);
        SetCheck(dialog, IDC_NORMALIZE, false);
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_SCENE_PARAMETERS);
    EXPECT_TRUE(Doc().GetScene()->params.noTransmission);
    EXPECT_TRUE(Doc().GetScene()->params.noReflection);
    EXPECT_FALSE(Doc().GetScene()->params.normalize);
}

} // namespace sonivera
