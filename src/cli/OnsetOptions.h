#pragma once

#include "core/analysis/EffectFigures.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace sonivera {

// How a command was told to choose time zero: --onset-db DB (a level trigger) or --onset first
// (the first bin with any energy); at most one of the two.
struct OnsetChoice {
    std::optional<double> triggerDb;
    std::string mode;

    bool Given() const { return triggerDb.has_value() || !mode.empty(); }
    // The rule asked for, or the default level trigger when none was.
    OnsetRule Rule() const;
    // How the rule reads in a report: "first bin within 20 dB of the peak", "first bin with
    // energy".
    static std::string Describe(const OnsetRule& rule);
};

// Adds --onset-db DB (0..200) and --onset first to a subcommand.
void AddOnsetOptions(CLI::App& command, OnsetChoice& choice, const std::string& what);

} // namespace sonivera
