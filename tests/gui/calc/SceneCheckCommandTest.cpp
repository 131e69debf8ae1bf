#include "calc/CalcFixture.h"

#include "gui/view/C3DView.h"

namespace sonivera {

namespace {

class SceneCheckCommandTest : public CalcTest {};

} // namespace

TEST_F(SceneCheckCommandTest, BothCommandsAreEnabledOnAnyScene) {
    EXPECT_TRUE(Frame().QueryCommand(ID_CHECK_SCENE).enabled);
    EXPECT_TRUE(Frame().QueryCommand(ID_CALC_EFFECT).enabled);
    AddRect({.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 0.5, .absorption = 0.5});
    AddRect({.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 0.5, .absorption = 0.5});
    EXPECT_TRUE(MenuItem(ID_CHECK_SCENE)->IsEnabled());
    EXPECT_TRUE(MenuItem(ID_CALC_EFFECT)->IsEnabled());
}

TEST_F(SceneCheckCommandTest, CleanSceneIsConfirmedUnderTheTitleWithoutIcon) {
    AddSource({.x = 60, .y = 50});
    AddRect({.x = 10, .y = 10, .width = 20, .height = 20, .reflection = 0.5, .absorption = 0.5});
    ExpectBox("Сцена не содержит ошибок", "Sonivera", false);
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SceneCheckCommandTest, FirstFindingOnlyIsShownAsAnErrorAndNothingChanges) {
    // Later errors too: identical rectangles and a source inside one of them.
    AddRect({.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 0.5, .absorption = 0.5});
    AddRect({.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 0.5, .absorption = 0.5});
    AddSource({.x = 5, .y = 5});
    AddRect({.x = 40,
             .y = 40,
             .width = 20,
             .height = 20,
             .reflection = 0.5,
             .absorption = 0.5}); // holds the listener
    Key(WXK_TAB);
    CSceneObject* selected = View().Selected();
    ASSERT_NE(selected, nullptr);
    ExpectError("Объект (50,50) внутри прямоугольника");
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(Scene().objects.size(), 5u);
    EXPECT_EQ(View().Selected(), selected);
    EXPECT_FALSE(Doc().IsModified());

    // Once the listener is out, the next run reports the next finding.
    Scene().objects.back()->m_x = 70;
    ExpectError("Вложенные прямоугольники");
    Command(ID_CHECK_SCENE);
}

TEST_F(SceneCheckCommandTest, CoordinatesKeepTheirShortFormInTheBox) {
    AddRect({.x = 30, .y = 40, .width = 10, .height = 20, .reflection = 0.5, .absorption = 0.5});
    AddSource({.x = 100.0 / 3.0, .y = 50});
    ExpectError("Объект (33.3333,50) внутри прямоугольника");
    Command(ID_CHECK_SCENE);
}

TEST_F(SceneCheckCommandTest, CheckWithoutSuccessReportIsSilentOnACleanScene) {
    AddSource({.x = 12.5, .y = 40});
    EXPECT_TRUE(View().CheckScene(false));
    EXPECT_TRUE(dialogs.Messages().empty());

    ExpectBox("Сцена не содержит ошибок", "Sonivera", false);
    EXPECT_TRUE(View().CheckScene(true));

    AddRect({.x = 10, .y = 30, .width = 5, .height = 20, .reflection = 0.5, .absorption = 0.5});
    ExpectError("Объект (12.5,40) внутри прямоугольника");
    EXPECT_FALSE(View().CheckScene(false));
}

TEST_F(SceneCheckCommandTest, CalculationOnAFailingSceneShowsTheFindingAndNoDialog) {
    AddRect({.x = 10, .y = 10, .width = 20, .height = 20, .reflection = 0.5, .absorption = 0.5});
    AddRect({.x = 15, .y = 15, .width = 5, .height = 5, .reflection = 0.5, .absorption = 0.5});
    ExpectError("Вложенные прямоугольники");
    Command(ID_CALC_EFFECT); // the script fails on any further dialog
    dialogs.Verify();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(Scene().effect, nullptr);
}

TEST_F(SceneCheckCommandTest, OnScreenTheSuccessBoxHasNoIconAndTheErrorBoxHasOne) {
    bool hasIcon = true;
    ShowBoxAndLookForIcon(hasIcon);
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_FALSE(hasIcon);

    AddRect({.x = 40, .y = 40, .width = 20, .height = 20, .reflection = 0.5, .absorption = 0.5});
    ShowBoxAndLookForIcon(hasIcon);
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_TRUE(hasIcon);
}

} // namespace sonivera
