#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace sonivera {

// A subcommand: its parser, registered on the main parser, and what runs when it was chosen.
// `run` returns the exit code or throws CliFailure.
struct Command {
    CLI::App* parser = nullptr;
    std::function<int()> run;
};

Command AddEffectCommand(CLI::App& app);
Command AddNewCommand(CLI::App& app);
Command AddCheckCommand(CLI::App& app);
Command AddInfoCommand(CLI::App& app);
Command AddBuildCommand(CLI::App& app);
Command AddAnalyzeCommand(CLI::App& app);
Command AddPlotCommand(CLI::App& app);
Command AddWavCommand(CLI::App& app);
Command AddAuralizeCommand(CLI::App& app);
Command AddMapCommand(CLI::App& app);
Command AddMapMergeCommand(CLI::App& app);
Command AddImportCommand(CLI::App& app);

} // namespace sonivera
