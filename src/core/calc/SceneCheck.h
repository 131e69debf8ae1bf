#pragma once

#include "core/model/SceneSettings.h"

#include <optional>
#include <string>

namespace sonivera {

class CSceneObject;

// The scene check's texts, UTF-8.
inline constexpr const char* kNestedRectanglesText = "Вложенные прямоугольники";
inline constexpr const char* kSceneCleanText = "Сцена не содержит ошибок";

// The first geometric error of a scene: the object A whose test failed and the message to show.
struct SceneCheckFinding {
    enum class Kind {
        ObjectInsideRectangle, // the listener or a sound source stands inside a rectangle
        NestedRectangles,      // a corner of rectangle A lies inside another rectangle
    };

    const CSceneObject* object = nullptr;
    std::size_t index = 0; // the position of `object` in the object list, 0 for the listener
    Kind kind = Kind::NestedRectangles;
    std::string message;
    // The position of the first rectangle (in list order, not A itself) that contains one of A's
    // probes: the other object the finding is about.
    std::size_t containerIndex = 0;
};

// Looks for the first geometric error in list order: for every object A, every other rectangle B
// is asked whether it contains A's position and, when A is a rectangle, A's far corner along x
// and then along y, each pulled back inside A by 0.001 m. The first test that succeeds is the
// finding; a clean scene gives none. Reads the objects only.
std::optional<SceneCheckFinding> FindFirstSceneError(const ObjectList& objects);

// The message for a listener or source at (x, y) standing inside a rectangle: each coordinate
// formatted as the C conversion %g does in the "C" locale, whatever the process's locale.
std::string ObjectInsideRectangleMessage(double x, double y);

// Whether a point object at (x, y) would stand inside a rectangle of the list, by the check's own
// rule (a rectangle holds [left, right) × [top, bottom)): where the listener may not be moved.
bool InsideARectangle(const ObjectList& objects, double x, double y);

// Whether (x, y) lies on an edge of a rectangle of the list (its closed outline): a point of a
// map's grid there is taken as a wall's (refused with OnRectangleFaceMessage), not as a listener
// standing exactly on the wall's face, which the check passes on the right and bottom edges.
bool OnARectangleFace(const ObjectList& objects, double x, double y);
std::string OnRectangleFaceMessage(double x, double y);

} // namespace sonivera
