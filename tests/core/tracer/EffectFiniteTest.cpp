#include "SceneBuilder.h"

#include "core/tracer/EffectFile.h"
#include "core/tracer/EffectFinite.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sonivera {

namespace {

// The message SaveEffectToBytes refuses the scene's calculated effect with ("" if it does not).
std::string Refusal(SceneSettings& scene) {
    Effect(scene);
    try {
        SaveEffectToBytes(scene);
    } catch (const EffectNotFiniteError& e) {
        return e.what();
    }
    return {};
}

} // namespace

// Values the scene file accepts but whose amplitudes overflow: each one alone makes the effect
// NaN, and the refusal names it.
TEST(EffectFinite, OverflowingValuesAreRefusedNamingTheValue) {
    auto medium = SceneWithListener(50, 50);
    medium->params.normalize = true;
    medium->params.mediumAbsorption = -100.0;
    AddSource(*medium, {.x = 60, .y = 50});
    EXPECT_NE(Refusal(*medium).find("mediumAbsorption -100 is below 0"), std::string::npos)
        << Refusal(*medium);

    auto power = SceneWithListener(50, 50);
    power->params.normalize = true;
    AddSource(*power, {.x = 60, .y = 50, .power = 1e308});
    AddSource(*power, {.x = 60, .y = 50, .power = 1e308});
    const std::string powerText = Refusal(*power);
    EXPECT_NE(powerText.find("bin 3 is"), std::string::npos) << powerText;
    EXPECT_NE(powerText.find("object 1 (source) m_power 1e+308"), std::string::npos) << powerText;

    // Two facing mirrors: each reflection multiplies the amplitude by 1e308.
    auto mirrors = SceneWithListener(50, 50);
    AddSource(*mirrors, {.x = 50, .y = 40});
    AddRect(*mirrors, {.x = 20, .y = 10, .width = 1, .height = 80, .reflection = 1e308});
    AddRect(*mirrors, {.x = 80, .y = 10, .width = 1, .height = 80, .reflection = 0.5});
    EXPECT_NE(Refusal(*mirrors).find("object 2 (rect) m_reflection 1e+308"), std::string::npos)
        << Refusal(*mirrors);
}

TEST(EffectFinite, OrdinaryEffectsAreWrittenAsBefore) {
    auto scene = SceneWithListener(50, 50);
    scene->params.mediumAbsorption = -0.01; // below 0, but the amplitudes stay finite
    AddSource(*scene, {.x = 60, .y = 50});
    EXPECT_EQ(Refusal(*scene), "");
    EXPECT_EQ(DescribeUnboundedValues(*scene), "mediumAbsorption -0.01 is below 0");
}

TEST(EffectFinite, AtMostThreeValuesAreNamed) {
    auto scene = SceneWithListener(50, 50);
    for (int i = 0; i < 5; ++i) {
        AddSource(*scene, {.x = 10.0 + i, .y = 10, .power = -2.0});
    }
    const std::string text = DescribeUnboundedValues(*scene);
    EXPECT_NE(text.find("object 3 (source) m_power -2 is outside -1..1"), std::string::npos);
    EXPECT_EQ(text.find("object 4"), std::string::npos);
    EXPECT_NE(text.find("; and 2 more"), std::string::npos) << text;
}

} // namespace sonivera
