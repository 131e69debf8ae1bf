#include "core/plan/DxfDrawing.h"

#include "core/plan/DxfError.h"
#include "core/plan/DxfTagReader.h"

#include <algorithm>
#include <unordered_map>

namespace sonivera {

namespace {

// The tags of one entity: everything from its (0, TYPE) to the next code 0.
struct EntityTags {
    std::string type;
    std::vector<DxfTag> tags;
};

class DrawingParser {
public:
    DrawingParser(std::span<const std::uint8_t> bytes, const std::function<bool(double)>& progress)
        : m_reader(bytes), m_progress(progress) {}

    DxfDrawing Parse();

private:
    bool Advance();
    bool IsZero(const char* value) const { return m_has && m_tag.code == 0 && m_tag.text == value; }
    std::uint32_t Name(const std::string& text);
    EntityTags ReadEntity();
    void ReadHeader();
    void ReadEntities(std::vector<DxfEntity>& into, const char* end);
    void ReadKind(const EntityTags& raw, DxfEntity& e);
    void ReadPolylineVertices(DxfEntity& e);
    void SkipAttributes();
    void ReadBlocks();
    void SkipSection();
    void Add(std::vector<DxfEntity>& into, DxfEntity entity);

    DxfTagReader m_reader;
    const std::function<bool(double)>& m_progress;
    DxfTag m_tag;
    bool m_has = false;
    std::size_t m_count = 0;
    std::size_t m_tags = 0;
    DxfDrawing m_drawing;
    std::unordered_map<std::string, std::uint32_t> m_names;
};

bool DrawingParser::Advance() {
    m_has = m_reader.Next(m_tag);
    while (m_has && m_tag.code == 999) { // comments
        m_has = m_reader.Next(m_tag);
    }
    if (m_progress && (++m_tags & 4095) == 0 && !m_progress(m_reader.Fraction())) {
        throw DxfCancelled();
    }
    return m_has;
}

std::uint32_t DrawingParser::Name(const std::string& text) {
    const auto [it, added] =
        m_names.emplace(text, static_cast<std::uint32_t>(m_drawing.names.size()));
    if (added) {
        m_drawing.names.push_back(text);
    }
    return it->second;
}

EntityTags DrawingParser::ReadEntity() {
    EntityTags entity{m_tag.text, {}};
    while (Advance() && m_tag.code != 0) {
        entity.tags.push_back(m_tag);
    }
    return entity;
}

void ReadLine(const std::vector<DxfTag>& tags, DxfEntity& e) {
    e.kind = DxfKind::Line;
    e.vertices.resize(2);
    for (const DxfTag& t : tags) {
        switch (t.code) {
        case 10:
            e.vertices[0].x = t.real;
            break;
        case 20:
            e.vertices[0].y = t.real;
            break;
        case 11:
            e.vertices[1].x = t.real;
            break;
        case 21:
            e.vertices[1].y = t.real;
            break;
        default:
            break;
        }
    }
}

// Vertices follow as (10, 20[, 40, 41, 42]) groups, each starting at its 10.
void ReadLwPolyline(const std::vector<DxfTag>& tags, DxfEntity& e) {
    e.kind = DxfKind::Polyline;
    for (const DxfTag& t : tags) {
        if (t.code == 70) {
            e.closed = (t.integer & 1) != 0;
        } else if (t.code == 43) {
            e.width = t.real;
        } else if (t.code == 10) {
            e.vertices.push_back({t.real, 0.0, 0.0});
        } else if (t.code == 20 && !e.vertices.empty()) {
            e.vertices.back().y = t.real;
        } else if (t.code == 42 && !e.vertices.empty()) {
            e.vertices.back().bulge = t.real;
        } else if (t.code == 40 && !e.vertices.empty()) {
            e.width = std::max(e.width, t.real);
        }
    }
}

// The four corners of a SOLID or TRACE (10..13, 20..23).
void ReadSolid(const std::vector<DxfTag>& tags, DxfEntity& e) {
    e.kind = DxfKind::Solid;
    e.vertices.resize(4);
    for (const DxfTag& t : tags) {
        if (t.code >= 10 && t.code <= 13) {
            e.vertices[static_cast<std::size_t>(t.code - 10)].x = t.real;
        } else if (t.code >= 20 && t.code <= 23) {
            e.vertices[static_cast<std::size_t>(t.code - 20)].y = t.real;
        }
    }
    e.closed = true;
}

void ReadArcOrCircle(const std::vector<DxfTag>& tags, DxfEntity& e, bool arc) {
    e.kind = arc ? DxfKind::Arc : DxfKind::Circle;
    for (const DxfTag& t : tags) {
        switch (t.code) {
        case 10:
            e.x = t.real;
            break;
        case 20:
            e.y = t.real;
            break;
        case 40:
            e.radius = t.real;
            break;
        case 50:
            e.startAngle = t.real;
            break;
        case 51:
            e.endAngle = t.real;
            break;
        default:
            break;
        }
    }
}

// An insertion's block (by name), point, scale, rotation and array; whether attributes follow.
bool ReadInsert(const std::vector<DxfTag>& tags, DxfEntity& e,
                const std::function<std::uint32_t(const std::string&)>& name) {
    e.kind = DxfKind::Insert;
    bool attributes = false;
    for (const DxfTag& t : tags) {
        switch (t.code) {
        case 2:
            e.name = name(t.text);
            break;
        case 10:
            e.x = t.real;
            break;
        case 20:
            e.y = t.real;
            break;
        case 41:
            e.scaleX = t.real;
            break;
        case 42:
            e.scaleY = t.real;
            break;
        case 50:
            e.rotation = t.real;
            break;
        case 44:
            e.columnSpacing = t.real;
            break;
        case 45:
            e.rowSpacing = t.real;
            break;
        case 66:
            attributes = t.integer != 0;
            break;
        case 70:
            e.columns = static_cast<int>(std::clamp<std::int64_t>(t.integer, 1, 32767));
            break;
        case 71:
            e.rows = static_cast<int>(std::clamp<std::int64_t>(t.integer, 1, 32767));
            break;
        default:
            break;
        }
    }
    return attributes;
}

void DrawingParser::Add(std::vector<DxfEntity>& into, DxfEntity entity) {
    if (++m_count > kMaxDxfEntities) {
        throw DxfError("the drawing holds more than " + std::to_string(kMaxDxfEntities) +
                       " entities");
    }
    into.push_back(std::move(entity));
}

// A hatch's boundary loops: polyline paths and paths of line edges are taken; a path with an
// arc, an ellipse or a spline makes the hatch unsupported (reported, not guessed at).
void ReadHatch(const std::vector<DxfTag>& tags, DxfEntity& e) {
    std::size_t i = 0;
    while (i < tags.size() && tags[i].code != 91) {
        ++i;
    }
    if (i == tags.size()) {
        e.unsupported = true;
        return;
    }
    const auto expect = [&](int code) -> const DxfTag& {
        if (i >= tags.size() || tags[i].code != code) {
            throw DxfError("a HATCH's boundary is malformed (group code " + std::to_string(code) +
                           " expected)");
        }
        return tags[i++];
    };
    const std::int64_t paths = expect(91).integer;
    for (std::int64_t p = 0; p < paths && !e.unsupported; ++p) {
        const std::int64_t flags = expect(92).integer;
        e.loopStarts.push_back(static_cast<std::uint32_t>(e.vertices.size()));
        if ((flags & 2) != 0) {
            const bool bulges = expect(72).integer != 0;
            expect(73);
            const std::int64_t count = expect(93).integer;
            for (std::int64_t v = 0; v < count; ++v) {
                DxfVertex vertex;
                vertex.x = expect(10).real;
                vertex.y = expect(20).real;
                if (bulges) {
                    vertex.bulge = expect(42).real;
                }
                e.vertices.push_back(vertex);
            }
        } else {
            const std::int64_t edges = expect(93).integer;
            for (std::int64_t k = 0; k < edges; ++k) {
                if (expect(72).integer != 1) {
                    e.unsupported = true; // an arc, ellipse or spline edge
                    return;
                }
                DxfVertex a, b;
                a.x = expect(10).real;
                a.y = expect(20).real;
                b.x = expect(11).real;
                b.y = expect(21).real;
                e.vertices.push_back(a);
                (void)b; // the next edge starts where this one ends
            }
        }
        // The source objects of an associative boundary.
        if (i < tags.size() && tags[i].code == 97) {
            const std::int64_t sources = tags[i++].integer;
            for (std::int64_t s = 0; s < sources && i < tags.size() && tags[i].code == 330; ++s) {
                ++i;
            }
        }
    }
    e.closed = true;
}

// An old-style polyline's flags, widths and the VERTEX entities that follow it up to SEQEND.
void DrawingParser::ReadPolylineVertices(DxfEntity& e) {
    while (IsZero("VERTEX")) {
        DxfVertex v;
        for (const DxfTag& t : ReadEntity().tags) {
            switch (t.code) {
            case 10:
                v.x = t.real;
                break;
            case 20:
                v.y = t.real;
                break;
            case 42:
                v.bulge = t.real;
                break;
            case 40:
                e.width = std::max(e.width, t.real);
                break;
            default:
                break;
            }
        }
        e.vertices.push_back(v);
    }
    if (!IsZero("SEQEND")) {
        throw DxfError("a POLYLINE does not end with SEQEND");
    }
    ReadEntity();
}

// An insertion's attributes (text) up to SEQEND: no plan.
void DrawingParser::SkipAttributes() {
    while (m_has && IsZero("ATTRIB")) {
        ReadEntity();
    }
    if (IsZero("SEQEND")) {
        ReadEntity();
    }
}

void DrawingParser::ReadKind(const EntityTags& raw, DxfEntity& e) {
    const std::string& type = raw.type;
    if (type == "LINE") {
        ReadLine(raw.tags, e);
    } else if (type == "LWPOLYLINE") {
        ReadLwPolyline(raw.tags, e);
    } else if (type == "POLYLINE") {
        e.kind = DxfKind::Polyline;
        for (const DxfTag& t : raw.tags) {
            if (t.code == 70) {
                e.closed = (t.integer & 1) != 0;
                e.unsupported = (t.integer & (8 | 16 | 64)) != 0;
            } else if (t.code == 40 || t.code == 41) {
                e.width = std::max(e.width, t.real);
            }
        }
        ReadPolylineVertices(e);
    } else if (type == "SOLID" || type == "TRACE") {
        ReadSolid(raw.tags, e);
    } else if (type == "HATCH") {
        e.kind = DxfKind::Hatch;
        ReadHatch(raw.tags, e);
    } else if (type == "INSERT") {
        if (ReadInsert(raw.tags, e, [this](const std::string& n) { return Name(n); })) {
            SkipAttributes();
        }
    } else if (type == "ARC" || type == "CIRCLE") {
        ReadArcOrCircle(raw.tags, e, type == "ARC");
    } else {
        e.kind = DxfKind::Other;
        e.name = Name(type);
    }
}

// Reads entities from the current tag, a (0, TYPE), up to (0, end).
void DrawingParser::ReadEntities(std::vector<DxfEntity>& into, const char* end) {
    while (m_has && !IsZero(end)) {
        if (m_tag.code != 0) {
            throw DxfError("an entity does not start with group code 0 (code " +
                           std::to_string(m_tag.code) + ")");
        }
        if (IsZero("EOF") || IsZero("ENDSEC") || IsZero("SECTION")) {
            break;
        }
        EntityTags raw = ReadEntity();
        DxfEntity e;
        e.layer = Name("0");
        for (const DxfTag& t : raw.tags) {
            if (t.code == 8) {
                e.layer = Name(t.text);
            } else if (t.code == 230) {
                e.mirrored = t.real < 0.0;
            }
        }
        ReadKind(raw, e);
        Add(into, std::move(e));
    }
}

void DrawingParser::ReadHeader() {
    Advance();
    while (m_has && !IsZero("ENDSEC")) {
        if (m_tag.code == 9) {
            const std::string variable = m_tag.text;
            if (!Advance()) {
                break;
            }
            if (variable == "$INSUNITS" && m_tag.kind == DxfTag::Kind::Integer) {
                m_drawing.insunits = static_cast<int>(m_tag.integer);
            } else if (variable == "$ACADVER") {
                m_drawing.version = m_tag.text;
            }
            continue;
        }
        Advance();
    }
}

void DrawingParser::ReadBlocks() {
    Advance();
    while (m_has && !IsZero("ENDSEC")) {
        if (!IsZero("BLOCK")) {
            Advance();
            continue;
        }
        DxfBlock block;
        for (const DxfTag& t : ReadEntity().tags) {
            switch (t.code) {
            case 2:
                block.name = Name(t.text);
                break;
            case 10:
                block.baseX = t.real;
                break;
            case 20:
                block.baseY = t.real;
                break;
            default:
                break;
            }
        }
        ReadEntities(block.entities, "ENDBLK");
        if (!IsZero("ENDBLK")) {
            throw DxfError("the drawing is cut short (a block without ENDBLK)");
        }
        ReadEntity();
        m_drawing.blocks.push_back(std::move(block));
    }
}

void DrawingParser::SkipSection() {
    while (Advance() && !IsZero("ENDSEC")) {
    }
}

DxfDrawing DrawingParser::Parse() {
    m_drawing.binary = m_reader.Binary();
    bool first = false;
    try {
        first = Advance();
    } catch (const DxfError&) {
        first = false;
    }
    if (!first || !IsZero("SECTION")) {
        throw DxfError("not a DXF drawing (it does not start with a section)");
    }
    bool ended = false;
    while (m_has) {
        if (IsZero("EOF")) {
            ended = true;
            break;
        }
        if (!IsZero("SECTION")) {
            throw DxfError("a section was expected (group code " + std::to_string(m_tag.code) +
                           ", \"" + m_tag.text.substr(0, 20) + "\")");
        }
        if (!Advance() || m_tag.code != 2) {
            throw DxfError("a section without its name");
        }
        const std::string section = m_tag.text;
        if (section == "HEADER") {
            ReadHeader();
        } else if (section == "ENTITIES") {
            Advance();
            ReadEntities(m_drawing.entities, "ENDSEC");
        } else if (section == "BLOCKS") {
            ReadBlocks();
        } else {
            SkipSection();
        }
        if (!IsZero("ENDSEC")) {
            throw DxfError("the drawing is cut short (the " + section + " section has no end)");
        }
        Advance();
    }
    if (!ended) {
        throw DxfError("the drawing is cut short (no EOF after its last section)");
    }
    return std::move(m_drawing);
}

} // namespace

std::size_t DxfDrawing::Count() const {
    std::size_t n = entities.size();
    for (const DxfBlock& b : blocks) {
        n += b.entities.size();
    }
    return n;
}

DxfDrawing ReadDxfDrawing(std::span<const std::uint8_t> bytes,
                          const std::function<bool(double)>& progress) {
    return DrawingParser(bytes, progress).Parse();
}

} // namespace sonivera
