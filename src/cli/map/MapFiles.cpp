#include "cli/map/MapFiles.h"

#include "cli/NumberText.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace sonivera {

namespace {

using Json = nlohmann::ordered_json;

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + '"';
}

std::string Column(const MapFigureInfo& info) {
    return std::string(info.name) + (*info.csvUnit != '\0' ? std::string("_") + info.csvUnit : "");
}

bool HasMarks(MapFigure figure) {
    return figure == MapFigure::Edt || figure == MapFigure::T20 || figure == MapFigure::T30 ||
           figure == MapFigure::C50 || figure == MapFigure::C80 || figure == MapFigure::D50;
}

const char* MarkUnit(MapFigure figure) {
    return figure == MapFigure::D50
               ? "%"
               : (figure == MapFigure::C50 || figure == MapFigure::C80 ? "dB" : "");
}

// One point's status, value and mark of a figure, for either kind of map.
struct PointView {
    std::string status;
    bool ok = false;
};

PointView StatusOf(const MapTable& t, std::size_t i) {
    const MapPointResult& a = t.scene[i];
    if (!t.difference) {
        return {a.computed ? "ok" : a.check, a.computed};
    }
    const MapPointResult& b = t.other[i];
    if (!a.computed) {
        return {a.check, false};
    }
    if (!b.computed) {
        return {b.check, false};
    }
    return {"ok", true};
}

std::optional<double> ValueOf(const MapTable& t, std::size_t i, MapFigure f) {
    const auto a = MapValue(t.scene[i], f);
    if (!t.difference) {
        return a;
    }
    const auto b = MapValue(t.other[i], f);
    return a && b ? std::optional<double>(*b - *a) : std::nullopt;
}

std::optional<double> OnsetOf(const MapTable& t, std::size_t i) {
    const auto onset = [](const MapPointResult& p) {
        return p.computed && p.figures.onsetBin ? std::optional<double>(p.figures.onsetMs)
                                                : std::nullopt;
    };
    const auto a = onset(t.scene[i]);
    if (!t.difference) {
        return a;
    }
    const auto b = onset(t.other[i]);
    return a && b ? std::optional<double>(*b - *a) : std::nullopt;
}

std::string MarkOf(const MapTable& t, std::size_t i, MapFigure f) {
    std::string text = MarkText(MapMark(t.scene[i], f), MarkUnit(f));
    if (t.difference) {
        const std::string other = MarkText(MapMark(t.other[i], f), MarkUnit(f));
        if (!other.empty()) {
            text += (text.empty() ? "other: " : "; other: ") + other;
        }
    }
    return text;
}

std::string Number(const std::optional<double>& v) {
    return v && std::isfinite(*v) ? RoundTripText(*v) : std::string();
}

Json JsonNumber(const std::optional<double>& v) {
    return v && std::isfinite(*v) ? Json(*v) : Json(nullptr);
}

} // namespace

std::string MapCsv(const MapTable& table) {
    std::string out = "x,y,status,onset_ms";
    for (const MapFigureInfo& info : MapFigures()) {
        out += ',' + Column(info);
        if (HasMarks(info.figure)) {
            out += ',' + std::string(info.name) + "_mark";
        }
    }
    out += '\n';
    for (std::size_t i = 0; i < table.grid.Count(); ++i) {
        const PointView status = StatusOf(table, i);
        out += RoundTripText(table.grid.PointX(i)) + ',' + RoundTripText(table.grid.PointY(i)) +
               ',' + Quoted(status.status) + ',' + Number(OnsetOf(table, i));
        for (const MapFigureInfo& info : MapFigures()) {
            out += ',' + Number(ValueOf(table, i, info.figure));
            if (HasMarks(info.figure)) {
                const std::string mark = MarkOf(table, i, info.figure);
                out += ',' + (mark.empty() ? std::string() : Quoted(mark));
            }
        }
        out += '\n';
    }
    return out;
}

std::string MapJson(const MapTable& table) {
    Json j;
    j["difference"] = table.difference;
    j["stepX"] = table.grid.stepX;
    j["stepY"] = table.grid.stepY;
    j["columns"] = table.grid.columns;
    j["rows"] = table.grid.rows;
    Json points = Json::array();
    for (std::size_t i = 0; i < table.grid.Count(); ++i) {
        Json p;
        p["x"] = table.grid.PointX(i);
        p["y"] = table.grid.PointY(i);
        p["status"] = StatusOf(table, i).status;
        p["onset_ms"] = JsonNumber(OnsetOf(table, i));
        Json marks = Json::object();
        for (const MapFigureInfo& info : MapFigures()) {
            p[Column(info)] = JsonNumber(ValueOf(table, i, info.figure));
            if (HasMarks(info.figure)) {
                const std::string mark = MarkOf(table, i, info.figure);
                marks[info.name] = mark.empty() ? Json(nullptr) : Json(mark);
            }
        }
        p["marks"] = marks;
        points.push_back(std::move(p));
    }
    j["points"] = std::move(points);
    return j.dump(1) + '\n';
}

} // namespace sonivera
