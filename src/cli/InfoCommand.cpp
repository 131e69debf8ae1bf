// sonivera-cli info SCENE.3d [--json]: the settings and the objects of a scene.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/NumberText.h"
#include "cli/SceneInput.h"
#include "cli/json/SceneJson.h"
#include "core/model/CalcParameterTable.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"

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
        out << "  " << index++ << ' ';
        const std::string position =
            "m_x=" + RoundTripText(object->m_x) + " m_y=" + RoundTripText(object->m_y);
        if (const auto* rect = dynamic_cast<const CRectObject*>(object.get())) {
            out << "rect     " << position << " m_width=" << RoundTripText(rect->m_width)
                << " m_height=" << RoundTripText(rect->m_height)
                << " m_absorption=" << RoundTripText(rect->m_absorption)
                << " m_reflection=" << RoundTripText(rect->m_reflection);
        } else if (const auto* source = dynamic_cast<const CSoundSource*>(object.get())) {
            out << "source   " << position << " m_power=" << RoundTripText(source->m_power);
        } else {
            out << "listener " << position;
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
