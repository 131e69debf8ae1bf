#include "cli/map/MapOutputs.h"

#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "cli/render/CairoPlot.h"
#include "core/map/MapPicture.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/TraceScene.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace sonivera {

namespace {

PlotFormat PictureFormat(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png") {
        return PlotFormat::Png;
    }
    if (ext == ".svg") {
        return PlotFormat::Svg;
    }
    throw CliFailure(kExitBadInput, path + ": the picture must end in .png or .svg");
}

} // namespace

void CheckMapPicturePathOrFail(const std::string& path) {
    if (!path.empty()) {
        PictureFormat(path);
    }
}

void CheckMapPictureSizeOrFail(const std::string& path, const MapGrid& grid, int width) {
    if (path.empty()) {
        return;
    }
    const double height = MapPictureHeight(grid, width);
    if (height <= kMaxMapPictureSide) {
        return;
    }
    std::string fits = "no width fits";
    for (int w = width; w >= 300; --w) {
        if (MapPictureHeight(grid, w) <= kMaxMapPictureSide) {
            fits = "--width " + std::to_string(w) + " or less fits";
            break;
        }
    }
    char tall[64];
    std::snprintf(tall, sizeof tall, "%.0f", height);
    throw CliFailure(kExitBadInput,
                     path + ": the picture would be " + tall + " px tall at --width " +
                         std::to_string(width) + ", more than " +
                         std::to_string(static_cast<int>(kMaxMapPictureSide)) + " (" + fits +
                         "; the CSV and JSON have no limit). "
                         "Nothing was calculated or written.");
}

void WriteMapOutputsOrFail(const MapTable& table, const SceneSettings& scene, MapFigure figure,
                           int width, const MapOutputPaths& paths) {
    std::vector<FileOutput> outputs;
    std::string csv, json;
    std::vector<std::uint8_t> picture;
    if (!paths.csv.empty()) {
        csv = MapCsv(table);
        outputs.push_back({paths.csv, TextBytes(csv)});
    }
    if (!paths.json.empty()) {
        json = MapJson(table);
        outputs.push_back({paths.json, TextBytes(json)});
    }
    if (!paths.picture.empty()) {
        const MapField field = table.difference
                                   ? DifferenceOf(table.grid, table.scene, table.other, figure)
                                   : FieldOf(table.grid, table.scene, figure);
        const TraceScene plan = SnapshotScene(scene);
        const int height = static_cast<int>(MapPictureHeight(table.grid, width));
        const PlotFormat format = PictureFormat(paths.picture);
        try {
            picture = RenderPicture(
                [&](PlotPort& port) { DrawMapPicture(port, plan, field, width, height); }, width,
                height, format);
        } catch (const std::runtime_error& e) {
            throw CliFailure(kExitWriteFailed, paths.picture + ": " + e.what());
        }
        outputs.push_back({paths.picture, picture});
    }
    WriteOutputsOrFail(outputs);
}

} // namespace sonivera
