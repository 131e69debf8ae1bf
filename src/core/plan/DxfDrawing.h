#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// What of a DXF drawing a floor plan can use, in the drawing's own units and coordinates (the
// object coordinate system of 2-D entities: z is dropped, an extrusion of −Z mirrors x).
enum class DxfKind { Line, Polyline, Solid, Hatch, Insert, Arc, Circle, Other };

struct DxfVertex {
    double x = 0.0;
    double y = 0.0;
    double bulge = 0.0; // a polyline edge from this vertex: tan(angle/4) of its arc, 0 straight
};

struct DxfEntity {
    DxfKind kind = DxfKind::Other;
    std::uint32_t layer = 0; // index into DxfDrawing::names
    std::uint32_t name = 0;  // Other: the entity type; Insert: the block's name (DxfDrawing::names)
    bool mirrored = false;   // extrusion along −Z
    // Line: 2; Polyline: its vertices; Solid: its 4 corners; Hatch: every loop's vertices.
    std::vector<DxfVertex> vertices;
    std::vector<std::uint32_t> loopStarts; // Hatch: where each boundary loop begins
    bool closed = false;
    double width = 0.0;       // Polyline: its width (0: a thin line)
    bool unsupported = false; // a 3-D polyline or mesh, a hatch with curved or spline edges
    // Insert: point, scale, rotation (degrees) and array; Arc, Circle: centre, radius, angles.
    double x = 0.0, y = 0.0;
    double scaleX = 1.0, scaleY = 1.0, rotation = 0.0;
    int columns = 1, rows = 1;
    double columnSpacing = 0.0, rowSpacing = 0.0;
    double radius = 0.0, startAngle = 0.0, endAngle = 360.0;
};

struct DxfBlock {
    std::uint32_t name = 0;
    double baseX = 0.0, baseY = 0.0;
    std::vector<DxfEntity> entities;
};

struct DxfDrawing {
    std::string version; // $ACADVER, e.g. "AC1015"
    bool binary = false;
    int insunits = 0; // $INSUNITS (0 unitless, 1 inches, 4 millimetres, 6 metres, ...)
    std::vector<std::string> names; // layer, entity type and block names, each once
    std::vector<DxfEntity> entities;
    std::vector<DxfBlock> blocks;
    std::size_t Count() const; // entities in the drawing and its blocks
};

// The most entities a drawing may hold, its blocks included (a plan has thousands).
constexpr std::size_t kMaxDxfEntities = 5000000;

// Reads a drawing from the bytes of an ASCII or binary DXF file of any version from R12 on.
// `progress` is told the fraction read now and then and returns false to stop the read (which
// then throws DxfCancelled). Throws DxfError for what is not a complete DXF drawing: not a DXF
// file, cut short (a section without its end), malformed tags, more than kMaxDxfEntities.
DxfDrawing ReadDxfDrawing(std::span<const std::uint8_t> bytes,
                          const std::function<bool(double)>& progress = {});

} // namespace sonivera
