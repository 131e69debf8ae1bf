#pragma once

#include <stdexcept>
#include <string>

namespace sonivera {

struct SceneSettings;

// A calculated effect holds a bin that is not a finite number. Such an effect is never written;
// the message names the bin and the scene values that made the amplitudes overflow.
class EffectNotFiniteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The scene values that can make amplitudes grow without bound: a negative medium absorption, a
// source power or a rectangle reflection of magnitude above 1, a negative rectangle absorption.
// Every other value keeps each echo's amplitude at most 1 in magnitude. Empty when there is none;
// at most three are named ("…, and N more").
std::string DescribeUnboundedValues(const SceneSettings& scene);

// Throws EffectNotFiniteError when the scene's effect holds a bin that is NaN or infinite.
// SaveEffectToBytes calls it, so no writer of effect files can write such an effect.
void RequireFiniteEffect(const SceneSettings& scene);

} // namespace sonivera
