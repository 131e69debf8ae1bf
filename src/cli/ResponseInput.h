#pragma once

#include "cli/EffectInput.h"
#include "cli/OnsetOptions.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace sonivera {

// Where the impulse response of `wav` and `auralize` comes from: a scene file, traced with every
// echo at its own sample, or an effect file, whose bins can only be a pulse train on the grid of
// the grouping time. Which one the file is, its content decides (the scene file's tag).
struct ResponseInput {
    std::string path;
    GroupTimeSource groupTime; // for an effect file
    OnsetChoice onset;         // when given, the response starts at the onset
    int threads = 0;           // for a scene
    bool noCheck = false;      // for a scene
};

// Adds the options shared by the commands that make a response: the grouping width of an effect
// file, the onset, and for a scene --threads and --no-check.
void AddResponseOptions(CLI::App& command, ResponseInput& input);

// Whether the file begins with the scene file's tag (unreadable files are not scenes here; the
// reader that follows names what is wrong with them).
bool LooksLikeSceneFile(const std::string& path);

// The response at `rate` hertz. For a scene: checks it (exit 1 with the finding, unless
// --no-check), calculates its effect with a progress bar (Ctrl+C stops it: exit 130) and takes the
// echoes placed at the rate. For an effect file: the bins at sample round(i·g·rate/1000), with a
// note on standard error that the response is quantised to the grouping time. With an onset
// asked for, everything before the onset bin's start is cut off. Refuses (exit 2) what
// ImpulseResponse.h refuses, and --group-time or --scene given for a scene.
std::vector<float> LoadResponseOrFail(const ResponseInput& input, int rate);

} // namespace sonivera
