#pragma once

namespace sonivera {

// The user-facing side of an object's properties: a message for objects without properties and
// the two properties dialogs. Values are passed in the units the dialogs show (percentages).
class PropertiesPort {
public:
    virtual ~PropertiesPort() = default;

    // Tells the user that the object has no properties of its own.
    virtual void ShowNoProperties() = 0;
    // Lets the user edit a source's power in percent; returns false when cancelled.
    virtual bool EditSourcePower(double& powerPercent) = 0;
    // Lets the user edit a rectangle's absorption coefficient and reflection in percent;
    // returns false when cancelled.
    virtual bool EditRectProperties(double& absorption, double& reflectionPercent) = 0;
};

} // namespace sonivera
