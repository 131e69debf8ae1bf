#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace sonivera {

// A parameter that would make the calculation unsafe; nothing was computed and the scene's
// previous effect is kept. field() names the scene field.
class EffectParameterError : public std::runtime_error {
public:
    EffectParameterError(std::string field, const std::string& message)
        : std::runtime_error(message), m_field(std::move(field)) {}
    const std::string& field() const { return m_field; }

private:
    std::string m_field;
};

// The calculation was cancelled through EffectOptions::cancel; the previous effect is kept.
class EffectCancelled : public std::runtime_error {
public:
    EffectCancelled() : std::runtime_error("The calculation was cancelled.") {}
};

// The calculation would keep more than its memory budget (MemoryBudget.h): refused before any ray
// was traced, or stopped when the kept paths grew beyond it; the previous effect is kept.
class EffectMemoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sonivera
