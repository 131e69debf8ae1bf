#include "core/model/GridSnap.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sonivera {

TEST(GridSnap, HalvesGoDownAndNegativesSnapUp) {
    EXPECT_EQ(SnapToGrid(2.5, 1.0), 2.0);
    EXPECT_EQ(SnapToGrid(2.51, 1.0), 3.0);
    EXPECT_EQ(SnapToGrid(-0.4, 1.0), 0.0);
    EXPECT_EQ(SnapToGrid(-0.6, 1.0), -1.0);
    EXPECT_EQ(SnapToGrid(7.0, 5.0), 5.0);
    EXPECT_EQ(SnapToGrid(7.6, 5.0), 10.0);
    EXPECT_EQ(SnapToGrid(3.0, 3.0), 3.0);
}

TEST(ObjectMoves, EndMoveSnapsOnlyWithSnappingOn) {
    SceneSettings scene;
    auto* source = scene.Add<CSoundSource>();
    source->m_x = 2.5;
    source->m_y = 3.5;
    source->MoveBy(0.0, 0.0);
    EXPECT_TRUE(source->m_bMoving);
    source->EndMove();
    EXPECT_EQ(source->m_x, 2.0);
    EXPECT_EQ(source->m_y, 3.0);
    EXPECT_FALSE(source->m_bMoving);

    source->m_x = 2.51;
    source->m_y = 3.6;
    source->EndMove();
    EXPECT_EQ(source->m_x, 3.0);
    EXPECT_EQ(source->m_y, 4.0);

    scene.snapToGrid = false;
    source->m_x = 2.51;
    source->m_bMoving = true;
    source->EndMove();
    EXPECT_EQ(source->m_x, 2.51);
    EXPECT_FALSE(source->m_bMoving);
}

TEST(ObjectMoves, ClampPointHandlesOutsideAndNaN) {
    SceneSettings scene;
    CListener listener(&scene);
    double x = -3.0, y = 120.0;
    listener.ClampPoint(&x, &y);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 100.0);
    x = std::numeric_limits<double>::quiet_NaN();
    y = 40.0;
    listener.ClampPoint(&x, &y);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 40.0);
}

TEST(ObjectMoves, SetPositionSnapsThenClamps) {
    SceneSettings scene;
    scene.gridX = 5.0;
    scene.gridY = 5.0;
    CSoundSource source(&scene);
    source.SetPosition(12.6, 99.0);
    EXPECT_EQ(source.m_x, 15.0);
    EXPECT_EQ(source.m_y, 100.0);
    scene.width = 98.0;
    source.SetPosition(99.0, 1.0);
    EXPECT_EQ(source.m_x, 98.0); // snapped to 100, then clamped
    EXPECT_EQ(source.m_y, 0.0);
}

TEST(ObjectMoves, PointObjectsFollowTheMouseClampedWithoutSnapping) {
    SceneSettings scene;
    CListener listener(&scene);
    listener.m_x = 50.0;
    listener.m_y = 50.0;
    listener.MoveBy(0.3, -60.0);
    EXPECT_EQ(listener.m_x, 50.3);
    EXPECT_EQ(listener.m_y, 0.0);
}

TEST(ObjectMoves, RectangleKeptInsideWhileMoving) {
    SceneSettings scene;
    CRectObject rect(&scene);
    rect.m_x = 80.0;
    rect.m_y = 10.0;
    rect.m_width = 30.0;
    rect.m_height = 5.0;
    rect.MoveBy(5.0, 0.0);
    EXPECT_EQ(rect.m_x, 70.0);
    EXPECT_EQ(rect.m_y, 10.0);

    // Larger than the scene: right edge on the border, negative anchor.
    rect.m_x = 0.0;
    rect.m_width = 130.0;
    rect.MoveBy(-1.0, 0.0);
    EXPECT_EQ(rect.m_x, -30.0);
}

TEST(ObjectMoves, RectangleEndMoveSnapsAnchorAndSize) {
    SceneSettings scene;
    CRectObject rect(&scene);
    rect.m_x = 10.4;
    rect.m_y = 20.6;
    rect.m_width = 0.4;
    rect.m_height = 3.5;
    rect.EndMove();
    EXPECT_EQ(rect.m_x, 10.0);
    EXPECT_EQ(rect.m_y, 21.0);
    EXPECT_EQ(rect.m_width, 0.0); // thinner than half a step
    EXPECT_EQ(rect.m_height, 3.0);
}

TEST(ObjectMoves, DistanceIsEuclidean) {
    SceneSettings scene;
    CListener listener(&scene);
    listener.m_x = 3.0;
    listener.m_y = 4.0;
    EXPECT_EQ(listener.DistanceTo(0.0, 0.0), 5.0);
}

TEST(DefaultScene, HasDefaultsAndOneListenerAtFifty) {
    const auto scene = MakeDefaultScene();
    EXPECT_EQ(scene->width, 100.0);
    EXPECT_EQ(scene->height, 100.0);
    EXPECT_EQ(scene->gridX, 1.0);
    EXPECT_EQ(scene->gridY, 1.0);
    EXPECT_TRUE(scene->snapToGrid);
    EXPECT_EQ(scene->params.passAbsorptionLimit, 1.6e308);
    EXPECT_EQ(scene->params.stopAmplitude, 0.001);
    EXPECT_EQ(scene->params.groupTime, 10.0);
    EXPECT_FALSE(scene->params.noTransmission);
    EXPECT_FALSE(scene->params.noReflection);
    EXPECT_TRUE(scene->params.normalize);
    EXPECT_EQ(scene->params.rayCount, 100);
    EXPECT_EQ(scene->params.mediumAbsorption, 0.0);
    EXPECT_EQ(scene->params.stopTime, 1000.0);
    EXPECT_EQ(scene->effect, nullptr);
    ASSERT_EQ(scene->objects.size(), 1u);
    const auto& listener = *scene->objects.front();
    EXPECT_EQ(listener.GetKind(), 1);
    EXPECT_EQ(listener.m_x, 50.0);
    EXPECT_EQ(listener.m_y, 50.0);
    EXPECT_FALSE(listener.m_bSelected);
    EXPECT_EQ(listener.m_color, 0u);
    EXPECT_EQ(listener.m_pSettings, scene.get());
}

} // namespace sonivera
