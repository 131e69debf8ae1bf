#include "core/calc/SceneCheck.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"
#include "support/ObjectBuilder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace sonivera {

namespace {

using Kind = SceneCheckFinding::Kind;

} // namespace

TEST(SceneCheck, OnlyTheListenerIsClean) {
    const auto scene = MakeDefaultScene();
    EXPECT_FALSE(FindFirstSceneError(scene->objects).has_value());
    EXPECT_STREQ(kSceneCleanText, "Сцена не содержит ошибок");
}

TEST(SceneCheck, ListenerInsideRectangleIsReportedBeforeEverythingElse) {
    auto scene = MakeDefaultScene();
    // Errors that come later in the list: two identical rectangles and a source inside one.
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
    AddSource(*scene, {.x = 5, .y = 5});
    AddRect(*scene, {.x = 40, .y = 40, .width = 20, .height = 20});
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    EXPECT_EQ(finding->object, scene->FirstObject());
    EXPECT_EQ(finding->index, 0u);
    EXPECT_EQ(finding->kind, Kind::ObjectInsideRectangle);
    EXPECT_EQ(finding->message, "Объект (50,50) внутри прямоугольника");
}

TEST(SceneCheck, SourceOnLeftOrTopEdgeIsInsideOnRightOrBottomEdgeIsNot) {
    struct Case {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {10, 15, true},  // left edge
        {15, 10, true},  // top edge
        {10, 10, true},  // top-left corner
        {20, 15, false}, // right edge
        {15, 20, false}, // bottom edge
        {20, 20, false}, // bottom-right corner
        {10, 20, false}, // bottom-left corner
        {19.999, 19.999, true}, {9.999, 15, false},
    };
    for (const auto& c : cases) {
        auto scene = MakeDefaultScene();
        AddRect(*scene, {.x = 10, .y = 10, .width = 10, .height = 10});
        const CSoundSource* source = AddSource(*scene, {.x = c.x, .y = c.y});
        const auto finding = FindFirstSceneError(scene->objects);
        EXPECT_EQ(finding.has_value(), c.inside) << c.x << "," << c.y;
        // Where a double-click may move the listener follows the same rule.
        EXPECT_EQ(InsideARectangle(scene->objects, c.x, c.y), c.inside) << c.x << "," << c.y;
        if (finding) {
            EXPECT_EQ(finding->object, source);
            EXPECT_EQ(finding->index, 2u);
            EXPECT_EQ(finding->kind, Kind::ObjectInsideRectangle);
        }
    }
}

TEST(SceneCheck, ObjectMessageUsesShortGeneralFormatWithAPoint) {
    EXPECT_EQ(ObjectInsideRectangleMessage(100.0 / 3.0, 50.0),
              "Объект (33.3333,50) внутри прямоугольника");
    EXPECT_EQ(ObjectInsideRectangleMessage(12.5, 40.0), "Объект (12.5,40) внутри прямоугольника");
    // Whatever the process's locale, the text matches C's %g in the "C" locale.
    const double values[] = {0.0, -0.0, 1e-5, 0.0001, 123456.0, 1234567.0, 99.99995, 1e300, -2.5};
    char expected[128];
    for (const double v : values) {
        std::snprintf(expected, sizeof expected, "Объект (%g,%g) внутри прямоугольника", v, v);
        EXPECT_EQ(ObjectInsideRectangleMessage(v, v), expected) << v;
    }
}

TEST(SceneCheck, RectanglesSharingAnEdgePass) {
    auto scene = MakeDefaultScene();
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
    AddRect(*scene, {.x = 10, .y = 0, .width = 10, .height = 10}); // right neighbour
    AddRect(*scene, {.x = 0, .y = 10, .width = 10, .height = 10}); // neighbour below
    AddRect(*scene, {.x = 10, .y = 10, .width = 5, .height = 5});  // touching at a corner
    EXPECT_FALSE(FindFirstSceneError(scene->objects).has_value());
}

TEST(SceneCheck, FarCornerIsPulledBackByTheInset) {
    // b reaches above and below a, so none of its tested corners is inside a; only a's far corner
    // along x, pulled back by 0.001, can reveal the overlap.
    for (const double width : {10.002, 10.0005}) {
        auto scene = MakeDefaultScene();
        const CRectObject* a = AddRect(*scene, {.x = 0, .y = 0, .width = width, .height = 10});
        AddRect(*scene, {.x = 10, .y = -5, .width = 10, .height = 20});
        const auto finding = FindFirstSceneError(scene->objects);
        if (width > 10.001) {
            ASSERT_TRUE(finding.has_value());
            EXPECT_EQ(finding->object, a);
            EXPECT_EQ(finding->kind, Kind::NestedRectangles);
        } else {
            EXPECT_FALSE(finding.has_value()) << "an overlap narrower than the inset is not seen";
        }
    }
}

