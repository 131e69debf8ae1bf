#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace sonivera {

// An effect read from an effect file, with the grouping width it was computed with.
struct EffectInput {
    std::vector<double> bins;
    double groupTime = 0.0; // ms
    double stopTime = 0.0;  // ms, as stored in the file
};

// Where the grouping width of an effect file comes from: exactly one of the two.
struct GroupTimeSource {
    std::optional<double> groupTime; // --group-time MS
    std::string scenePath;           // --scene SCENE.3d
};

// Adds --group-time MS and --scene SCENE.3d (mutually exclusive) to a subcommand.
void AddGroupTimeOptions(CLI::App& command, GroupTimeSource& source);

// Reads the effect file and settles its grouping width. Refuses, with a CliFailure (bad input):
// a file that cannot be read or is not an effect file (wrong tag, wrong length, NaN bins), a
// missing or non-positive grouping width, a scene whose stop time differs from the file's, and a
// bin count that is not the ceiling of stop time ÷ grouping width (so a wrong --group-time is
// caught rather than silently mislabelling every delay).
EffectInput LoadEffectOrFail(const std::string& path, const GroupTimeSource& source);

} // namespace sonivera
