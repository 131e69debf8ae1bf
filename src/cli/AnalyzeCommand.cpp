// sonivera-cli analyze EFFECT.e3d (--group-time MS | --scene SCENE.3d) [--onset-db DB | --onset
// first] [--json]: the bin count, grouping width, first arrival, onset, peak and room-acoustic
// figures of an effect file, each with how it was obtained and, where its basis is too thin, why.
#include "cli/Command.h"
#include "cli/EffectInput.h"
#include "cli/ExitCodes.h"
#include "cli/NumberText.h"
#include "cli/OnsetOptions.h"
#include "cli/OutputFiles.h"
#include "core/analysis/EffectFigures.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

namespace sonivera {

namespace {

struct AnalyzeOptions {
    std::string input;
    GroupTimeSource groupTime;
    OnsetChoice onset;
    bool json = false;
};

using Json = nlohmann::ordered_json;

Json OrNull(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

Json MarkJson(const FigureMark& mark, const char* unit = "") {
    return mark ? Json(MarkText(mark, unit)) : Json(nullptr);
}

Json FitJson(const DecayFigure& d) {
    Json j;
    j["points"] = d.points;
    j["correlation"] = d.seconds ? Json(d.correlation) : Json(nullptr);
    j["nonLinearityPermille"] = d.seconds ? Json(d.nonLinearityPermille) : Json(nullptr);
    j["rangeStartMs"] = d.seconds ? Json(d.rangeStartMs) : Json(nullptr);
    j["rangeEndMs"] = d.seconds ? Json(d.rangeEndMs) : Json(nullptr);
    return j;
}

std::string Fixed(const std::optional<double>& value, const char* format, const char* unit) {
    if (!value) {
        return "n/a";
    }
    char text[64];
    std::snprintf(text, sizeof text, format, *value);
    return std::string(text) + unit;
}

std::optional<double> Percent(const std::optional<double>& fraction) {
    return fraction ? std::optional<double>(*fraction * 100.0) : std::nullopt;
}

std::string AnalysisJson(const EffectInput& effect, const EffectFigures& f,
                         const OnsetRule& onset) {
    Json j;
    j["bins"] = effect.bins.size();
    j["groupTimeMs"] = effect.groupTime;
    j["stopTimeMs"] = effect.stopTime;
    j["firstBin"] = f.firstBin ? Json(*f.firstBin) : nullptr;
    j["firstArrivalMs"] = f.firstBin ? Json(f.firstArrivalMs) : nullptr;
    j["onsetRule"] = OnsetChoice::Describe(onset);
    j["onsetBin"] = f.onsetBin ? Json(*f.onsetBin) : nullptr;
    j["onsetMs"] = f.onsetBin ? Json(f.onsetMs) : nullptr;
    j["peakBin"] = f.peakBin ? Json(*f.peakBin) : nullptr;
    j["peakMs"] = f.peakBin ? Json(f.peakMs) : nullptr;
    j["peakValue"] = f.peakBin ? Json(f.peakValue) : nullptr;
    j["edtSeconds"] = OrNull(f.edt.seconds);
    j["t20Seconds"] = OrNull(f.t20.seconds);
    j["t30Seconds"] = OrNull(f.t30.seconds);
    j["curvaturePercent"] = OrNull(f.curvaturePercent);
    j["c50Db"] = OrNull(f.c50Db.value);
    j["c80Db"] = OrNull(f.c80Db.value);
    j["d50"] = OrNull(f.d50.value);
    j["d50Percent"] = OrNull(Percent(f.d50.value));
    j["centreTimeMs"] = OrNull(f.centreTimeMs.value);
    j["sti"] = OrNull(f.sti);
    Json fits;
    fits["edt"] = FitJson(f.edt);
    fits["t20"] = FitJson(f.t20);
    fits["t30"] = FitJson(f.t30);
    j["fits"] = fits;
    Json marks;
    marks["edtSeconds"] = MarkJson(f.edt.mark);
    marks["t20Seconds"] = MarkJson(f.t20.mark);
    marks["t30Seconds"] = MarkJson(f.t30.mark);
    marks["c50Db"] = MarkJson(f.c50Db.mark, "dB");
    marks["c80Db"] = MarkJson(f.c80Db.mark, "dB");
    marks["d50Percent"] = MarkJson(f.d50.mark, "%");
    j["marks"] = marks;
    return j.dump(2) + '\n';
}

std::string AnalysisText(const EffectInput& effect, const EffectFigures& f,
                         const OnsetRule& onset) {
    std::ostringstream out;
    auto line = [&](const char* name, const std::string& value) {
        out << name << std::string(16 - std::char_traits<char>::length(name), ' ') << value << '\n';
    };
    auto mark = [&](const FigureMark& m, const char* unit) {
        if (m) {
            out << std::string(16, ' ') << "* " << MarkText(m, unit) << '\n';
        }
    };
    auto decay = [&](const char* name, const DecayFigure& d) {
        std::string value = Fixed(d.seconds, "%.3f", " s");
        if (d.seconds) {
            char fit[160];
            std::snprintf(
                fit, sizeof fit, "  (fit %.1f-%.1f ms: %zu points, r = %.4f, xi = %.1f permille)",
                d.rangeStartMs, d.rangeEndMs, d.points, d.correlation, d.nonLinearityPermille);
            value += fit;
        }
        line(name, value);
        mark(d.mark, "");
    };
    line("bins", std::to_string(effect.bins.size()));
    line("groupTime", RoundTripText(effect.groupTime) + " ms");
    line("stopTime", RoundTripText(effect.stopTime) + " ms");
    if (f.firstBin) {
        line("firstArrival",
             RoundTripText(f.firstArrivalMs) + " ms (bin " + std::to_string(*f.firstBin) + ")");
        line("onset", RoundTripText(f.onsetMs) + " ms (bin " + std::to_string(*f.onsetBin) + "; " +
                          OnsetChoice::Describe(onset) + ")");
        line("peak", RoundTripText(f.peakValue) + " at " + RoundTripText(f.peakMs) + " ms (bin " +
                         std::to_string(*f.peakBin) + ")");
    } else {
        line("firstArrival", "n/a (no bin has energy)");
        line("onset", "n/a");
        line("peak", "n/a");
    }
    decay("EDT", f.edt);
    decay("T20", f.t20);
    decay("T30", f.t30);
    line("curvature", Fixed(f.curvaturePercent, "%.1f", " %"));
    line("C50", Fixed(f.c50Db.value, "%.2f", " dB"));
    mark(f.c50Db.mark, "dB");
    line("C80", Fixed(f.c80Db.value, "%.2f", " dB"));
    mark(f.c80Db.mark, "dB");
    line("D50", Fixed(Percent(f.d50.value), "%.1f", " %"));
    mark(f.d50.mark, "%");
    line("centreTime", Fixed(f.centreTimeMs.value, "%.1f", " ms"));
    line("STI", Fixed(f.sti, "%.3f", ""));
    return out.str();
}

} // namespace

Command AddAnalyzeCommand(CLI::App& app) {
    auto options = std::make_shared<AnalyzeOptions>();
    CLI::App* sub = app.add_subcommand("analyze", "Print the figures of an effect file");
    sub->add_option("EFFECT.e3d", options->input, "The effect file")->required();
    AddGroupTimeOptions(*sub, options->groupTime);
    AddOnsetOptions(*sub, options->onset, "the figures");
    sub->add_flag("--json", options->json,
                  "Print JSON (null for a figure that is not available; marks as reason strings)");
    sub->footer("The energy of a bin is the square of its value; times are measured from the "
                "onset. EDT, T20 and T30 are least-squares fits of the backward-integrated decay "
                "(continuous between bin edges) between 0/-10, -5/-25 and -5/-35 dB; a figure "
                "whose range the decay does not reach is n/a. A figure with too thin a basis is "
                "printed with a line starting with '*' that says why.");
    return {sub, [options] {
                const EffectInput effect = LoadEffectOrFail(options->input, options->groupTime);
                const OnsetRule onset = options->onset.Rule();
                const EffectFigures figures = AnalyzeEffect(effect.bins, effect.groupTime, onset);
                std::cout << (options->json ? AnalysisJson(effect, figures, onset)
                                            : AnalysisText(effect, figures, onset));
                FlushStandardOutputOrFail();
                return static_cast<int>(kExitOk);
            }};
}

} // namespace sonivera
