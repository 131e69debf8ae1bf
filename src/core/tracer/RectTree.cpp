#include "core/tracer/RectTree.h"

#include "core/tracer/IndexSupport.h"
#include "core/tracer/SearchHit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sonivera {

using index_support::Box;
using index_support::Hi;
using index_support::Lo;
using index_support::RectBox;

void RectTree::Build(const TraceScene& scene) {
    const auto bounds = BeginBuild(scene);
    m_nodes.clear();
    m_order.clear();
    if (!bounds) {
        return;
    }
    m_margin = bounds->margin;
    const std::size_t n = scene.RectCount();
    m_order.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        m_order[k] = static_cast<std::int32_t>(k);
    }
    m_nodes.reserve(2 * n / kLeafSize + 2);
    m_nodes.push_back({});
    BuildNode(scene, 0, 0, static_cast<std::int32_t>(n), 0);
}

// Fills node `index` for m_order[begin, end) and, below it, its subtree. Splits minimise the
// perimeter cost down to kCostDepth levels and halve the count below, so no path is longer than
// kCostDepth + 32 levels and the search's fixed stack always suffices.
void RectTree::BuildNode(const TraceScene& scene, std::int32_t index, std::int32_t begin,
                         std::int32_t end, int depth) {
    Box box = Box::Empty();
    for (std::int32_t i = begin; i < end; ++i) {
        box.Grow(RectBox(scene, static_cast<std::size_t>(m_order[static_cast<std::size_t>(i)])));
    }
    box.Widen(m_margin);
    Node node{};
    node.x0 = box.x0;
    node.y0 = box.y0;
    node.x1 = box.x1;
    node.y1 = box.y1;
    if (static_cast<std::size_t>(end - begin) <= kLeafSize) {
        node.first = begin;
        node.count = end - begin;
        m_nodes[static_cast<std::size_t>(index)] = node;
        return;
    }
    std::int32_t mid = begin + (end - begin) / 2;
    if (depth < kCostDepth) {
        mid = SplitByPerimeter(scene, begin, end);
    }
    const auto children = static_cast<std::int32_t>(m_nodes.size());
    m_nodes.push_back({});
    m_nodes.push_back({});
    node.first = children;
    node.count = 0;
    m_nodes[static_cast<std::size_t>(index)] = node;
    BuildNode(scene, children, begin, mid, depth + 1);
    BuildNode(scene, children + 1, mid, end, depth + 1);
}

// Orders m_order[begin, end) and returns the split point that minimises the sum over both halves
// of (box perimeter × rectangle count), trying both axes with the rectangles sorted by centre. Long
// walls thus end up in boxes of their own instead of stretching the boxes of small obstacles.
std::int32_t RectTree::SplitByPerimeter(const TraceScene& scene, std::int32_t begin,
                                        std::int32_t end) {
    const auto count = static_cast<std::size_t>(end - begin);
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> prefix(count);
    double bestCost = inf;
    int bestAxis = 0;
    std::size_t bestSplit = count / 2;
    std::vector<std::int32_t> sorted[2];
    for (int axis = 0; axis < 2; ++axis) {
        std::vector<std::int32_t>& order = sorted[axis];
        order.assign(m_order.begin() + begin, m_order.begin() + end);
        std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
            const auto u = static_cast<std::size_t>(a);
            const auto v = static_cast<std::size_t>(b);
            return axis == 0 ? scene.left[u] + scene.right[u] < scene.left[v] + scene.right[v]
                             : scene.top[u] + scene.bottom[u] < scene.top[v] + scene.bottom[v];
        });
        Box box = Box::Empty();
        for (std::size_t i = 0; i < count; ++i) {
            box.Grow(RectBox(scene, static_cast<std::size_t>(order[i])));
            prefix[i] = box.Perimeter() * static_cast<double>(i + 1);
        }
        box = Box::Empty();
        for (std::size_t i = count - 1; i >= 1; --i) {
            box.Grow(RectBox(scene, static_cast<std::size_t>(order[i])));
            const double cost = prefix[i - 1] + box.Perimeter() * static_cast<double>(count - i);
            if (cost < bestCost) {
                bestCost = cost;
                bestAxis = axis;
                bestSplit = i;
            }
        }
    }
    std::copy(sorted[bestAxis].begin(), sorted[bestAxis].end(), m_order.begin() + begin);
    return begin + static_cast<std::int32_t>(bestSplit);
}

bool RectTree::Accepts(const SceneRay& r) const {
    return AcceptsWhenBuilt(!m_nodes.empty(), r);
}

__attribute__((always_inline)) inline bool
RectTree::Slab(const Node& n, const SceneRay& r, double invDx, double invDy, double& tEnter) {
    double tmin = -std::numeric_limits<double>::infinity();
    double tmax = std::numeric_limits<double>::infinity();
    if (!index_support::ClipToSlab(r.x0, r.dx, invDx, n.x0, n.x1, tmin, tmax) ||
        !index_support::ClipToSlab(r.y0, r.dy, invDy, n.y0, n.y1, tmin, tmax)) {
        return false;
    }
    if (tmax < 0.0 || tmin > tmax) {
        return false;
    }
    tEnter = tmin;
    return true;
}

bool RectTree::Search(const TraceScene& scene, const SceneRay& r, int skip, bool visibility,
                      double pointDist, SearchHit& hit) const {
    hit = SearchHit{};
    const double invDx = r.dx != 0.0 ? 1.0 / r.dx : 0.0;
    const double invDy = r.dy != 0.0 ? 1.0 / r.dy : 0.0;
    struct Entry {
        std::int32_t node;
        double tEnter;
    };
    Entry stack[kStackSize];
    int top = 0;
    double t0;
    if (!Slab(m_nodes[0], r, invDx, invDy, t0)) {
        return true;
    }
    stack[top++] = {0, t0};
    while (top > 0) {
        const Entry e = stack[--top];
        if (e.tEnter > hit.dist) {
            continue; // every rectangle inside lies farther than the best found
        }
        const Node& n = m_nodes[static_cast<std::size_t>(e.node)];
        if (n.count > 0) {
            for (std::int32_t i = n.first; i < n.first + n.count; ++i) {
                const std::int32_t k = m_order[static_cast<std::size_t>(i)];
                if (k != skip && !index_support::OfferRect(scene, k, r, visibility, pointDist, hit)) {
                    return false;
                }
            }
            continue;
        }
        double ta = 0.0;
        double tb = 0.0;
        const bool a = Slab(m_nodes[static_cast<std::size_t>(n.first)], r, invDx, invDy, ta);
        const bool b = Slab(m_nodes[static_cast<std::size_t>(n.first) + 1], r, invDx, invDy, tb);
        // The nearer child goes on top, so it is searched first.
        if (a && b) {
            if (ta <= tb) {
                stack[top++] = {n.first + 1, tb};
                stack[top++] = {n.first, ta};
            } else {
                stack[top++] = {n.first, ta};
                stack[top++] = {n.first + 1, tb};
            }
        } else if (a) {
            stack[top++] = {n.first, ta};
        } else if (b) {
            stack[top++] = {n.first + 1, tb};
        }
    }
    return true;
}

} // namespace sonivera
