// sonivera-cli: headless use of the scene file, the scene check and the effect calculation.
#include "cli/Command.h"
#include "core/version/ProgramVersion.h"
#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "core/text/ShownText.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <vector>

using namespace sonivera;

namespace {

constexpr const char* kProgram = "sonivera-cli";

// Every message is one line on the terminal: whatever a file or an argument put into it is
// escaped, and a message that echoes something huge is shortened.
int Fail(int code, const std::string& message) {
    std::cerr << kProgram << ": " << ShownName(message, 8192) << '\n';
    return code;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("Sonivera on the command line: scene files, the scene check, the effect and its analysis.",
                 kProgram);
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(kProgram) + " " + kProgramVersion);
    const std::vector<Command> commands = {
        AddEffectCommand(app), AddCheckCommand(app), AddInfoCommand(app),
        AddBuildCommand(app),  AddNewCommand(app),  AddAnalyzeCommand(app),
        AddPlotCommand(app),   AddWavCommand(app),  AddAuralizeCommand(app),
        AddMapCommand(app),    AddMapMergeCommand(app), AddImportCommand(app),
    };
    // No option or argument takes an empty value: `-o ''` names no file and `--gain ''` no
    // number, so both are usage errors before any work.
    const CLI::Validator notEmpty(
        [](std::string& value) { return value.empty() ? std::string("an empty value") : ""; },
        "", "not empty");
    for (const Command& command : commands) {
        for (CLI::Option* option : command.parser->get_options()) {
            if (option->get_type_size() != 0 && option->get_name() != "--help") {
                option->check(notEmpty);
            }
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Fail(kExitBadInput, std::string(e.what()) + " (see --help)");
    }
    for (const Command& command : commands) {
        if (!command.parser->parsed()) {
            continue;
        }
        try {
            const int code = command.run();
            FlushStandardOutputOrFail();
            return code;
        } catch (const CliFailure& e) {
            return Fail(e.Code(), e.what());
        } catch (const std::bad_alloc&) {
            return Fail(kExitBadInput, "Not enough memory");
        } catch (const std::exception& e) {
            return Fail(kExitBadInput, e.what());
        }
    }
    return Fail(kExitBadInput, "no subcommand given (see --help)");
}
