// sonivera-cli check SCENE.3d: the scene check, as the editor runs it before a calculation.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/SceneInput.h"
#include "core/calc/SceneCheck.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

namespace sonivera {

Command AddCheckCommand(CLI::App& app) {
    auto input = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand("check", "Check a scene for geometric errors");
    sub->footer("Looks for the listener or a source inside a rectangle and for nested "
                "rectangles. Prints the first error found and exits with 1, or prints that the "
                "scene is clean and exits with 0.");
    sub->add_option("SCENE.3d", *input, "The scene file to check")->required();
    return {sub, [input] {
                const auto scene = LoadSceneOrFail(*input);
                if (const auto finding = FindFirstSceneError(scene->objects)) {
                    std::cout << finding->message << '\n';
                    return static_cast<int>(kExitFinding);
                }
                std::cout << kSceneCleanText << '\n';
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
