// Feeds arbitrary bytes to the effect-file reader and, for what it accepts, the analysis behind
// `analyze`, `plot`, `wav` and `auralize`. Every input must either be refused with the format error
// or give finite bins of exactly the length the bytes hold, whose figures are computed without a
// crash or a sanitizer report (at the grouping widths those commands take most often).
#include "core/analysis/EffectFigures.h"
#include "core/analysis/EffectReader.h"

#include <cmath>
#include <cstdlib>

using namespace sonivera;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EffectFileData effect;
    try {
        effect = ReadEffectBytes({data, size});
    } catch (const EffectFormatError&) {
        return 0;
    }
    if (size != 19 + 8 * effect.bins.size() || !std::isfinite(effect.stopTime) ||
        effect.stopTime < 0.0) {
        std::abort();
    }
    for (const double bin : effect.bins) {
        if (!std::isfinite(bin)) {
            std::abort();
        }
    }
    if (effect.bins.size() <= 4096) {
        for (const double groupTime : {10.0, 1.0, 0.25}) {
            (void)AnalyzeEffect(effect.bins, groupTime);
        }
    }
    return 0;
}
