#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sonivera {

class CSceneObject;
struct SceneSettings;

// Each kind of scene object described once: its file code, the name the JSON form, `info` and
// the clipboard use, whether it can be copied, how to make one, and its numeric fields in the
// order of its scene-file record. Reading and writing the JSON form, the parser's allowed names,
// `info`, the clipboard's text and the finiteness checks are loops over this table; what remains
// per kind is what really differs (the class, its tracing, its check rule, its dialog and tool).

// What a field may hold in an object the editor can make (its drawing tools and properties
// dialogs), checked for objects pasted from outside.
enum class FieldRange {
    Any,           // any finite number (a position; the paste keeps it inside the scene)
    Fraction,      // 0 to 1 (a power, a reflection)
    Coefficient,   // 0 to the largest finite coefficient (an absorption)
    SceneWidth,    // above 0, at most the scene's width (clamped to it on paste)
    SceneHeight,   // above 0, at most the scene's height (clamped to it on paste)
};

struct ObjectField {
    const char* name; // the JSON key and the name `info` shows
    double (*get)(const CSceneObject&);
    void (*set)(CSceneObject&, double);
    FieldRange range;
};

struct ObjectKindInfo {
    std::int32_t code; // stored in the scene file and the clipboard
    const char* name;  // "listener", "rect", "source"
    bool copyable;     // the listener is the scene's one receiver and is never copied
    std::unique_ptr<CSceneObject> (*make)(SceneSettings* scene);
    std::span<const ObjectField> fields; // in file order
};

// Every kind, by code.
std::span<const ObjectKindInfo> ObjectKinds();

// The kind of a code or a name; null when there is none.
const ObjectKindInfo* KindOfCode(std::int32_t code);
const ObjectKindInfo* KindNamed(std::string_view name);
// The kind of an object (every object has one).
const ObjectKindInfo& KindOf(const CSceneObject& object);

// Whether every numeric field of the object is a finite number.
bool ObjectFieldsFinite(const CSceneObject& object);

// Whether an object from outside (the clipboard) holds only what the editor could have made:
// finite fields within their ranges, sizes above 0. The scene's bounds are not checked here.
bool ObjectFieldsInRange(const CSceneObject& object);

} // namespace sonivera
