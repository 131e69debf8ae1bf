#include "core/plan/RectUnion.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace sonivera {

namespace {

struct Piece {
    double x0, x1;
    std::uint32_t material;
    bool operator<(const Piece& o) const {
        return std::tie(x0, x1, material) < std::tie(o.x0, o.x1, o.material);
    }
};

// The pieces of one slab: the union of the active rectangles' x-intervals, each point labelled
// with the lowest material covering it, neighbours of one material joined.
std::vector<Piece> SlabPieces(const std::vector<const PlanRect*>& active) {
    struct Event {
        double x;
        bool start;
        std::uint32_t material;
    };
    std::vector<Event> events;
    events.reserve(active.size() * 2);
    for (const PlanRect* r : active) {
        events.push_back({r->x0, true, r->material});
        events.push_back({r->x1, false, r->material});
    }
    std::sort(events.begin(), events.end(),
              [](const Event& a, const Event& b) { return a.x < b.x; });
    std::multiset<std::uint32_t> covering;
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < events.size()) {
        const double x = events[i].x;
        for (; i < events.size() && events[i].x == x; ++i) {
            if (events[i].start) {
                covering.insert(events[i].material);
            } else {
                covering.erase(covering.find(events[i].material));
            }
        }
        if (i == events.size()) {
            break;
        }
        const double next = events[i].x;
        if (covering.empty() || !(x < next)) {
            continue;
        }
        const std::uint32_t material = *covering.begin();
        if (!pieces.empty() && pieces.back().x1 == x && pieces.back().material == material) {
            pieces.back().x1 = next;
        } else {
            pieces.push_back({x, next, material});
        }
    }
    return pieces;
}

} // namespace

std::vector<PlanRect> UnionOfRects(const std::vector<PlanRect>& rects) {
    std::vector<const PlanRect*> byTop;
    std::vector<double> ys;
    for (const PlanRect& r : rects) {
        if (r.x0 < r.x1 && r.y0 < r.y1) {
            byTop.push_back(&r);
            ys.push_back(r.y0);
            ys.push_back(r.y1);
        }
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::sort(byTop.begin(), byTop.end(),
              [](const PlanRect* a, const PlanRect* b) { return a->y0 < b->y0; });
    std::vector<PlanRect> out;
    std::vector<const PlanRect*> active;
    std::map<Piece, double> open; // a piece of the slab above and the y where it began
    std::size_t next = 0;
    for (std::size_t s = 0; s + 1 < ys.size(); ++s) {
        const double top = ys[s];
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const PlanRect* r) { return r->y1 <= top; }),
                     active.end());
        for (; next < byTop.size() && byTop[next]->y0 <= top; ++next) {
            if (byTop[next]->y1 > top) {
                active.push_back(byTop[next]);
            }
        }
        std::map<Piece, double> still;
        for (const Piece& p : SlabPieces(active)) {
            const auto it = open.find(p);
            still.emplace(p, it != open.end() ? it->second : top);
            if (it != open.end()) {
                open.erase(it);
            }
        }
        for (const auto& [p, from] : open) {
            out.push_back({p.x0, from, p.x1, top, p.material});
        }
        open = std::move(still);
    }
    if (!ys.empty()) {
        for (const auto& [p, from] : open) {
            out.push_back({p.x0, from, p.x1, ys.back(), p.material});
        }
    }
    return out;
}

} // namespace sonivera
