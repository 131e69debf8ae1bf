#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <gtest/gtest.h>

namespace sonivera {

TEST(HitTest, PointObjectsUseTheirPixelRadiusStrictly) {
    SceneSettings scene;
    CListener listener(&scene);
    listener.m_x = 50.0;
    listener.m_y = 50.0;
    EXPECT_TRUE(listener.HitTest(54.9, 50.0, 2.0));
    EXPECT_FALSE(listener.HitTest(55.0, 50.0, 2.0));

    CSoundSource source(&scene);
    source.m_x = 50.0;
    source.m_y = 50.0;
    EXPECT_TRUE(source.HitTest(58.49, 50.0, 2.0));
    EXPECT_FALSE(source.HitTest(58.5, 50.0, 2.0));
    EXPECT_TRUE(source.HitTest(50.0, 50.5, 30.0));
    EXPECT_FALSE(source.HitTest(50.0, 51.0, 30.0));
}

TEST(HitTest, RectangleIsHalfOpen) {
    SceneSettings scene;
    CRectObject rect(&scene);
    rect.m_x = 10.0;
    rect.m_y = 0.0;
    rect.m_width = 5.0;
    rect.m_height = 10.0;
    EXPECT_TRUE(rect.HitTest(10.0, 0.0, 1.0));
    EXPECT_TRUE(rect.HitTest(14.99, 9.99, 1.0));
    EXPECT_FALSE(rect.HitTest(15.0, 5.0, 1.0));
    EXPECT_FALSE(rect.HitTest(12.0, 10.0, 1.0));
    EXPECT_FALSE(rect.HitTest(9.99, 5.0, 1.0));

    rect.m_width = 0.0;
    EXPECT_FALSE(rect.HitTest(10.0, 0.0, 1.0));
}

class IntersectRayTest : public ::testing::Test {
protected:
    IntersectRayTest() : rect(&scene) {
        rect.m_x = 10.0;
        rect.m_y = 0.0;
        rect.m_width = 5.0;
        rect.m_height = 10.0;
    }
    SceneSettings scene;
    CRectObject rect;
};

TEST_F(IntersectRayTest, NearestEdgeOfTheRayWins) {
    double t = -1.0;
    EXPECT_TRUE(rect.IntersectRay({0.0, 5.0, 1.0, 0.0}, &t));
    EXPECT_EQ(t, 10.0);
    // From inside: only the right edge lies ahead.
    EXPECT_TRUE(rect.IntersectRay({12.0, 5.0, 1.0, 0.0}, &t));
    EXPECT_EQ(t, 3.0);
    // Diagonal through the top edge: parameter scaled by the direction's length.
    EXPECT_TRUE(rect.IntersectRay({12.0, -4.0, 0.0, 2.0}, &t));
    EXPECT_EQ(t, 2.0);
}

TEST_F(IntersectRayTest, MissesWriteTheNoHitDistance) {
    double t = -1.0;
    EXPECT_FALSE(rect.IntersectRay({0.0, 5.0, -1.0, 0.0}, &t));
    EXPECT_EQ(t, 1.7e308);
    t = -1.0;
    EXPECT_FALSE(rect.IntersectRay({0.0, 20.0, 1.0, 0.0}, &t)); // passes below
    EXPECT_EQ(t, 1.7e308);
}

TEST_F(IntersectRayTest, OriginOnAnEdgeLineGivesZero) {
    double t = -1.0;
    EXPECT_TRUE(rect.IntersectRay({10.0, 5.0, 1.0, 0.0}, &t));
    EXPECT_EQ(t, 0.0);
    // Moving away from the left edge: the line is behind only when strictly behind.
    EXPECT_TRUE(rect.IntersectRay({10.0, 5.0, -1.0, 0.0}, &t));
    EXPECT_EQ(t, 0.0);
    // Corners belong to both edges.
    EXPECT_TRUE(rect.IntersectRay({0.0, 0.0, 1.0, 0.0}, &t));
    EXPECT_EQ(t, 10.0);
}

TEST(IntersectRay, PointObjectsNeverHitAndLeaveT) {
    SceneSettings scene;
    CListener listener(&scene);
    CSoundSource source(&scene);
    double t = 42.0;
    EXPECT_FALSE(listener.IntersectRay({0.0, 0.0, 1.0, 0.0}, &t));
    EXPECT_FALSE(source.IntersectRay({0.0, 0.0, 1.0, 0.0}, &t));
    EXPECT_EQ(t, 42.0);
}

} // namespace sonivera