TEST(SceneCheck, IdenticalRectanglesAreNested) {
    auto scene = MakeDefaultScene();
    const CRectObject* first = AddRect(*scene, {.x = 5, .y = 5, .width = 10, .height = 10});
    AddRect(*scene, {.x = 5, .y = 5, .width = 10, .height = 10});
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    EXPECT_EQ(finding->object, first);
    EXPECT_EQ(finding->message, "Вложенные прямоугольники");
}

TEST(SceneCheck, RectangleInsideAnotherIsFoundInEitherOrder) {
    for (const bool innerFirst : {true, false}) {
        auto scene = MakeDefaultScene();
        const CRectObject* inner = nullptr;
        if (innerFirst) {
            inner = AddRect(*scene, {.x = 2, .y = 2, .width = 3, .height = 3});
            AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
        } else {
            AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
            inner = AddRect(*scene, {.x = 2, .y = 2, .width = 3, .height = 3});
        }
        const auto finding = FindFirstSceneError(scene->objects);
        ASSERT_TRUE(finding.has_value());
        // The outer one is A first when it comes first, but none of its corners is inside the
        // inner one; the inner one's position is inside the outer one.
        EXPECT_EQ(finding->object, inner) << innerFirst;
        EXPECT_EQ(finding->kind, Kind::NestedRectangles);
    }
}

TEST(SceneCheck, OnlyFarCornerInsideIsFoundThroughTheOtherRectangle) {
    auto scene = MakeDefaultScene();
    const CRectObject* a =
        AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10}); // far corner (10,10) inside b
    const CRectObject* b = AddRect(*scene, {.x = 5, .y = 5, .width = 10, .height = 10});
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    // a's three tested corners are (0,0), (9.999,0), (0,9.999): none in b; b's position is in a.
    EXPECT_NE(finding->object, a);
    EXPECT_EQ(finding->object, b);
}

TEST(SceneCheck, FarCornersAlongXThenYAreTested) {
    // Rectangle a's far corner along x lies in b; along y in c.
    auto scene = MakeDefaultScene();
    const CRectObject* a = AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
    AddRect(*scene, {.x = 8, .y = -5, .width = 5, .height = 6});
    auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    EXPECT_EQ(finding->object, a);

    auto scene2 = MakeDefaultScene();
    const CRectObject* a2 = AddRect(*scene2, {.x = 0, .y = 0, .width = 10, .height = 10});
    AddRect(*scene2, {.x = -5, .y = 8, .width = 6, .height = 5});
    finding = FindFirstSceneError(scene2->objects);
    ASSERT_TRUE(finding.has_value());
    EXPECT_EQ(finding->object, a2);
}

TEST(SceneCheck, PlusShapedCrossingPasses) {
    auto scene = MakeDefaultScene();
    AddRect(*scene, {.x = 0, .y = 40, .width = 100, .height = 5});
    AddRect(*scene, {.x = 60, .y = 0, .width = 5, .height = 100});
    EXPECT_FALSE(FindFirstSceneError(scene->objects).has_value());
}

TEST(SceneCheck, ZeroSizeRectangleContainsNothingButIsTested) {
    auto scene = MakeDefaultScene();
    AddRect(*scene, {.x = 20, .y = 20, .width = 0, .height = 0});
    AddSource(*scene, {.x = 20, .y = 20});
    EXPECT_FALSE(FindFirstSceneError(scene->objects).has_value());
    // Its position inside a real rectangle is still an error.
    const CRectObject* dot = AddRect(*scene, {.x = 71, .y = 71, .width = 0, .height = 0});
    AddRect(*scene, {.x = 70, .y = 70, .width = 5, .height = 5});
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    EXPECT_EQ(finding->object, dot);
}

TEST(SceneCheck, SourcesAndListenerNeverContainAnything) {
    auto scene = MakeDefaultScene();
    AddSource(*scene, {.x = 50, .y = 50});
    AddSource(*scene, {.x = 50, .y = 50});
    EXPECT_FALSE(FindFirstSceneError(scene->objects).has_value());
}

TEST(SceneCheck, FirstOffenderInListOrderWins) {
    auto scene = MakeDefaultScene();
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10});
    const CSoundSource* s1 = AddSource(*scene, {.x = 1, .y = 1});
    AddSource(*scene, {.x = 2, .y = 2});
    AddRect(*scene, {.x = 1, .y = 1, .width = 2, .height = 2}); // nested too, but later A
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding.has_value());
    // The first rectangle (A, index 1) contains nothing of its own corners in the later one:
    // (0,0), (9.999,0), (0,9.999) are outside (1,1,2,2); so source s1 is first.
    EXPECT_EQ(finding->object, s1);
    EXPECT_EQ(finding->message, "Объект (1,1) внутри прямоугольника");
}

} // namespace sonivera
