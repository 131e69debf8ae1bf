#include "cli/EffectInput.h"

#include "cli/ExitCodes.h"
#include "cli/NumberText.h"
#include "cli/SceneInput.h"
#include "core/analysis/EffectReader.h"
#include "core/model/CalcParameterTable.h"

#include <CLI/CLI.hpp>

#include <cmath>

namespace sonivera {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw CliFailure(kExitBadInput, message);
}

} // namespace

void AddGroupTimeOptions(CLI::App& command, GroupTimeSource& source) {
    auto* group = command
                      .add_option("--group-time", source.groupTime,
                                  "The grouping width the effect was computed with")
                      ->option_text("MS");
    auto* scene = command
                      .add_option("--scene", source.scenePath,
                                  "Take the grouping width from the scene the effect came from")
                      ->option_text("SCENE.3d");
    group->excludes(scene);
    scene->excludes(group);
}

EffectInput LoadEffectOrFail(const std::string& path, const GroupTimeSource& source) {
    if (!source.groupTime && source.scenePath.empty()) {
        Refuse("the effect file does not store its grouping width: give --group-time MS or "
               "--scene SCENE.3d");
    }
    const std::string text = ReadTextOrFail(path);
    EffectInput input;
    try {
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        EffectFileData data = ReadEffectBytes(bytes);
        input.bins = std::move(data.bins);
        input.stopTime = data.stopTime;
    } catch (const EffectFormatError& e) {
        Refuse(path + ": " + e.what());
    }

    // What a calculation needs of a grouping width, from the parameter table.
    const auto usable = [](double groupTime) {
        CalcParameters params;
        params.groupTime = groupTime;
        return !CalculationRefusal(CalcFieldOf(&CalcParameters::groupTime), params);
    };
    if (source.groupTime) {
        input.groupTime = *source.groupTime;
        if (!usable(input.groupTime)) {
            Refuse("--group-time must be a finite number of milliseconds above 0");
        }
    } else {
        const auto scene = LoadSceneOrFail(source.scenePath);
        input.groupTime = scene->params.groupTime;
        if (!usable(input.groupTime)) {
            Refuse(source.scenePath + ": the grouping width is not a finite number above 0");
        }
        if (scene->params.stopTime != input.stopTime) {
            Refuse(source.scenePath + ": the scene's stop time (" +
                   RoundTripText(scene->params.stopTime) + " ms) differs from the effect file's (" +
                   RoundTripText(input.stopTime) + " ms); it is not the scene of this effect");
        }
    }
    const double expected = std::ceil(input.stopTime / input.groupTime);
    if (expected != static_cast<double>(input.bins.size())) {
        Refuse(path + ": " + std::to_string(input.bins.size()) +
               " bins do not fit a stop time of " + RoundTripText(input.stopTime) +
               " ms and a grouping width of " + RoundTripText(input.groupTime) +
               " ms (which give " + RoundTripText(expected) + " bins)");
    }
    return input;
}

} // namespace sonivera
