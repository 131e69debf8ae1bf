#pragma once

#include "core/model/PropertiesPort.h"

namespace sonivera {

// A properties port that records what it was shown and answers with scripted values.
class ScriptedProperties : public PropertiesPort {
public:
    void ShowNoProperties() override { ++noPropertiesShown; }
    bool EditSourcePower(double& powerPercent) override {
        shownPower = powerPercent;
        if (accept) {
            powerPercent = answerPower;
        }
        return accept;
    }
    bool EditRectProperties(double& absorption, double& reflectionPercent) override {
        shownAbsorption = absorption;
        shownReflection = reflectionPercent;
        if (accept) {
            absorption = answerAbsorption;
            reflectionPercent = answerReflection;
        }
        return accept;
    }

    bool accept = true;
    double answerPower = 0.0;
    double answerAbsorption = 0.0;
    double answerReflection = 0.0;
    int noPropertiesShown = 0;
    double shownPower = -1.0;
    double shownAbsorption = -1.0;
    double shownReflection = -1.0;
};

} // namespace sonivera
