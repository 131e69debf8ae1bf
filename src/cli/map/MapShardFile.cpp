#include "cli/map/MapShardFile.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <stdexcept>

namespace sonivera {

namespace {

using Json = nlohmann::json;
constexpr const char* kFormat = "sonivera-map-shard";
constexpr int kFormatVersion = 1;

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Hex64(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::vector<std::uint8_t> FromHex(const std::string& text) {
    if (text.size() % 2 != 0) {
        throw std::runtime_error("the scene is damaged");
    }
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        throw std::runtime_error("the scene is damaged");
    };
    std::vector<std::uint8_t> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(digit(text[2 * i]) * 16 + digit(text[2 * i + 1]));
    }
    return bytes;
}

Json Optional(const std::optional<double>& v) {
    return v ? Json(*v) : Json(nullptr);
}

std::optional<double> OptionalOf(const Json& j) {
    return j.is_null() ? std::nullopt : std::optional<double>(j.get<double>());
}

Json MarkJson(const FigureMark& m) {
    return Json::array({static_cast<int>(m.reason), m.a, m.b});
}

FigureMark MarkOf(const Json& j) {
    const int reason = j.at(0).get<int>();
    if (reason < 0 || reason > static_cast<int>(MarkReason::NothingBeyond)) {
        throw std::runtime_error("a mark is damaged");
    }
    return {static_cast<MarkReason>(reason), j.at(1).get<double>(), j.at(2).get<double>()};
}

Json PointJson(const MapPointResult& p) {
    Json j;
    j["computed"] = p.computed;
    j["check"] = p.check;
    const EffectFigures& f = p.figures;
    j["firstBin"] = f.firstBin ? Json(*f.firstBin) : Json(nullptr);
    j["onsetBin"] = f.onsetBin ? Json(*f.onsetBin) : Json(nullptr);
    j["firstArrivalMs"] = f.firstArrivalMs;
    j["onsetMs"] = f.onsetMs;
    const auto decay = [](const DecayFigure& d) {
        return Json::array({Optional(d.seconds), MarkJson(d.mark)});
    };
    const auto marked = [](const MarkedValue& v) {
        return Json::array({Optional(v.value), MarkJson(v.mark)});
    };
    j["edt"] = decay(f.edt);
    j["t20"] = decay(f.t20);
    j["t30"] = decay(f.t30);
    j["c50"] = marked(f.c50Db);
    j["c80"] = marked(f.c80Db);
    j["d50"] = marked(f.d50);
    j["ts"] = marked(f.centreTimeMs);
    j["sti"] = Optional(f.sti);
    return j;
}

MapPointResult PointOf(const Json& j) {
    MapPointResult p;
    p.computed = j.at("computed").get<bool>();
    p.check = j.at("check").get<std::string>();
    EffectFigures& f = p.figures;
    if (!j.at("firstBin").is_null()) {
        f.firstBin = j.at("firstBin").get<std::size_t>();
    }
    if (!j.at("onsetBin").is_null()) {
        f.onsetBin = j.at("onsetBin").get<std::size_t>();
    }
    f.firstArrivalMs = j.at("firstArrivalMs").get<double>();
    f.onsetMs = j.at("onsetMs").get<double>();
    const auto decay = [](const Json& a, DecayFigure& d) {
        d.seconds = OptionalOf(a.at(0));
        d.mark = MarkOf(a.at(1));
    };
    const auto marked = [](const Json& a, MarkedValue& v) {
        v.value = OptionalOf(a.at(0));
        v.mark = MarkOf(a.at(1));
    };
    decay(j.at("edt"), f.edt);
    decay(j.at("t20"), f.t20);
    decay(j.at("t30"), f.t30);
    marked(j.at("c50"), f.c50Db);
    marked(j.at("c80"), f.c80Db);
    marked(j.at("d50"), f.d50);
    marked(j.at("ts"), f.centreTimeMs);
    f.sti = OptionalOf(j.at("sti"));
    return p;
}

} // namespace

std::string ContentHash(const std::vector<std::uint8_t>& bytes) {
    return "fnv1a64:" + Hex64(Fnv1a(std::string(bytes.begin(), bytes.end())));
}

std::string MapShardText(const MapShard& s) {
    Json points = Json::array();
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        Json p = Json::array({s.points[i], PointJson(s.results[i])});
        if (!s.other.empty()) {
            p.push_back(PointJson(s.other[i]));
        }
        points.push_back(std::move(p));
    }
    const std::string pointsText = points.dump();
    Json j;
    j["format"] = kFormat;
    j["formatVersion"] = kFormatVersion;
    j["program"] = s.program;
    j["shard"] = s.shard;
    j["shards"] = s.shards;
    j["sceneHash"] = s.sceneHash;
    j["compareHash"] = s.compareHash;
    j["width"] = s.grid.width;
    j["height"] = s.grid.height;
    j["stepX"] = s.grid.stepX;
    j["stepY"] = s.grid.stepY;
    j["columns"] = s.grid.columns;
    j["rows"] = s.grid.rows;
    j["onset"] = s.onset;
    j["figures"] = s.figures;
    j["scene"] = ToHex(s.scene);
    j["points"] = std::move(points);
    j["digest"] = Hex64(Fnv1a(pointsText));
    return j.dump() + '\n';
}

MapShard ParseMapShard(const std::string& text) {
    Json j;
    try {
        j = Json::parse(text);
    } catch (const Json::exception&) {
        throw std::runtime_error("not a map shard, or a damaged one (it does not read as JSON)");
    }
    try {
        if (!j.is_object() || j.value("format", std::string()) != kFormat) {
            throw std::runtime_error("not a map shard");
        }
        if (j.at("formatVersion").get<int>() != kFormatVersion) {
            throw std::runtime_error("a map shard of another format version");
        }
        MapShard s;
        s.program = j.at("program").get<std::string>();
        s.shard = j.at("shard").get<std::size_t>();
        s.shards = j.at("shards").get<std::size_t>();
        s.sceneHash = j.at("sceneHash").get<std::string>();
        s.compareHash = j.at("compareHash").get<std::string>();
        s.grid.width = j.at("width").get<double>();
        s.grid.height = j.at("height").get<double>();
        s.grid.stepX = j.at("stepX").get<double>();
        s.grid.stepY = j.at("stepY").get<double>();
        s.grid.columns = j.at("columns").get<std::size_t>();
        s.grid.rows = j.at("rows").get<std::size_t>();
        s.onset = j.at("onset").get<std::string>();
        s.figures = j.at("figures").get<std::vector<std::string>>();
        s.scene = FromHex(j.at("scene").get<std::string>());
        const Json& points = j.at("points");
        if (Hex64(Fnv1a(points.dump())) != j.at("digest").get<std::string>()) {
            throw std::runtime_error("damaged: its points do not match their digest");
        }
        if (ContentHash(s.scene) != s.sceneHash) {
            throw std::runtime_error("damaged: its scene does not match its hash");
        }
        if (s.shards == 0 || s.shard >= s.shards || s.grid.columns * s.grid.rows > kMaxMapPoints) {
            throw std::runtime_error("damaged: impossible shard or grid numbers");
        }
        const bool difference = !s.compareHash.empty();
        for (const Json& p : points) {
            s.points.push_back(p.at(0).get<std::size_t>());
            s.results.push_back(PointOf(p.at(1)));
            if (difference) {
                s.other.push_back(PointOf(p.at(2)));
            }
        }
        return s;
    } catch (const Json::exception& e) {
        throw std::runtime_error(std::string("a damaged map shard (") + e.what() + ")");
    }
}

} // namespace sonivera
