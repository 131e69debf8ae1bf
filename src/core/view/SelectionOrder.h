#pragma once

#include "core/model/SceneSettings.h"

namespace sonivera {

// The cyclic pick under the pointer: with no start, the first object in list order whose HitTest
// at (x, y) is true; otherwise the objects after `start` up to the last, then from the first up
// to and including `start` itself. So repeated presses on a spot covered by several objects select
// each of them in turn. Returns null when nothing is hit. A start that is not in the list counts as
// none.
CSceneObject* FindObjectAt(const ObjectList& objects, const CSceneObject* start, double x, double y,
                           double pixelsPerMetre);

// The object Tab selects after `current`: the first object when `current` is null, the last
// object or not in the list, otherwise the one that follows it. Null only for an empty list.
CSceneObject* NextInTabOrder(const ObjectList& objects, const CSceneObject* current);

} // namespace sonivera
