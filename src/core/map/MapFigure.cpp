#include "core/map/MapFigure.h"

namespace sonivera {

const std::vector<MapFigureInfo>& MapFigures() {
    static const std::vector<MapFigureInfo> figures = {
        {MapFigure::Arrival, "arrival", "Первый приход", "мс", "ms"},
        {MapFigure::Edt, "edt", "EDT", "с", "s"},
        {MapFigure::T20, "t20", "T20", "с", "s"},
        {MapFigure::T30, "t30", "T30", "с", "s"},
        {MapFigure::C50, "c50", "C50", "дБ", "db"},
        {MapFigure::C80, "c80", "C80", "дБ", "db"},
        {MapFigure::D50, "d50", "D50", "%", "pct"},
        {MapFigure::CentreTime, "ts", "Центр. время", "мс", "ms"},
        {MapFigure::Sti, "sti", "STI", "", ""},
    };
    return figures;
}

const MapFigureInfo& InfoOf(MapFigure figure) {
    for (const MapFigureInfo& info : MapFigures()) {
        if (info.figure == figure) {
            return info;
        }
    }
    return MapFigures().front();
}

std::optional<MapFigure> MapFigureNamed(std::string_view name) {
    for (const MapFigureInfo& info : MapFigures()) {
        if (name == info.name) {
            return info.figure;
        }
    }
    return std::nullopt;
}

std::string MapFigureNames() {
    std::string names;
    for (const MapFigureInfo& info : MapFigures()) {
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    }
    return names;
}

std::optional<double> MapValue(const MapPointResult& point, MapFigure figure) {
    if (!point.computed) {
        return std::nullopt;
    }
    const EffectFigures& f = point.figures;
    switch (figure) {
    case MapFigure::Arrival:
        return f.firstBin ? std::optional<double>(f.firstArrivalMs) : std::nullopt;
    case MapFigure::Edt:
        return f.edt.seconds;
    case MapFigure::T20:
        return f.t20.seconds;
    case MapFigure::T30:
        return f.t30.seconds;
    case MapFigure::C50:
        return f.c50Db.value;
    case MapFigure::C80:
        return f.c80Db.value;
    case MapFigure::D50:
        return f.d50.value ? std::optional<double>(*f.d50.value * 100.0) : std::nullopt;
    case MapFigure::CentreTime:
        return f.centreTimeMs.value;
    case MapFigure::Sti:
        return f.sti;
    }
    return std::nullopt;
}

FigureMark MapMark(const MapPointResult& point, MapFigure figure) {
    if (!point.computed) {
        return {};
    }
    const EffectFigures& f = point.figures;
    switch (figure) {
    case MapFigure::Edt:
        return f.edt.mark;
    case MapFigure::T20:
        return f.t20.mark;
    case MapFigure::T30:
        return f.t30.mark;
    case MapFigure::C50:
        return f.c50Db.mark;
    case MapFigure::C80:
        return f.c80Db.mark;
    case MapFigure::D50:
        return f.d50.mark;
    default:
        return {};
    }
}

MapCoverage CoverageOf(const std::vector<MapPointResult>& results) {
    MapCoverage c;
    for (const MapPointResult& p : results) {
        if (!p.computed) {
            ++c.refused;
        } else {
            ++c.computed;
            c.reached += p.figures.firstBin.has_value() ? 1 : 0;
        }
    }
    return c;
}

} // namespace sonivera
