#include "cli/json/PathsJson.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace sonivera {

std::string EchoPathsToJsonText(const std::vector<EchoPath>& paths, std::size_t perSource) {
    using Json = nlohmann::ordered_json;
    Json list = Json::array();
    for (const EchoPath& path : paths) {
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
        list.push_back(std::move(item));
    }
    Json root;
    root["paths_per_source"] = perSource;
    root["paths"] = std::move(list);
    return root.dump(1) + '\n';
}

} // namespace sonivera
