// sonivera-cli plot EFFECT.e3d (--group-time MS | --scene SCENE.3d) -o OUT.png|svg [--db]: the
// effect's echogram, decay curve and figures as an image, the same picture as the editor's pane.
#include "cli/Command.h"
#include "cli/EffectInput.h"
#include "cli/ExitCodes.h"
#include "cli/OnsetOptions.h"
#include "cli/OutputFiles.h"
#include "cli/render/CairoPlot.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace sonivera {

namespace {

struct PlotOptions {
    std::string input;
    std::string output;
    GroupTimeSource groupTime;
    bool db = false;
    bool whole = false;
    OnsetChoice onset;
    int width = 900;
    int height = 500;
};

PlotFormat FormatOf(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png") {
        return PlotFormat::Png;
    }
    if (ext == ".svg") {
        return PlotFormat::Svg;
    }
    throw CliFailure(kExitBadInput, path + ": the output must end in .png or .svg");
}

int RunPlot(const PlotOptions& options) {
    const PlotFormat format = FormatOf(options.output);
    std::vector<std::string> inputs = {options.input};
    if (!options.groupTime.scenePath.empty()) {
        inputs.push_back(options.groupTime.scenePath);
    }
    RefuseSameFilesOrFail(inputs, {options.output});
    const EffectInput effect = LoadEffectOrFail(options.input, options.groupTime);
    EffectPlotInput input;
    input.bins = effect.bins;
    input.groupTime = effect.groupTime;
    input.db = options.db;
    input.onset = options.onset.Rule();
    input.wholeStopTime = options.whole;
    const auto bytes = RenderEffectPlot(input, options.width, options.height, format);
    WriteBytesOrFail(options.output, bytes);
    return kExitOk;
}

} // namespace

Command AddPlotCommand(CLI::App& app) {
    auto options = std::make_shared<PlotOptions>();
    CLI::App* sub = app.add_subcommand("plot", "Draw the echogram of an effect file");
    sub->add_option("EFFECT.e3d", options->input, "The effect file")->required();
    AddGroupTimeOptions(*sub, options->groupTime);
    sub->add_option("-o,--output", options->output, "The image to write (.png or .svg)")
        ->required()
        ->option_text("OUT.png|OUT.svg");
    sub->add_flag("--db", options->db, "Levels in dB relative to the peak energy");
    sub->add_flag("--whole", options->whole,
                  "The time axis to the stop time (default: to the last bin above -60 dB)");
    AddOnsetOptions(*sub, options->onset, "the decay curve and the figures");
    sub->add_option("--width", options->width, "Width in pixels (default 900)")
        ->check(CLI::Range(200, 8000));
    sub->add_option("--height", options->height, "Height in pixels (default 500)")
        ->check(CLI::Range(150, 8000));
    sub->footer("The image is drawn in memory and written only when complete.");
    return {sub, [options] { return RunPlot(*options); }};
}

} // namespace sonivera
