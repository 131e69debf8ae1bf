// sonivera-cli build SCENE.json -o OUT.3d: a scene file from its JSON form (as `info --json`
// prints it).
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "cli/SceneInput.h"
#include "core/model/SceneFile.h"
#include "cli/json/SceneJson.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace sonivera {

namespace {

struct BuildOptions {
    std::string input;
    std::string output;
};

} // namespace

Command AddBuildCommand(CLI::App& app) {
    auto options = std::make_shared<BuildOptions>();
    CLI::App* sub = app.add_subcommand("build", "Build a scene file from JSON");
    sub->footer("The JSON has the form `info --json` prints. Every field is required; a field "
                "that is missing, unknown, of the wrong type or refused by the scene reader is "
                "named in the message and the exit code is 2.");
    sub->add_option("SCENE.json", options->input, "The JSON scene, or - for standard input")
        ->required();
    sub->add_option("-o,--output", options->output, "The scene file to write")
        ->required()
        ->option_text("OUT.3d");
    return {sub, [options] {
                RefuseSameFilesOrFail({options->input}, {options->output});
                const std::string text = ReadTextOrFail(options->input);
                std::unique_ptr<SceneSettings> scene;
                try {
                    scene = SceneFromJsonText(text);
                } catch (const SceneJsonError& e) {
                    const std::string name =
                        options->input == "-" ? std::string("standard input") : options->input;
                    throw CliFailure(kExitBadInput, name + ": " + e.what());
                }
                WriteBytesOrFail(options->output, SaveSceneToBytes(*scene));
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
