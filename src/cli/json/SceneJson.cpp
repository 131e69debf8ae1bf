#include "cli/json/SceneJson.h"

#include "cli/json/SceneJsonParser.h"

#include "core/model/CalcParameterTable.h"
#include "core/model/ObjectKind.h"
#include "core/model/ObjectKindTable.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <variant>

namespace sonivera {

using Json = nlohmann::ordered_json;

namespace {

// Reads the members of one JSON object, each at most once, and refuses the ones left over.
class FieldReader {
public:
    FieldReader(const Json& json, std::string where) : m_json(json), m_where(std::move(where)) {
        if (!json.is_object()) {
            throw SceneJsonError(m_where.empty() ? std::string("(top level)") : m_where,
                                 "expected an object");
        }
    }

    double Double(const char* name) {
        const Json& v = Get(name);
        if (!v.is_number()) {
            throw SceneJsonError(Path(name), "expected a number, got " + TypeOf(v));
        }
        const double d = v.get<double>();
        if (!std::isfinite(d)) {
            throw SceneJsonError(Path(name), "the number is out of the range of a double");
        }
        return d;
    }

    bool Bool(const char* name) {
        const Json& v = Get(name);
        if (!v.is_boolean()) {
            throw SceneJsonError(Path(name), "expected true or false, got " + TypeOf(v));
        }
        return v.get<bool>();
    }

    std::int32_t Int32(const char* name) {
        const Json& v = Get(name);
        if (!v.is_number_integer()) {
            throw SceneJsonError(Path(name), "expected an integer, got " + TypeOf(v));
        }
        constexpr auto lo = std::numeric_limits<std::int32_t>::min();
        constexpr auto hi = std::numeric_limits<std::int32_t>::max();
        const bool fits = v.is_number_unsigned()
                              ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(hi)
                              : (v.get<std::int64_t>() >= lo && v.get<std::int64_t>() <= hi);
        if (!fits) {
            throw SceneJsonError(Path(name), "the integer does not fit in 32 bits");
        }
        return static_cast<std::int32_t>(v.get<std::int64_t>());
    }

    // The member `name` into `value`, checked as its type asks.
    void Read(const char* name, double& value) { value = Double(name); }
    void Read(const char* name, bool& value) { value = Bool(name); }
    void Read(const char* name, std::int32_t& value) { value = Int32(name); }

    const Json& Get(const char* name) {
        const auto it = m_json.find(name);
        if (it == m_json.end()) {
            throw SceneJsonError(Path(name), "missing");
        }
        m_used.insert(name);
        return *it;
    }

    // Refuses members that are not fields of this object (a misspelt name, for instance).
    void RefuseOthers() const {
        for (const auto& item : m_json.items()) {
            if (m_used.count(item.key()) == 0) {
                throw SceneJsonError(Path(item.key()), "unknown field");
            }
        }
    }

    std::string Path(const std::string& name) const {
        return m_where.empty() ? name : m_where + "." + name;
    }

    static std::string TypeOf(const Json& v) {
        if (v.is_number_float() || v.is_number_integer()) {
            return "a number";
        }
        const std::string type = v.type_name();
        return (type == "array" || type == "object") ? "an " + type : type;
    }

private:
    const Json& m_json;
    std::string m_where;
    std::set<std::string> m_used;
};

const ObjectKindInfo& KindFromJson(const Json& v, const std::string& where) {
    const ObjectKindInfo* kind = nullptr;
    if (v.is_string()) {
        kind = KindNamed(v.get_ref<const std::string&>());
    } else if (v.is_number_integer()) {
        // The kind codes of the scene file are accepted too.
        const auto code = v.get<std::int64_t>();
        if (code >= INT32_MIN && code <= INT32_MAX) {
            kind = KindOfCode(static_cast<std::int32_t>(code));
        }
    }
    if (kind == nullptr) {
        std::string names;
        for (const ObjectKindInfo& k : ObjectKinds()) {
            names += (names.empty() ? "\"" : (&k == &ObjectKinds().back() ? " or \"" : ", \"")) +
                     std::string(k.name) + "\"";
        }
        throw SceneJsonError(where + ".kind", "expected " + names);
    }
    return *kind;
}

std::unique_ptr<CSceneObject> ObjectFromJson(const Json& json, const std::string& where,
                                             SceneSettings& scene) {
    FieldReader fields(json, where);
    const ObjectKindInfo& kind = KindFromJson(fields.Get("kind"), where);
    std::unique_ptr<CSceneObject> object = kind.make(&scene);
    for (const ObjectField& field : kind.fields) {
        field.set(*object, fields.Double(field.name));
    }
    fields.RefuseOthers();
    return object;
}

} // namespace

Json SceneToJson(const SceneSettings& s) {
    Json json;
    json["width"] = s.width;
    json["height"] = s.height;
    json["gridX"] = s.gridX;
    json["gridY"] = s.gridY;
    json["snapToGrid"] = s.snapToGrid;
    for (const CalcField& field : CalcFields()) {
        std::visit([&](auto member) { json[field.name] = s.params.*member; }, field.member);
    }
    Json objects = Json::array();
    for (const auto& object : s.objects) {
        Json o;
        const ObjectKindInfo& kind = KindOf(*object);
        o["kind"] = kind.name;
        for (const ObjectField& field : kind.fields) {
            o[field.name] = field.get(*object);
        }
        objects.push_back(std::move(o));
    }
    json["objects"] = std::move(objects);
    return json;
}

std::string SceneToJsonText(const SceneSettings& scene) {
    return SceneToJson(scene).dump(2) + "\n";
}

std::unique_ptr<SceneSettings> SceneFromJson(const Json& json) {
    auto scene = std::make_unique<SceneSettings>();
    FieldReader fields(json, "");
    scene->width = fields.Double("width");
    scene->height = fields.Double("height");
    scene->gridX = fields.Double("gridX");
    scene->gridY = fields.Double("gridY");
    scene->snapToGrid = fields.Bool("snapToGrid");
    for (const CalcField& field : CalcFields()) {
        std::visit([&](auto member) { fields.Read(field.name, scene->params.*member); },
                   field.member);
    }
    const Json& objects = fields.Get("objects");
    fields.RefuseOthers();
    if (!objects.is_array()) {
        throw SceneJsonError("objects", "expected an array, got " + FieldReader::TypeOf(objects));
    }
    if (objects.empty()) {
        throw SceneJsonError("objects", "a scene needs at least the listener");
    }
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::string where = "objects[" + std::to_string(i) + "]";
        scene->objects.push_back(ObjectFromJson(objects[i], where, *scene));
        if (i == 0 && scene->objects.front()->GetKind() != OBJ_LISTENER) {
            throw SceneJsonError(where + ".kind", "the first object must be the listener");
        }
    }
    // Whatever the reader of scene files refuses is refused here too, so every scene built from
    // JSON can be opened again.
    try {
        LoadSceneFromBytes(SaveSceneToBytes(*scene));
    } catch (const SceneFileError& e) {
        throw SceneJsonError("", e.Detail().empty() ? e.what() : e.Detail());
    }
    return scene;
}

std::unique_ptr<SceneSettings> SceneFromJsonText(std::string_view text) {
    return SceneFromJson(ParseSceneJsonText(text));
}

} // namespace sonivera
