#include "cli/map/MapShardFile.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace sonivera {

namespace {

using Json = nlohmann::json;
constexpr const char* kFormat = "sonivera-map-shard";
constexpr int kFormatVersion = 2;
// The largest scene side a scene file may have, and a bin index far beyond any effect's.
constexpr double kMaxSceneSide = 100000.0;
constexpr std::uint64_t kMaxBin = std::uint64_t{1} << 53;

std::uint64_t Fnv1a(std::string_view text) {
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

// A shard is hostile input like any file: every number is checked for its kind and range before
// it is converted, so a float such as 1e+30 where a count belongs is refused, not cast.
std::uint64_t WholeOf(const Json& j, std::uint64_t max, const char* what) {
    if (j.is_number_unsigned() && j.get<std::uint64_t>() <= max) {
        return j.get<std::uint64_t>();
    }
    if (j.is_number_integer() && j.get<std::int64_t>() >= 0 &&
        static_cast<std::uint64_t>(j.get<std::int64_t>()) <= max) {
        return static_cast<std::uint64_t>(j.get<std::int64_t>());
    }
    throw std::runtime_error(std::string("damaged: ") + what + " is not a whole number from 0 to " +
                             std::to_string(max));
}

double RealOf(const Json& j, const char* what) {
    if (!j.is_number() || !std::isfinite(j.get<double>())) {
        throw std::runtime_error(std::string("damaged: ") + what + " is not a finite number");
    }
    return j.get<double>();
}

std::optional<double> OptionalOf(const Json& j) {
    return j.is_null() ? std::nullopt : std::optional<double>(RealOf(j, "a figure"));
}

Json MarkJson(const FigureMark& m) {
    return Json::array({static_cast<int>(m.reason), m.a, m.b});
}

FigureMark MarkOf(const Json& j) {
    const auto reason =
        WholeOf(j.at(0), static_cast<std::uint64_t>(MarkReason::NothingBeyond), "a mark");
    return {static_cast<MarkReason>(reason), RealOf(j.at(1), "a mark"), RealOf(j.at(2), "a mark")};
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
        f.firstBin = WholeOf(j.at("firstBin"), kMaxBin, "a bin");
    }
    if (!j.at("onsetBin").is_null()) {
        f.onsetBin = WholeOf(j.at("onsetBin"), kMaxBin, "a bin");
    }
    f.firstArrivalMs = RealOf(j.at("firstArrivalMs"), "a time");
    f.onsetMs = RealOf(j.at("onsetMs"), "a time");
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

// A shard's text is one header line, one line per point and a last line with the digest of
// every byte before it. Reading it line by line keeps the memory near the file's own size (a
// document tree of a million points took over ten times the file), and the digest covers the
// header, so a flipped bit in a step or a count is found like one in a point.
std::string HeaderLine(const MapShard& s) {
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
    j["points"] = s.points.size();
    j["scene"] = ToHex(s.scene);
    return j.dump() + '\n';
}

bool IsContentHash(const std::string& text) {
    return text.size() == 24 && text.rfind("fnv1a64:", 0) == 0 &&
           text.find_first_not_of("0123456789abcdef", 8) == std::string::npos;
}

// The lines of the text, each without its '\n'; the text must end with one.
std::vector<std::string_view> Lines(std::string_view text) {
    if (text.empty() || text.back() != '\n') {
        throw std::runtime_error("damaged: it is cut short");
    }
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

Json ParseLine(std::string_view line) {
    try {
        return Json::parse(line);
    } catch (const Json::exception&) {
        throw std::runtime_error("damaged: a line does not read as JSON");
    }
}

// Reads and checks the header: every count and size within its range and consistent with the
// others before anything is allocated for the points.
MapShard HeaderOf(const Json& j) {
    if (!j.is_object() || j.value("format", std::string()) != kFormat) {
        throw std::runtime_error("not a map shard");
    }
    if (!j.at("formatVersion").is_number_integer() ||
        j.at("formatVersion").get<std::int64_t>() != kFormatVersion) {
        throw std::runtime_error("a map shard of another format version");
    }
    MapShard s;
    s.program = j.at("program").get<std::string>();
    s.shards = WholeOf(j.at("shards"), kMaxMapShards, "the shard count");
    s.shard = WholeOf(j.at("shard"), kMaxMapShards, "the shard's index");
    if (s.shards == 0 || s.shard >= s.shards) {
        throw std::runtime_error("damaged: shard " + std::to_string(s.shard) + " of " +
                                 std::to_string(s.shards) + " cannot be");
    }
    s.sceneHash = j.at("sceneHash").get<std::string>();
    s.compareHash = j.at("compareHash").get<std::string>();
    if (!IsContentHash(s.sceneHash) || !(s.compareHash.empty() || IsContentHash(s.compareHash))) {
        throw std::runtime_error("damaged: a scene hash is malformed");
    }
    SceneLayout layout;
    layout.width = RealOf(j.at("width"), "the width");
    layout.height = RealOf(j.at("height"), "the height");
    for (const double side : {layout.width, layout.height}) {
        if (!(side > 0.0 && side <= kMaxSceneSide)) {
            throw std::runtime_error("damaged: the scene's size is out of range");
        }
    }
    const double stepX = RealOf(j.at("stepX"), "the step");
    const double stepY = RealOf(j.at("stepY"), "the step");
    const std::uint64_t columns = WholeOf(j.at("columns"), kMaxMapPoints, "the column count");
    const std::uint64_t rows = WholeOf(j.at("rows"), kMaxMapPoints, "the row count");
    try {
        s.grid = MakeMapGrid(layout, stepX, stepY);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(std::string("damaged: ") + e.what());
    }
    if (s.grid.columns != columns || s.grid.rows != rows) {
        throw std::runtime_error("damaged: its columns and rows are not those of its steps");
    }
    s.onset = j.at("onset").get<std::string>();
    s.figures = j.at("figures").get<std::vector<std::string>>();
    const std::size_t count = s.grid.Count();
    const std::size_t expected = s.shard < count ? (count - s.shard - 1) / s.shards + 1 : 0;
    if (WholeOf(j.at("points"), kMaxMapPoints, "the point count") != expected) {
        throw std::runtime_error("damaged: its point count is not that of shard " +
                                 std::to_string(s.shard) + " of " + std::to_string(s.shards));
    }
    s.scene = FromHex(j.at("scene").get<std::string>());
    if (ContentHash(s.scene) != s.sceneHash) {
        throw std::runtime_error("damaged: its scene does not match its hash");
    }
    return s;
}

} // namespace

std::string ContentHash(const std::vector<std::uint8_t>& bytes) {
    return "fnv1a64:" + Hex64(Fnv1a(std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                     bytes.size())));
}

std::string MapShardText(const MapShard& s) {
    const auto line = [&](std::size_t i) {
        Json p = Json::array({s.points[i], PointJson(s.results[i])});
        if (!s.other.empty()) {
            p.push_back(PointJson(s.other[i]));
        }
        return p.dump() + '\n';
    };
    std::string text = HeaderLine(s);
    // Room for every line at once, judged from the first with a margin, so a text of hundreds of
    // megabytes is not copied as it grows.
    if (!s.points.empty()) {
        text.reserve(text.size() + (line(0).size() + 64) * s.points.size() + 64);
    }
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        text += line(i);
    }
    Json digest;
    digest["digest"] = Hex64(Fnv1a(text));
    return text + digest.dump() + '\n';
}

