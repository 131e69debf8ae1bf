#include "core/view/SelectionOrder.h"

#include <algorithm>

namespace sonivera {

namespace {

ObjectList::const_iterator Locate(const ObjectList& objects, const CSceneObject* object) {
    if (object == nullptr) {
        return objects.end();
    }
    return std::find_if(objects.begin(), objects.end(),
                        [object](const auto& element) { return element.get() == object; });
}

} // namespace

CSceneObject* FindObjectAt(const ObjectList& objects, const CSceneObject* start, double x, double y,
                           double pixelsPerMetre) {
    const auto hits = [&](const auto& element) { return element->HitTest(x, y, pixelsPerMetre); };
    const auto startAt = Locate(objects, start);
    if (startAt == objects.end()) {
        const auto hit = std::find_if(objects.begin(), objects.end(), hits);
        return hit == objects.end() ? nullptr : hit->get();
    }
    const auto afterStart = std::next(startAt);
    auto hit = std::find_if(afterStart, objects.end(), hits);
    if (hit != objects.end()) {
        return hit->get();
    }
    hit = std::find_if(objects.begin(), afterStart, hits);
    return hit == afterStart ? nullptr : hit->get();
}

CSceneObject* NextInTabOrder(const ObjectList& objects, const CSceneObject* current) {
    if (objects.empty()) {
        return nullptr;
    }
    auto at = Locate(objects, current);
    if (at == objects.end() || std::next(at) == objects.end()) {
        return objects.front().get();
    }
    return std::next(at)->get();
}

} // namespace sonivera
