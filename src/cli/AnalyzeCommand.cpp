// sonivera-cli analyze EFFECT.e3d (--group-time MS | --scene SCENE.3d) [--json]: the bin count,
// grouping width, first arrival, peak and room-acoustic figures of an effect file.
#include "cli/Command.h"
#include "cli/EffectInput.h"
#include "cli/ExitCodes.h"
#include "cli/NumberText.h"
#include "cli/OutputFiles.h"
#include "core/analysis/EffectFigures.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

namespace sonivera {

namespace {

struct AnalyzeOptions {
    std::string input;
    GroupTimeSource groupTime;
    bool json = false;
};

nlohmann::json OrNull(const std::optional<double>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

std::string Fixed(const std::optional<double>& value, const char* format, const char* unit) {
    if (!value) {
        return "n/a";
    }
    char text[64];
    std::snprintf(text, sizeof text, format, *value);
    return std::string(text) + unit;
}

std::string AnalysisJson(const EffectInput& effect, const EffectFigures& f) {
    nlohmann::ordered_json j;
    j["bins"] = effect.bins.size();
    j["groupTimeMs"] = effect.groupTime;
    j["stopTimeMs"] = effect.stopTime;
    j["firstBin"] = f.firstBin ? nlohmann::ordered_json(*f.firstBin) : nullptr;
    j["firstArrivalMs"] = f.firstBin ? nlohmann::ordered_json(f.firstArrivalMs) : nullptr;
    j["peakBin"] = f.peakBin ? nlohmann::ordered_json(*f.peakBin) : nullptr;
    j["peakMs"] = f.peakBin ? nlohmann::ordered_json(f.peakMs) : nullptr;
    j["peakValue"] = f.peakBin ? nlohmann::ordered_json(f.peakValue) : nullptr;
    j["edtSeconds"] = OrNull(f.edtSeconds);
    j["t20Seconds"] = OrNull(f.t20Seconds);
    j["t30Seconds"] = OrNull(f.t30Seconds);
    j["c50Db"] = OrNull(f.c50Db);
    j["c80Db"] = OrNull(f.c80Db);
    j["d50"] = OrNull(f.d50);
    j["centreTimeMs"] = OrNull(f.centreTimeMs);
    return j.dump(2) + '\n';
}

std::string AnalysisText(const EffectInput& effect, const EffectFigures& f) {
    std::ostringstream out;
    auto line = [&](const char* name, const std::string& value) {
        out << name << std::string(16 - std::char_traits<char>::length(name), ' ') << value << '\n';
    };
    line("bins", std::to_string(effect.bins.size()));
    line("groupTime", RoundTripText(effect.groupTime) + " ms");
    line("stopTime", RoundTripText(effect.stopTime) + " ms");
    if (f.firstBin) {
        line("firstArrival",
             RoundTripText(f.firstArrivalMs) + " ms (bin " + std::to_string(*f.firstBin) + ")");
        line("peak", RoundTripText(f.peakValue) + " at " + RoundTripText(f.peakMs) + " ms (bin " +
                         std::to_string(*f.peakBin) + ")");
    } else {
        line("firstArrival", "n/a (no bin has energy)");
        line("peak", "n/a");
    }
    line("EDT", Fixed(f.edtSeconds, "%.3f", " s"));
    line("T20", Fixed(f.t20Seconds, "%.3f", " s"));
    line("T30", Fixed(f.t30Seconds, "%.3f", " s"));
    line("C50", Fixed(f.c50Db, "%.2f", " dB"));
    line("C80", Fixed(f.c80Db, "%.2f", " dB"));
    line("D50", Fixed(f.d50 ? std::optional<double>(*f.d50 * 100.0) : std::nullopt, "%.1f", " %"));
    line("centreTime", Fixed(f.centreTimeMs, "%.1f", " ms"));
    return out.str();
}

} // namespace

Command AddAnalyzeCommand(CLI::App& app) {
    auto options = std::make_shared<AnalyzeOptions>();
    CLI::App* sub = app.add_subcommand("analyze", "Print the figures of an effect file");
    sub->add_option("EFFECT.e3d", options->input, "The effect file")->required();
    AddGroupTimeOptions(*sub, options->groupTime);
    sub->add_flag("--json", options->json, "Print JSON (null for a figure that is not available)");
    sub->footer("The energy of a bin is the square of its value; times are measured from the "
                "first bin with energy. EDT, T20 and T30 are least-squares fits of the "
                "backward-integrated decay between 0/-10, -5/-25 and -5/-35 dB; a figure whose "
                "range the decay does not reach is n/a.");
    return {sub, [options] {
                const EffectInput effect = LoadEffectOrFail(options->input, options->groupTime);
                const EffectFigures figures = AnalyzeEffect(effect.bins, effect.groupTime);
                std::cout << (options->json ? AnalysisJson(effect, figures)
                                            : AnalysisText(effect, figures));
                FlushStandardOutputOrFail();
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
