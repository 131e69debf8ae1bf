// sonivera-cli import PLAN.dxf -o SCENE.3d [--json]: a scene from an architect's DXF drawing, with
// a report of what was taken and what was left.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/OutputFiles.h"
#include "cli/ProgressBar.h"
#include "cli/SceneInput.h"
#include "cli/json/SceneJson.h"
#include "core/files/FileError.h"
#include "core/files/InputFile.h"
#include "core/model/SceneFile.h"
#include "core/plan/DxfError.h"
#include "core/plan/PlanImport.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>
#include <memory>

namespace sonivera {

namespace {

struct ImportOptions {
    std::string input;
    std::string output;
    bool json = false;
    std::string units;
    std::optional<double> scale;
    std::vector<std::string> layers;
    std::string layerMap;
    double wallThickness = 0.2;
    double maxWallGap = 0.6;
    double maxColumn = 2.0;
    double tolerance = 0.5;
    std::optional<double> staircase;
    double reflection = 0.8;
    double absorption = 10.0;
};

WallMaterial MaterialOrFail(const nlohmann::json& j, const std::string& where) {
    WallMaterial m;
    if (!j.is_object()) {
        throw CliFailure(kExitBadInput,
                         where + " must be an object with reflection and absorption");
    }
    for (const auto& [key, value] : j.items()) {
        if ((key != "reflection" && key != "absorption") || !value.is_number()) {
            throw CliFailure(kExitBadInput, where + ": \"" + key +
                                                "\" is not reflection or "
                                                "absorption with a number");
        }
        const double v = value.get<double>();
        if (key == "reflection" ? !(v >= 0.0 && v <= 1.0) : !(v >= 0.0 && std::isfinite(v))) {
            throw CliFailure(kExitBadInput, where + ": " + key + " out of range");
        }
        (key == "reflection" ? m.reflection : m.absorption) = v;
    }
    return m;
}

// {"LAYER": {"reflection": 0.9, "absorption": 20}, ...}
std::map<std::string, WallMaterial> LayerMapOrFail(const std::string& path) {
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(ReadTextOrFail(path));
    } catch (const nlohmann::json::exception& e) {
        throw CliFailure(kExitBadInput, path + ": not JSON (" + std::string(e.what()) + ")");
    }
    if (!j.is_object()) {
        throw CliFailure(kExitBadInput, path + ": the layer map must be a JSON object of layers");
    }
    std::map<std::string, WallMaterial> map;
    for (const auto& [layer, value] : j.items()) {
        map[layer] = MaterialOrFail(value, path + ": layer " + layer);
    }
    return map;
}

PlanImportOptions PlanOptionsOrFail(const ImportOptions& o) {
    PlanImportOptions p;
    if (!o.units.empty() && o.scale) {
        throw CliFailure(kExitBadInput, "give --units or --scale, not both");
    }
    if (!o.units.empty()) {
        p.metresPerUnit = MetresPerUnitNamed(o.units);
        if (!p.metresPerUnit) {
            throw CliFailure(kExitBadInput, "--units must be one of mm, cm, dm, m, km, in, ft, yd, "
                                            "mi, us-ft, not " +
                                                o.units);
        }
    }
    if (o.scale) {
        if (!(*o.scale > 0.0 && std::isfinite(*o.scale))) {
            throw CliFailure(kExitBadInput, "--scale must be a number of metres per unit above 0");
        }
        p.metresPerUnit = o.scale;
    }
    p.layers = o.layers;
    p.wallThickness = o.wallThickness;
    p.maxWallGap = o.maxWallGap;
    p.maxColumn = o.maxColumn;
    p.toleranceDegrees = o.tolerance;
    p.staircase = o.staircase;
    p.material = {o.reflection, o.absorption};
    if (!o.layerMap.empty()) {
        p.layerMaterials = LayerMapOrFail(o.layerMap);
    }
    return p;
}

int RunImport(const ImportOptions& o) {
    PlanImportOptions options = PlanOptionsOrFail(o);
    RefuseSameFilesOrFail({o.input}, {o.output});
    std::vector<std::uint8_t> dxf;
    try {
        dxf = ReadWholeFile(o.input);
    } catch (const FileError& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
    const std::atomic<bool>& interrupted = InstallInterruptFlag();
    PlanImportResult result;
    {
        TerminalProgressBar bar(stderr);
        options.progress = [&](double fraction) {
            bar.SetPosition(static_cast<int>(fraction * 100.0));
            return !interrupted.load();
        };
        try {
            result = ImportPlan(dxf, options);
        } catch (const DxfCancelled& e) {
            bar.Finish();
            throw CliFailure(kExitInterrupted, e.what());
        } catch (const DxfError& e) {
            bar.Finish();
            throw CliFailure(kExitBadInput, o.input + ": " + e.what() + "; nothing was written");
        }
        bar.Finish();
    }
    std::cout << result.report.Text();
    FlushStandardOutputOrFail();
    if (o.json) {
        const std::string text = SceneToJsonText(*result.scene);
        WriteBytesOrFail(o.output, TextBytes(text));
    } else {
        WriteBytesOrFail(o.output, SaveSceneToBytes(*result.scene));
    }
    return result.report.LeftCount() == 0 ? kExitOk : kExitPartial;
}

} // namespace

Command AddImportCommand(CLI::App& app) {
    auto o = std::make_shared<ImportOptions>();
    CLI::App* sub = app.add_subcommand("import", "Import the plan of a DXF drawing as a scene");
    sub->add_option("PLAN.dxf", o->input, "The drawing (ASCII or binary DXF, R12 to 2018)")
        ->required();
    sub->add_option("-o,--output", o->output, "The scene file to write")
        ->required()
        ->option_text("OUT.3d|OUT.json");
    sub->add_flag("--json", o->json, "Write the JSON form `build` reads instead of a scene file");
    sub->add_option("--units", o->units,
                    "The drawing's unit (mm, cm, dm, m, km, in, ft, yd, mi, us-ft), over $INSUNITS")
        ->option_text("UNIT");
    sub->add_option("--scale", o->scale, "Metres per drawing unit, over $INSUNITS")
        ->option_text("M");
    sub->add_option("--layers", o->layers, "Take only these layers (default: all)")
        ->delimiter(',')
        ->option_text("NAME,...");
    sub->add_option("--layer-map", o->layerMap,
                    "JSON: {\"LAYER\": {\"reflection\": R, \"absorption\": A}, ...}")
        ->option_text("FILE");
    sub->add_option("--wall-thickness", o->wallThickness,
                    "Thickness of a wall drawn as one line, metres (default 0.2)")
        ->check(CLI::Range(0.001, 10.0))
        ->option_text("M");
    sub->add_option("--max-wall", o->maxWallGap,
                    "Two parallel lines at most this far apart are one wall's faces (default 0.6)")
        ->check(CLI::Range(0.0, 10.0))
        ->option_text("M");
    sub->add_option("--max-column", o->maxColumn,
                    "A closed rectangle at most this on each side is a filled column (default 2)")
        ->check(CLI::Range(0.0, 1000.0))
        ->option_text("M");
    sub->add_option("--tolerance", o->tolerance,
                    "A line within this many degrees of an axis is parallel to it (default 0.5)")
        ->check(CLI::Range(0.0, 10.0))
        ->option_text("DEG");
    sub->add_option("--staircase", o->staircase,
                    "Slanted lines, arcs and circles as small rectangles within STEP metres")
        ->check(CLI::Range(0.001, 100.0))
        ->option_text("STEP");
    sub->add_option("--reflection", o->reflection,
                    "The rectangles' reflection, 0..1, where the layer map says nothing (0.8)")
        ->check(CLI::Range(0.0, 1.0));
    sub->add_option("--absorption", o->absorption,
                    "Their absorption per metre of passage (default 10)")
        ->check(CLI::Range(0.0, 1e300));
    sub->footer("Walls become axis-parallel rectangles that do not overlap, so the scene check "
                "passes; the scene's size fits the drawing with a margin, the listener stands at "
                "a free point inside the largest room and the grid step follows the drawing's "
                "size. The report on standard output lists what was taken and what was left out, "
                "by kind and layer. Exit 0: everything was drawn; 4: the scene was written but "
                "something was left out; 2: the drawing cannot be read or holds nothing to draw "
                "(nothing is written).");
    return {sub, [o] { return RunImport(*o); }};
}

} // namespace sonivera
