#include "core/calc/SceneCheck.h"

#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace sonivera {

namespace {

// How far the far corners of a rectangle are pulled back inside it before they are tested.
constexpr double kCornerInset = 0.001;

// %g: six significant digits, trailing zeros dropped, a point as the separator. std::to_chars
// with the general format and an explicit precision is defined as printf in the "C" locale, so a
// Russian locale set by the editor cannot turn the point into a comma.
std::string FormatG(double v) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

// A rectangle as the check sees it: half-open, [left, right) × [top, bottom), the hit test of
// CRectObject with right and bottom computed as it computes them. A rectangle without width or
// height (or with a coordinate that is NaN) contains nothing.
struct Area {
    double left, top, right, bottom;
    bool Contains(double x, double y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }
    bool IsEmpty() const { return !(left < right && top < bottom); }
};

Area AreaOf(const CRectObject& rect) {
    return {rect.m_x, rect.m_y, rect.m_x + rect.m_width, rect.m_y + rect.m_height};
}

// A point object A asks about: its position and, for a rectangle, its far corner along x and
// then along y, each pulled back inside it by the inset.
struct Probe {
    double x, y;
    std::size_t object; // index of A in the list
};

// Counts of rectangles over positions 0..n-1 of the sorted y values: a range is added as +1 at
// its first position and -1 at its end, and the count at a position is the prefix sum.
class PrefixCounts {
public:
    explicit PrefixCounts(std::size_t n) : m_tree(n + 1, 0) {}
    void Add(std::size_t position, int delta) {
        for (std::size_t i = position + 1; i < m_tree.size(); i += i & (~i + 1)) {
            m_tree[i] += delta;
        }
    }
    int CountAt(std::size_t position) const {
        int sum = 0;
        for (std::size_t i = position + 1; i > 0; i -= i & (~i + 1)) {
            sum += m_tree[i];
        }
        return sum;
    }

private:
    std::vector<int> m_tree;
};

// For every probe, how many rectangles contain it. A sweep along x: a rectangle enters at its
// left edge and leaves at its right edge (both before the probes at the same x, so the left edge
// is inside and the right one outside), and the rectangles present are counted along y over the
// sorted distinct y values, whose order is the exact order of the doubles. O(n log n).
std::vector<int> CountContaining(const std::vector<Area>& areas, const std::vector<Probe>& probes) {
    std::vector<double> ys;
    ys.reserve(areas.size() * 2 + probes.size());
    for (const Area& a : areas) {
        ys.push_back(a.top);
        ys.push_back(a.bottom);
    }
    for (const Probe& p : probes) {
        ys.push_back(p.y);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    const auto position = [&ys](double y) {
        return static_cast<std::size_t>(std::lower_bound(ys.begin(), ys.end(), y) - ys.begin());
    };

    struct Event {
        double x;
        int order;        // 0: a rectangle leaves or enters, 1: a probe
        std::size_t item; // the area or the probe
        int delta;        // +1 enters, -1 leaves, 0 probe
    };
    std::vector<Event> events;
    events.reserve(areas.size() * 2 + probes.size());
    for (std::size_t i = 0; i < areas.size(); ++i) {
        events.push_back({areas[i].left, 0, i, +1});
        events.push_back({areas[i].right, 0, i, -1});
    }
    for (std::size_t i = 0; i < probes.size(); ++i) {
        events.push_back({probes[i].x, 1, i, 0});
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.x < b.x || (a.x == b.x && a.order < b.order);
    });

    PrefixCounts present(ys.size());
    std::vector<int> counts(probes.size(), 0);
    for (const Event& e : events) {
        if (e.delta != 0) {
            present.Add(position(areas[e.item].top), e.delta);
            present.Add(position(areas[e.item].bottom), -e.delta);
        } else {
            counts[e.item] = present.CountAt(position(probes[e.item].y));
        }
    }
    return counts;
}

} // namespace

std::string ObjectInsideRectangleMessage(double x, double y) {
    return "Объект (" + FormatG(x) + "," + FormatG(y) + ") внутри прямоугольника";
}

