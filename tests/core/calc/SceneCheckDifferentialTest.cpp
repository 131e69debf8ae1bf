// The scene check against the plain comparison of every object with every rectangle, on random
// scenes made to hit the edges: rectangles touching, sharing corners, lying within the inset of
// another's edge, of zero or negative size; sources on edges and corners.
#include "core/calc/SceneCheck.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"

#include <gtest/gtest.h>

#include <random>

namespace sonivera {

namespace {

// The check as a double loop: for every object A in order, every other rectangle B in order
// is asked about A's position, then A's far corner along x, then along y.
std::optional<SceneCheckFinding> PlainCheck(const ObjectList& objects) {
    std::size_t index = 0;
    for (const auto& a : objects) {
        for (const auto& b : objects) {
            if (b->GetKind() != OBJ_RECT || b.get() == a.get()) {
                continue;
            }
            bool found = b->HitTest(a->m_x, a->m_y, 1.0);
            const auto* rect = dynamic_cast<const CRectObject*>(a.get());
            if (!found && rect != nullptr) {
                found = b->HitTest(rect->m_x + rect->m_width - 0.001, rect->m_y, 1.0) ||
                        b->HitTest(rect->m_x, rect->m_y + rect->m_height - 0.001, 1.0);
            }
            if (found) {
                SceneCheckFinding f;
                f.object = a.get();
                f.index = index;
                f.kind = rect != nullptr ? SceneCheckFinding::Kind::NestedRectangles
                                         : SceneCheckFinding::Kind::ObjectInsideRectangle;
                f.message = rect != nullptr ? std::string(kNestedRectanglesText)
                                            : ObjectInsideRectangleMessage(a->m_x, a->m_y);
                return f;
            }
        }
        ++index;
    }
    return std::nullopt;
}

// Coordinates on a coarse lattice, now and then moved by the inset or a rounding step, so that
// edges, corners and inset corners coincide often.
double Coordinate(std::mt19937_64& rng, double span) {
    std::uniform_int_distribution<int> lattice(0, static_cast<int>(span));
    double v = lattice(rng) * 0.5;
    switch (std::uniform_int_distribution<int>(0, 7)(rng)) {
    case 0:
        v += 0.001;
        break;
    case 1:
        v -= 0.001;
        break;
    case 2:
        v = std::nextafter(v, 1e9);
        break;
    default:
        break;
    }
    return v;
}

double Size(std::mt19937_64& rng) {
    static const double sizes[] = {0.0, 0.001, 0.002, 0.0015, 0.5, 1.0, 1.5, 2.0, 4.0, -1.0};
    return std::uniform_int_distribution<int>(0, 9)(rng) < 8
               ? sizes[std::uniform_int_distribution<std::size_t>(0, 9)(rng)]
               : Coordinate(rng, 12);
}

void AddRandomObjects(SceneSettings& scene, std::mt19937_64& rng, int count, double span) {
    scene.FirstObject()->m_x = Coordinate(rng, span);
    scene.FirstObject()->m_y = Coordinate(rng, span);
    for (int i = 0; i < count; ++i) {
        if (std::uniform_int_distribution<int>(0, 5)(rng) == 0) {
            auto* source = scene.Add<CSoundSource>();
            source->m_x = Coordinate(rng, span);
            source->m_y = Coordinate(rng, span);
        } else {
            auto* rect = scene.Add<CRectObject>();
            rect->m_x = Coordinate(rng, span);
            rect->m_y = Coordinate(rng, span);
            rect->m_width = Size(rng);
            rect->m_height = Size(rng);
        }
    }
}

} // namespace

TEST(SceneCheckDifferential, SameFirstFindingAsThePlainDoubleLoop) {
    std::mt19937_64 rng(20261207);
    int clean = 0, inside = 0, nested = 0;
    for (int round = 0; round < 6000; ++round) {
        auto scene = MakeDefaultScene();
        // Small crowded scenes find early; sparse larger ones often pass or find late.
        const bool sparse = round % 3 == 0;
        AddRandomObjects(*scene, rng, sparse ? 60 : 1 + round % 12, sparse ? 400 : 16);
        const auto expected = PlainCheck(scene->objects);
        const auto actual = FindFirstSceneError(scene->objects);
        ASSERT_EQ(actual.has_value(), expected.has_value()) << "round " << round;
        if (!expected) {
            ++clean;
            continue;
        }
        ASSERT_EQ(actual->object, expected->object) << "round " << round;
        ASSERT_EQ(actual->index, expected->index) << "round " << round;
        ASSERT_EQ(actual->kind, expected->kind) << "round " << round;
        ASSERT_EQ(actual->message, expected->message) << "round " << round;
        ++(expected->kind == SceneCheckFinding::Kind::NestedRectangles ? nested : inside);
    }
    // Every outcome is well represented.
    EXPECT_GT(clean, 300);
    EXPECT_GT(inside, 300);
    EXPECT_GT(nested, 300);
}

} // namespace sonivera
