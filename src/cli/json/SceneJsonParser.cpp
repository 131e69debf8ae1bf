#include "cli/json/SceneJsonParser.h"

#include "cli/json/SceneJsonError.h"

#include "core/model/CalcParameterTable.h"
#include "core/model/ObjectKindTable.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sonivera {

using Json = nlohmann::ordered_json;

namespace {

// Whether a scene may have a member of this name: the settings of the scene record (the size, the
// grid, the calculation parameters) and "objects".
bool IsSceneMember(std::string_view name) {
    constexpr std::array<std::string_view, 6> kOthers = {"width", "height",     "gridX",
                                                         "gridY", "snapToGrid", "objects"};
    const auto& fields = CalcFields();
    return std::find(kOthers.begin(), kOthers.end(), name) != kOthers.end() ||
           std::any_of(fields.begin(), fields.end(),
                       [&](const CalcField& field) { return name == field.name; });
}

// Whether a member may belong to an object of some kind; which of them a kind takes is checked
// later.
bool IsObjectMember(std::string_view name) {
    if (name == "kind") {
        return true;
    }
    for (const ObjectKindInfo& kind : ObjectKinds()) {
        for (const ObjectField& field : kind.fields) {
            if (name == field.name) {
                return true;
            }
        }
    }
    return false;
}

// "not valid JSON: " and the library's message without its "[json.exception.…] " prefix.
std::string NotJsonMessage(const std::string& libraryMessage) {
    std::string message = libraryMessage;
    if (const auto end = message.find("] ");
        message.rfind("[json.", 0) == 0 && end != std::string::npos) {
        message.erase(0, end + 2);
    }
    return "not valid JSON: " + message;
}

// Builds the kept part of the document from the parser's events. Kept are the top-level value,
// the scene's members, the "objects" array and the objects' members; a container anywhere else
// is counted through (for the depth bound) and stands as an empty one.
class SceneJsonSax {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    Json TakeResult() { return std::move(m_root); }

    bool null() { return Put(nullptr); }
    bool boolean(bool value) { return Put(value); }
    bool number_integer(number_integer_t value) { return Put(value); }
    bool number_unsigned(number_unsigned_t value) { return Put(value); }
    bool number_float(number_float_t value, const string_t&) { return Put(value); }
    bool string(string_t& value) { return Put(std::move(value)); }
    bool binary(binary_t&) { return Put(nullptr); } // JSON text has no binary values

    bool start_object(std::size_t) { return Open(Json::object(), true); }
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(Json::array(), false); }
    bool end_array() { return Close(); }

    bool key(string_t& name) {
        if (m_skipping > 0) {
            return true;
        }
        Frame& frame = m_frames.back();
        const bool known =
            frame.place == Place::Scene ? IsSceneMember(name) : IsObjectMember(name);
        const std::string path = frame.path.empty() ? name : frame.path + "." + name;
        if (!known) {
            throw SceneJsonError(path, "unknown field");
        }
        if (frame.container->contains(name)) {
            throw SceneJsonError(path, "duplicate field");
        }
        frame.key = std::move(name);
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
        throw SceneJsonError("", NotJsonMessage(e.what()));
    }

private:
    // What the members or elements of a kept container are.
    enum class Place { Scene, Objects, Object };

    struct Frame {
        Json* container;
        Place place;
        std::string path; // "" for the scene, "objects", "objects[3]"
        std::string key;  // the member whose value comes next (objects only)
    };

    // Where the next value goes, and what a container there holds (nullopt: nothing kept).
    Json* Slot(bool isObject, std::optional<Place>* place, std::string* path) {
        if (m_frames.empty()) {
            *place = isObject ? std::optional(Place::Scene) : std::nullopt;
            return &m_root;
        }
        Frame& frame = m_frames.back();
        if (frame.place == Place::Objects) {
            *path = "objects[" + std::to_string(frame.container->size()) + "]";
            *place = isObject ? std::optional(Place::Object) : std::nullopt;
            frame.container->push_back(nullptr);
            return &frame.container->back();
        }
        *place = (frame.place == Place::Scene && !isObject && frame.key == "objects")
                     ? std::optional(Place::Objects)
                     : std::nullopt;
        *path = frame.key;
        return &(*frame.container)[frame.key];
    }

    template <typename T> bool Put(T&& value) {
        if (m_skipping == 0) {
            std::optional<Place> place;
            std::string path;
            *Slot(false, &place, &path) = std::forward<T>(value);
        }
        return true;
    }

    bool Open(Json empty, bool isObject) {
        if (++m_depth > kMaxJsonDepth) {
            throw SceneJsonError("", "nested deeper than " + std::to_string(kMaxJsonDepth) +
                                         " levels of arrays and objects");
        }
        if (m_skipping > 0) {
            ++m_skipping;
            return true;
        }
        std::optional<Place> place;
        std::string path;
        Json* slot = Slot(isObject, &place, &path);
        *slot = std::move(empty);
        if (place) {
            m_frames.push_back({slot, *place, std::move(path), {}});
        } else {
            m_skipping = 1;
        }
        return true;
    }

    bool Close() {
        --m_depth;
        if (m_skipping > 0) {
            --m_skipping;
        } else {
            m_frames.pop_back();
        }
        return true;
    }

    Json m_root;
    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
    std::size_t m_skipping = 0; // the depth inside a container that is not kept
};

} // namespace

Json ParseSceneJsonText(std::string_view text) {
    // The parser takes a NUL byte for the end of the text and would ignore what follows.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        throw SceneJsonError("", "not valid JSON: a NUL byte at offset " + std::to_string(nul));
    }
    SceneJsonSax sax;
    if (!Json::sax_parse(text, &sax)) {
        throw SceneJsonError("", "not valid JSON"); // not reached: every refusal throws
    }
    return sax.TakeResult();
}

} // namespace sonivera