// Object A fails when a rectangle other than A contains one of its probes; the first failing
// object in list order is the finding, whichever rectangle or probe it was, so the answer is that
// of testing every object against every rectangle in list order. NaN coordinates contain and are
// contained by nothing, as in the hit test; they are left out of the sweep.
std::optional<SceneCheckFinding> FindFirstSceneError(const ObjectList& objects) {
    std::vector<Area> areas;               // the rectangles that contain anything
    std::vector<Area> own;                 // each object's own area (empty for all but rectangles)
    std::vector<const CSceneObject*> list; // the objects by index
    std::vector<Probe> probes;
    own.reserve(objects.size());
    list.reserve(objects.size());
    for (const auto& object : objects) {
        const std::size_t i = list.size();
        const CSceneObject& a = *object;
        list.push_back(&a);
        const CRectObject* rect =
            a.GetKind() == OBJ_RECT ? dynamic_cast<const CRectObject*>(&a) : nullptr;
        own.push_back(rect != nullptr ? AreaOf(*rect) : Area{0, 0, 0, 0});
        if (rect != nullptr && !own.back().IsEmpty()) {
            areas.push_back(own.back());
        }
        const auto probe = [&](double x, double y) {
            if (!std::isnan(x) && !std::isnan(y)) {
                probes.push_back({x, y, i});
            }
        };
        probe(a.m_x, a.m_y);
        if (rect != nullptr) {
            probe(rect->m_x + rect->m_width - kCornerInset, rect->m_y);
            probe(rect->m_x, rect->m_y + rect->m_height - kCornerInset);
        }
    }
    const std::vector<int> counts = CountContaining(areas, probes);
    std::optional<std::size_t> first;
    for (std::size_t k = 0; k < probes.size(); ++k) {
        const Probe& p = probes[k];
        // A's own rectangle is not asked about A.
        const int others = counts[k] - (own[p.object].Contains(p.x, p.y) ? 1 : 0);
        if (others > 0 && (!first || p.object < *first)) {
            first = p.object;
        }
    }
    if (!first) {
        return std::nullopt;
    }
    const CSceneObject* a = list[*first];
    SceneCheckFinding finding;
    finding.object = a;
    finding.index = *first;
    finding.kind = a->GetKind() == OBJ_RECT ? SceneCheckFinding::Kind::NestedRectangles
                                            : SceneCheckFinding::Kind::ObjectInsideRectangle;
    finding.message = finding.kind == SceneCheckFinding::Kind::NestedRectangles
                          ? std::string(kNestedRectanglesText)
                          : ObjectInsideRectangleMessage(a->m_x, a->m_y);
    // Which rectangle contains it: the first in list order that holds one of A's probes.
    for (std::size_t j = 0; j < list.size(); ++j) {
        if (j == *first || own[j].IsEmpty()) {
            continue;
        }
        const bool holds = std::any_of(probes.begin(), probes.end(), [&](const Probe& p) {
            return p.object == *first && own[j].Contains(p.x, p.y);
        });
        if (holds) {
            finding.containerIndex = j;
            break;
        }
    }
    return finding;
}

bool InsideARectangle(const ObjectList& objects, double x, double y) {
    return std::any_of(objects.begin(), objects.end(), [&](const auto& object) {
        const auto* rect = object->GetKind() == OBJ_RECT
                               ? dynamic_cast<const CRectObject*>(object.get())
                               : nullptr;
        return rect != nullptr && AreaOf(*rect).Contains(x, y);
    });
}

bool OnARectangleFace(const ObjectList& objects, double x, double y) {
    return std::any_of(objects.begin(), objects.end(), [&](const auto& object) {
        const auto* rect =
            object->GetKind() == OBJ_RECT ? dynamic_cast<const CRectObject*>(object.get()) : nullptr;
        if (rect == nullptr) {
            return false;
        }
        const Area a = AreaOf(*rect);
        const bool within = a.left <= x && x <= a.right && a.top <= y && y <= a.bottom;
        return within && (x == a.left || x == a.right || y == a.top || y == a.bottom);
    });
}

std::string OnRectangleFaceMessage(double x, double y) {
    return "Точка (" + FormatG(x) + "," + FormatG(y) + ") на грани прямоугольника";
}

} // namespace sonivera
