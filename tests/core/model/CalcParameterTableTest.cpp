// The parameter table agrees with the checks it drives: what the scene reader refuses, what a
// calculation refuses (with its messages), and the dialog's ranges lying inside both.
#include "core/model/CalcParameterTable.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/TraceParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <variant>

namespace sonivera {

namespace {

void Set(SceneSettings& scene, const CalcField& field, double value) {
    std::visit(
        [&](auto member) {
            using Value = std::remove_reference_t<decltype(scene.params.*member)>;
            scene.params.*member = static_cast<Value>(value);
        },
        field.member);
}

bool ReaderAccepts(const SceneSettings& scene) {
    try {
        LoadSceneFromBytes(SaveSceneToBytes(scene));
        return true;
    } catch (const SceneFileError&) {
        return false;
    }
}

// The message a calculation refuses the scene with, naming `field`; none when it accepts it.
std::optional<std::string> CalculationMessage(const SceneSettings& scene, const char* field) {
    try {
        MakeTraceParameters(scene);
        return std::nullopt;
    } catch (const EffectParameterError& e) {
        EXPECT_EQ(e.field(), field);
        return e.what();
    }
}

} // namespace

TEST(CalcParameterTable, ChecksFollowTheTable) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ASSERT_EQ(CalcFields().size(), 9u);
    for (const CalcField& field : CalcFields()) {
        SCOPED_TRACE(field.name);
        const bool isDouble = std::holds_alternative<double CalcParameters::*>(field.member);
        // A file may hold any value of the field's type but what the table calls not finite.
        if (isDouble) {
            for (double v : {nan, inf, -inf}) {
                auto scene = MakeDefaultScene();
                Set(*scene, field, v);
                EXPECT_EQ(ReaderAccepts(*scene), !field.fileFinite);
            }
        }
        // Every value the dialog accepts, a file may hold and a calculation takes.
        if (field.dialog) {
            for (double v : {field.dialog->min, field.dialog->max}) {
                auto scene = MakeDefaultScene();
                Set(*scene, field, v);
                EXPECT_TRUE(ReaderAccepts(*scene)) << v;
                EXPECT_EQ(CalculationMessage(*scene, field.name), std::nullopt) << v;
            }
        }
        // A calculation takes the bound when it needs "at least", refuses it when it needs
        // "above", and refuses what lies below it; a field without a need takes a negative value.
        auto scene = MakeDefaultScene();
        if (field.calcNeed == CalcNeed::Any) {
            Set(*scene, field, -1.0);
            EXPECT_EQ(CalculationMessage(*scene, field.name), std::nullopt);
            continue;
        }
        Set(*scene, field, field.calcBound);
        EXPECT_EQ(CalculationMessage(*scene, field.name).has_value(),
                  field.calcNeed == CalcNeed::Above);
        Set(*scene, field, field.calcBound - 1.0);
        EXPECT_TRUE(CalculationMessage(*scene, field.name).has_value());
        if (isDouble) {
            Set(*scene, field, nan);
            EXPECT_TRUE(CalculationMessage(*scene, field.name).has_value());
        }
    }
}

TEST(CalcParameterTable, CalculationRefusalsReadAsBefore) {
    auto scene = MakeDefaultScene();
    scene->params.rayCount = -5;
    EXPECT_EQ(CalculationMessage(*scene, "rayCount"), "The ray count must be above 0 (it is -5).");
    scene->params.rayCount = 100;
    scene->params.groupTime = 0.0;
    EXPECT_EQ(CalculationMessage(*scene, "groupTime"),
              "The grouping width must be a finite number of milliseconds above 0 (it is 0).");
    scene->params.groupTime = 10.0;
    scene->params.stopTime = -0.5;
    EXPECT_EQ(CalculationMessage(*scene, "stopTime"),
              "The stop time must be a finite number of milliseconds, 0 or more (it is -0.5).");
    // The first refusal is named in the order ray count, grouping, stop time.
    scene->params.rayCount = 0;
    scene->params.groupTime = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(CalculationMessage(*scene, "rayCount"), "The ray count must be above 0 (it is 0).");
}

} // namespace sonivera
