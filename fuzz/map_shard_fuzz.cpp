// Feeds arbitrary text to the shard reader and the merge behind `map-merge`. The input is up to
// three shard bodies separated by NUL bytes; each gets the digest line a shard ends with, so the
// fuzzer reaches the field checks instead of stopping at the digest (a forger can recompute it
// too). What the merge accepts is turned into the CSV and the picture's colour field and drawn on
// a port that draws nothing: every step must end in a refusal or finish without a crash, a hang
// or a sanitizer report.
#include "cli/map/MapShardMerge.h"
#include "core/map/MapPicture.h"
#include "core/tracer/TraceScene.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

using namespace sonivera;

namespace {

std::string WithDigest(std::string_view body) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : body) {
        h = (h ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return std::string(body) + "{\"digest\":\"" + hex + "\"}\n";
}

class NoPort : public PlotPort {
public:
    void FillRect(double, double, double, double, PlotColour) override {}
    void Line(double, double, double, double, PlotColour, double) override {}
    void Polyline(std::span<const PlotPoint>, PlotColour, double) override {}
    void Text(double, double, const std::string&, TextAnchorX, TextAnchorY, PlotColour) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    MapShardMerger merger;
    MapTable table;
    try {
        std::size_t from = 0;
        for (int part = 0; part < 3 && from <= input.size(); ++part) {
            const std::size_t end = std::min(input.find('\0', from), input.size());
            merger.Add("shard" + std::to_string(part), WithDigest(input.substr(from, end - from)));
            from = end + 1;
        }
        table = merger.Finish();
    } catch (const std::runtime_error&) {
        return 0;
    }
    if (table.grid.Count() > 4096) {
        return 0; // a valid large map: its cost is the map's, not the reader's
    }
    MapCsv(table);
    MapJson(table);
    const MapField field = table.difference
                               ? DifferenceOf(table.grid, table.scene, table.other, MapFigure::C50)
                               : FieldOf(table.grid, table.scene, MapFigure::C50);
    NoPort port;
    DrawMapPicture(port, SnapshotScene(*merger.Scene()), field, 900,
                   MapPictureHeight(table.grid, 900));
    return 0;
}