MapShard ParseMapShard(std::string_view text) {
    if (text.empty() || text.front() != '{') {
        throw std::runtime_error("not a map shard");
    }
    try {
        const std::vector<std::string_view> lines = Lines(text);
        const Json digest = ParseLine(lines.back());
        const std::size_t covered = text.size() - lines.back().size() - 1;
        if (!digest.is_object() || !digest.contains("digest") || !digest.at("digest").is_string() ||
            digest.at("digest").get<std::string>() != Hex64(Fnv1a(text.substr(0, covered)))) {
            throw std::runtime_error("damaged: it does not match its digest");
        }
        MapShard s = HeaderOf(ParseLine(lines.front()));
        const std::size_t count = lines.size() - 2;
        if (count !=
            (s.shard < s.grid.Count() ? (s.grid.Count() - s.shard - 1) / s.shards + 1 : 0)) {
            throw std::runtime_error("damaged: its points are not those of its header");
        }
        const bool difference = !s.compareHash.empty();
        s.points.reserve(count);
        s.results.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const Json p = ParseLine(lines[i + 1]);
            if (!p.is_array() || p.size() != (difference ? 3u : 2u) ||
                WholeOf(p.at(0), kMaxMapPoints, "a point's index") != s.shard + i * s.shards) {
                throw std::runtime_error("damaged: its points are not those of shard " +
                                         std::to_string(s.shard));
            }
            s.points.push_back(s.shard + i * s.shards);
            s.results.push_back(PointOf(p.at(1)));
            if (difference) {
                s.other.push_back(PointOf(p.at(2)));
            }
        }
        return s;
    } catch (const Json::exception& e) {
        throw std::runtime_error(std::string("damaged (") + e.what() + ")");
    }
}

} // namespace sonivera
