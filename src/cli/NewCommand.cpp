// sonivera-cli new OUT.3d: writes the scene a new document starts with.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "core/model/SceneFile.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace sonivera {

Command AddNewCommand(CLI::App& app) {
    auto output = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand("new", "Write the default scene (118 bytes)");
    sub->footer("The default scene is 100 x 100 m with a 1 m grid and the default calculation "
                "parameters; its only object is the listener at (50, 50).");
    sub->add_option("OUT.3d", *output, "The scene file to write")->required();
    return {sub, [output] {
                const auto scene = MakeDefaultScene();
                WriteBytesOrFail(*output, SaveSceneToBytes(*scene));
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
