#pragma once

#include <cstdint>

namespace sonivera {

// The passage limit of a new scene: passage through objects absorbing more than this is ignored.
constexpr double kDefaultPassAbsorptionLimit = 1.6e308;

// The nine parameters of an effect calculation, in the scene file's order, with the values a new
// scene starts with. The scene holds one (SceneSettings::params), the parameters dialog edits a
// copy, an undoable edit keeps the value before and after, and a computed effect keeps the one it
// was computed with. What each may hold is in CalcParameterTable.h.
struct CalcParameters {
    double passAbsorptionLimit = kDefaultPassAbsorptionLimit; // per metre
    double stopAmplitude = 0.001;
    double groupTime = 10.0; // ms: the width of one bin
    bool noTransmission = false;
    bool noReflection = false;
    bool normalize = true;
    std::int32_t rayCount = 100;
    double mediumAbsorption = 0.0; // per metre
    double stopTime = 1000.0;      // ms

    friend bool operator==(const CalcParameters&, const CalcParameters&) = default;
};

} // namespace sonivera
