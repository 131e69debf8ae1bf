// sonivera-cli info SCENE.3d [--json]: the settings and the objects of a scene.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/NumberText.h"
#include "cli/SceneInput.h"
#include "cli/json/SceneJson.h"
#include "core/model/CalcParameterTable.h"
#include "core/model/ObjectKindTable.h"
#include "core/model/SceneObject.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <sstream>
#include <type_traits>
#include <variant>

namespace sonivera {

namespace {

struct InfoOptions {
    std::string input;
    bool json = false;
};

std::string Flag(bool on) {
    return on ? "true" : "false";
}

// One line per setting, then one per object; numbers in their exact shortest form.
std::string SceneText(const SceneSettings& s) {
    std::ostringstream out;
    auto line = [&](const char* name, const std::string& value) {
        out << name << std::string(22 - std::char_traits<char>::length(name), ' ') << value << '\n';
    };
    line("width", RoundTripText(s.width));
    line("height", RoundTripText(s.height));
    line("gridX", RoundTripText(s.gridX));
    line("gridY", RoundTripText(s.gridY));
    line("snapToGrid", Flag(s.snapToGrid));
    for (const CalcField& field : CalcFields()) {
        line(field.name, std::visit(
                             [&](auto member) {
                                 const auto value = s.params.*member;
                                 if constexpr (std::is_same_v<decltype(value), const bool>) {
                                     return Flag(value);
                                 } else if constexpr (std::is_integral_v<decltype(value)>) {
                                     return std::to_string(value);
                                 } else {
                                     return RoundTripText(value);
                                 }
                             },
                             field.member));
    }
    line("objects", std::to_string(s.objects.size()));
    std::size_t index = 0;
    for (const auto& object : s.objects) {
        const ObjectKindInfo& kind = KindOf(*object);
        const std::string name = kind.name;
        out << "  " << index++ << ' ' << name
            << std::string(name.size() < 8 ? 8 - name.size() : 0, ' ');
        for (const ObjectField& field : kind.fields) {
            out << ' ' << field.name << '=' << RoundTripText(field.get(*object));
        }
        out << '\n';
    }
    return out.str();
}

} // namespace

Command AddInfoCommand(CLI::App& app) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* sub = app.add_subcommand("info", "Print the settings and objects of a scene");
    sub->footer("Numbers are printed in their shortest form that reads back exactly. The JSON "
                "form is what `build` reads.");
    sub->add_option("SCENE.3d", options->input, "The scene file")->required();
    sub->add_flag("--json", options->json, "Print JSON instead of text");
    return {sub, [options] {
                const auto scene = LoadSceneOrFail(options->input);
                std::cout << (options->json ? SceneToJsonText(*scene) : SceneText(*scene));
                std::cout.flush();
                if (!std::cout) {
                    throw CliFailure(kExitWriteFailed, "Cannot write to standard output");
                }
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
