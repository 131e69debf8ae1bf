#include "core/tracer/EffectFinite.h"

#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace sonivera {

namespace {

constexpr std::size_t kNamedAtMost = 3;

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string DescribeUnboundedValues(const SceneSettings& scene) {
    std::vector<std::string> found;
    if (scene.params.mediumAbsorption < 0.0) {
        found.push_back("mediumAbsorption " + Number(scene.params.mediumAbsorption) +
                        " is below 0");
    }
    std::size_t index = 0;
    for (const auto& object : scene.objects) {
        const std::string name = "object " + std::to_string(index++);
        if (const auto* rect = dynamic_cast<const CRectObject*>(object.get())) {
            if (std::fabs(rect->m_reflection) > 1.0) {
                found.push_back(name + " (rect) m_reflection " + Number(rect->m_reflection) +
                                " is outside -1..1");
            }
            if (rect->m_absorption < 0.0) {
                found.push_back(name + " (rect) m_absorption " + Number(rect->m_absorption) +
                                " is below 0");
            }
        } else if (const auto* source = dynamic_cast<const CSoundSource*>(object.get())) {
            if (std::fabs(source->m_power) > 1.0) {
                found.push_back(name + " (source) m_power " + Number(source->m_power) +
                                " is outside -1..1");
            }
        }
    }
    std::string text;
    for (std::size_t i = 0; i < found.size() && i < kNamedAtMost; ++i) {
        text += (i == 0 ? "" : "; ") + found[i];
    }
    if (found.size() > kNamedAtMost) {
        text += "; and " + std::to_string(found.size() - kNamedAtMost) + " more";
    }
    return text;
}

void RequireFiniteEffect(const SceneSettings& scene) {
    for (std::int32_t i = 0; i < scene.effectCount; ++i) {
        const double value = scene.effect[static_cast<std::size_t>(i)];
        if (std::isfinite(value)) {
            continue;
        }
        const std::string cause = DescribeUnboundedValues(scene);
        throw EffectNotFiniteError(
            "The effect is not finite (bin " + std::to_string(i) + " is " + Number(value) +
            "), so it was not written: " +
            (cause.empty() ? std::string("the amplitudes overflowed") : cause) + ".");
    }
}

} // namespace sonivera
