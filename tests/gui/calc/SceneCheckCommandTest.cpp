#include "calc/CalcFixture.h"

#include "gui/view/C3DView.h"

namespace sonivera {

namespace {

class SceneCheckCommandTest : public CalcTest {};

} // namespace

TEST_F(SceneCheckCommandTest, BothCommandsAreEnabledOnAnyScene) {
    EXPECT_TRUE(Frame().QueryCommand(ID_CHECK_SCENE).enabled);
    EXPECT_TRUE(Frame().QueryCommand(ID_CALC_EFFECT).enabled);
    AddRect(0, 0, 10, 10);
    AddRect(0, 0, 10, 10);
    EXPECT_TRUE(MenuItem(ID_CHECK_SCENE)->IsEnabled());
    EXPECT_TRUE(MenuItem(ID_CALC_EFFECT)->IsEnabled());
}

TEST_F(SceneCheckCommandTest, CleanSceneIsConfirmedUnderTheTitleWithoutIcon) {
    AddSource(60, 50);
    AddRect(10, 10, 20, 20);
    ExpectBox("Сцена не содержит ошибок", "Sonivera", false);
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SceneCheckCommandTest, FirstFindingOnlyIsShownAsAnErrorAndNothingChanges) {
    // Later errors too: identical rectangles and a source inside one of them.
    AddRect(0, 0, 10, 10);
    AddRect(0, 0, 10, 10);
    AddSource(5, 5);
    AddRect(40, 40, 20, 20); // holds the listener
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
    AddRect(30, 40, 10, 20);
    AddSource(100.0 / 3.0, 50);
    ExpectError("Объект (33.3333,50) внутри прямоугольника");
    Command(ID_CHECK_SCENE);
}

TEST_F(SceneCheckCommandTest, CheckWithoutSuccessReportIsSilentOnACleanScene) {
    AddSource(12.5, 40);
    EXPECT_TRUE(View().CheckScene(false));
    EXPECT_TRUE(dialogs.Messages().empty());

    ExpectBox("Сцена не содержит ошибок", "Sonivera", false);
    EXPECT_TRUE(View().CheckScene(true));

    AddRect(10, 30, 5, 20);
    ExpectError("Объект (12.5,40) внутри прямоугольника");
    EXPECT_FALSE(View().CheckScene(false));
}

TEST_F(SceneCheckCommandTest, CalculationOnAFailingSceneShowsTheFindingAndNoDialog) {
    AddRect(10, 10, 20, 20);
    AddRect(15, 15, 5, 5);
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

    AddRect(40, 40, 20, 20);
    ShowBoxAndLookForIcon(hasIcon);
    Command(ID_CHECK_SCENE);
    dialogs.Verify();
    EXPECT_TRUE(hasIcon);
}

} // namespace sonivera
