#include "cli/OnsetOptions.h"

#include "cli/NumberText.h"

#include <CLI/CLI.hpp>

namespace sonivera {

OnsetRule OnsetChoice::Rule() const {
    OnsetRule rule;
    if (mode == "first") {
        rule.firstEnergy = true;
    } else if (triggerDb) {
        rule.triggerDb = *triggerDb;
    }
    return rule;
}

std::string OnsetChoice::Describe(const OnsetRule& rule) {
    if (rule.firstEnergy) {
        return "first bin with energy";
    }
    return "first bin within " + RoundTripText(rule.triggerDb) + " dB of the peak";
}

void AddOnsetOptions(CLI::App& command, OnsetChoice& choice, const std::string& what) {
    auto* db = command
                   .add_option("--onset-db", choice.triggerDb,
                               "Time zero of " + what +
                                   ": the first bin within DB of the peak bin (default 20)")
                   ->check(CLI::Range(0.0, 200.0))
                   ->option_text("DB");
    auto* first = command
                      .add_option("--onset", choice.mode,
                                  "'first': time zero at the first bin with any energy")
                      ->check(CLI::IsMember({"first"}))
                      ->option_text("first");
    db->excludes(first);
    first->excludes(db);
}

} // namespace sonivera
