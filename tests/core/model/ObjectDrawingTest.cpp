#include "core/model/Listener.h"
#include "core/model/PixelMath.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedProperties.h"

#include <gtest/gtest.h>

#include <limits>

namespace sonivera {

using Calls = std::vector<std::string>;

TEST(ObjectDrawing, ListenerIsAWhiteDiscOfRadiusTen) {
    SceneSettings scene;
    CListener listener(&scene);
    listener.m_x = 50.0;
    listener.m_y = 50.0;
    RecordingCanvas dc;
    listener.Draw(dc, 30.0);
    EXPECT_EQ(dc.calls,
              (Calls{"pen solid 2 0", "brush white", "ellipse 1490 1490 1510 1510", "pen black"}));
}

TEST(ObjectDrawing, SelectedSourceIsARedSpeaker) {
    SceneSettings scene;
    CSoundSource source(&scene);
    source.m_x = 1.5;
    source.m_y = 2.0;
    source.m_color = 255;
    RecordingCanvas dc;
    source.Draw(dc, 10.0);
    EXPECT_EQ(dc.calls, (Calls{"pen solid 2 255", "move 8 13", "line 8 27", "line 22 27",
                               "line 32 37", "line 32 3", "line 22 13", "line 8 13", "move 22 13",
                               "line 22 27", "pen black"}));
}

TEST(ObjectDrawing, DraggedRectangleShownAtSnappedAnchorWithStoredSize) {
    SceneSettings scene;
    CRectObject rect(&scene);
    rect.m_x = 9.0;
    rect.m_y = 9.0;
    rect.m_width = 2.7;
    rect.m_height = 1.3;
    rect.MoveBy(1.4, 0.6); // (10.4, 9.6) follows the mouse
    RecordingCanvas dc;
    rect.Draw(dc, 30.0);
    EXPECT_EQ(rect.m_x, 10.4);
    EXPECT_EQ(rect.m_drawX, 10.0);
    EXPECT_EQ(rect.m_drawY, 10.0);
    EXPECT_EQ(dc.calls, (Calls{"pen solid 2 0", "move 300 300", "line 381 300", "line 381 339",
                               "line 300 339", "line 300 300", "pen black"}));

    scene.snapToGrid = false;
    dc.calls.clear();
    rect.Draw(dc, 30.0);
    EXPECT_EQ(rect.m_drawX, 10.4);
    EXPECT_EQ(dc.calls[1], "move 312 288");
}

TEST(ObjectDrawing, PixelsTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(ToPixel(30.0, 1.99), 59);
    EXPECT_EQ(ToPixel(30.0, -1.99), -59);
    EXPECT_EQ(ToPixel(30.0, 1e300), kPixelLimit);
    EXPECT_EQ(ToPixel(30.0, -1e300), -kPixelLimit);
    EXPECT_EQ(ToPixel(30.0, std::numeric_limits<double>::quiet_NaN()), 0);

    SceneSettings scene;
    CSoundSource far(&scene);
    far.m_x = 1e300;
    RecordingCanvas dc;
    far.Draw(dc, 30.0);
    EXPECT_EQ(dc.calls[4], "line " + std::to_string(kPixelLimit + 17) + " 17");
}

TEST(ObjectProperties, SourcePowerEditedInPercent) {
    SceneSettings scene;
    CSoundSource source(&scene);
    source.m_power = 0.5;
    ScriptedProperties port;
    port.answerPower = 75.0;
    EXPECT_TRUE(source.EditProperties(port));
    EXPECT_EQ(port.shownPower, 50.0);
    EXPECT_EQ(source.m_power, 0.75);

    port.accept = false;
    port.answerPower = 10.0;
    EXPECT_FALSE(source.EditProperties(port));
    EXPECT_EQ(source.m_power, 0.75);
}

TEST(ObjectProperties, RectangleAbsorptionAsIsReflectionInPercent) {
    SceneSettings scene;
    CRectObject rect(&scene);
    ScriptedProperties port;
    port.answerAbsorption = 0.5;
    port.answerReflection = 50.0;
    EXPECT_TRUE(rect.EditProperties(port));
    EXPECT_EQ(port.shownAbsorption, 1.7e308);
    EXPECT_EQ(port.shownReflection, 0.0);
    EXPECT_EQ(rect.m_absorption, 0.5);
    EXPECT_EQ(rect.m_reflection, 0.5);

    port.accept = false;
    port.answerAbsorption = 9.0;
    EXPECT_FALSE(rect.EditProperties(port));
    EXPECT_EQ(port.shownReflection, 50.0);
    EXPECT_EQ(rect.m_absorption, 0.5);
}

TEST(ObjectProperties, ListenerOnlyShowsTheMessage) {
    SceneSettings scene;
    CListener listener(&scene);
    ScriptedProperties port;
    EXPECT_FALSE(listener.EditProperties(port));
    EXPECT_EQ(port.noPropertiesShown, 1);
    EXPECT_EQ(port.shownPower, -1.0);
}

} // namespace sonivera
