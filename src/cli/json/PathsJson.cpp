#include "cli/json/PathsJson.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace sonivera {

namespace {

constexpr std::size_t kPathsBetweenLooks = 256;

// One path as the object it is in the list, indented as the whole document's dump(1) indents it
// (two levels deep).
std::string PathText(const EchoPath& path) {
    using Json = nlohmann::ordered_json;
    Json points = Json::array();
    for (const PathPoint& p : path.points) {
        points.push_back(Json::array({p.x, p.y}));
    }
    Json item;
    item["source"] = path.source;
    item["ray"] = path.ray;
    item["bin"] = path.bin;
    item["delay_s"] = path.delay;
    item["amplitude"] = path.amplitude;
    item["level_db"] = 20.0 * std::log10(path.amplitude); // recorded amplitudes are positive
    item["reflections"] = path.reflections;
    item["passages"] = path.passages;
    item["points"] = std::move(points);
    const std::string flat = item.dump(1);
    std::string text = "  ";
    text.reserve(flat.size() + flat.size() / 8);
    for (const char c : flat) {
        text += c;
        if (c == '\n') {
            text += "  ";
        }
    }
    return text;
}

} // namespace

std::string EchoPathsToJsonText(const std::vector<EchoPath>& paths, std::size_t perSource,
                                const std::atomic<bool>* cancel) {
    // Written path by path rather than as one document: the stop flag is looked at as it goes,
    // and no second copy of every path is held.
    std::string text = "{\n \"paths_per_source\": " + std::to_string(perSource) + ",\n \"paths\": ";
    if (paths.empty()) {
        return text + "[]\n}\n";
    }
    text += "[\n";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (cancel && i % kPathsBetweenLooks == 0 && cancel->load()) {
            throw PathsJsonCancelled();
        }
        if (i > 0) {
            text += ",\n";
        }
        text += PathText(paths[i]);
    }
    return text + "\n ]\n}\n";
}

} // namespace sonivera
