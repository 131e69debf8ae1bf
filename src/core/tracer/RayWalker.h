#pragma once

#include "core/tracer/EffectErrors.h"
#include "core/tracer/ExpBound.h"
#include "core/tracer/PathKeeper.h"
#include "core/tracer/RectSearch.h"
#include "core/tracer/TraceConstants.h"
#include "core/tracer/TraceParameters.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace sonivera {

// Traces one ray of the fan depth-first with an explicit stack and hands every echo it records to
// the sink as (bin, amplitude, path length in metres), in the order the echoes of a ray are
// collected: a node's own echoes, then its reflection subtree, then its passage subtree. The two
// subtrees of a node depend only on the node, so visiting the reflection first gives the same
// values as building the passage first. Memory is one frame per leg of the current path; nothing is
// allocated per node.
//
// Whether a ray of the fan can record anything at all: not without sources (no contribution
// anywhere), without rectangles (no ray meets anything) or with reflections off (no point on a
// rectangle collects contributions).
inline bool RaysCanRecord(const TraceScene& scene, const TraceParameters& params) {
    return !params.calc.noReflection && !scene.sourceX.empty() && scene.RectCount() != 0;
}

// Sink: void operator()(std::int32_t bin, double amplitude, double length).
template <class Sink> class RayWalker {
public:
    RayWalker(const TraceScene& scene, const RectSearch& search, const TraceParameters& params,
              const std::atomic<bool>* cancel)
        : m_scene(scene), m_search(search), m_p(params), m_cancel(cancel),
          m_step(FanStep(params.calc.rayCount)), m_bounded(search.UsesIndex()) {
        m_stack.reserve(kMaxLegs + 1);
        PrepareBounds();
    }

    // The echoes of the sources heard directly at the listener.
    void DirectSound(Sink& sink) {
        ++m_nodes;
        m_ray = -1;
        m_order = 0;
        EmitContributions(m_scene.listenerX, m_scene.listenerY, 0.0, 1.0, -1, sink);
    }

    // The echoes of ray i of the fan.
    void TraceRay(std::int32_t i, Sink& sink) {
        if (!RaysCanRecord(m_scene, m_p)) {
            return;
        }
        m_ray = i;
        m_order = 0;
        SceneRay ray{m_scene.listenerX, m_scene.listenerY, 0.0, 0.0};
        if (m_fan != nullptr) {
            ray.dx = m_fan[2 * static_cast<std::size_t>(i)];
            ray.dy = m_fan[2 * static_cast<std::size_t>(i) + 1];
        } else {
            FanDirection(i, m_step, ray.dx, ray.dy);
        }
        ++m_searches;
        const SearchHit h = m_search.Nearest(ray, -1);
        if (h.index < 0) {
            return;
        }
        const double factor = MediumFactor(h.dist);
        m_stack.clear();
        Enter(ray.x0, ray.y0, ray.dx, ray.dy, h.index, h.dist, factor, 0.0, 1.0, sink);
        while (!m_stack.empty()) {
            Frame& f = m_stack.back();
            Child c;
            if (f.stage == kReflectNext) {
                f.stage = kPassNext;
                if (ReflectionChild(f, c)) {
                    Enter(f.px, f.py, c.dx, c.dy, c.rect, c.length, c.factor, f.pathLength,
                          f.amplitude, sink);
                }
            } else if (f.stage == kPassNext) {
                f.stage = kDone;
                if (PassageChild(f, c)) {
                    Enter(f.px, f.py, c.dx, c.dy, c.rect, c.length, c.factor, f.pathLength,
                          f.amplitude, sink);
                }
            } else {
                m_stack.pop_back();
            }
        }
    }

    // The angle between neighbouring rays of a fan of `rays` rays.
    static double FanStep(std::int32_t rays) { return (2.0 * 3.141592653589793) / rays; }
    // The direction of ray i of a fan whose rays are `step` apart.
    static void FanDirection(std::int32_t i, double step, double& dx, double& dy) {
        const double theta = static_cast<double>(i) * step;
        dx = std::cos(theta);
        dy = std::sin(theta);
    }
    // The fan's directions made once, for walkers that trace the same fan from many listener
    // points (a map): dx, dy of ray i at [2i], [2i + 1], as FanDirection gives them, for every ray
    // of params.calc.rayCount; none for a fan of more than kFanTableRays (any count may stand in
    // a file, and such a fan's own sines are the least of its cost).
    static constexpr std::int32_t kFanTableRays = 1 << 16;
    static std::vector<double> FanDirections(const TraceParameters& params) {
        const std::int32_t n = params.calc.rayCount;
        if (n <= 0 || n > kFanTableRays) {
            return {};
        }
        const double step = FanStep(n);
        std::vector<double> fan(2 * static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n; ++i) {
            FanDirection(i, step, fan[2 * static_cast<std::size_t>(i)],
                         fan[2 * static_cast<std::size_t>(i) + 1]);
        }
        return fan;
    }
    // Takes ray directions from `fan` (FanDirections; it must outlive the walker) instead of
    // computing them per ray; an empty one changes nothing.
    void UseFan(const std::vector<double>& fan) { m_fan = fan.empty() ? nullptr : fan.data(); }

    // Thrown when more nodes than the limit set below have been visited.
    struct NodeLimitReached {};
    // Stops the walk after `limit` nodes in all (used to bound the work of a trial run).
    void SetNodeLimit(std::uint64_t limit) { m_nodeLimit = limit; }

    // Offers the path of every echo recorded from now on to `keeper` (none: paths are not kept).
    void SetPathKeeper(PathKeeper* keeper) { m_paths = keeper; }

    std::uint64_t Nodes() const { return m_nodes; }
    std::uint64_t Searches() const { return m_searches; }

private:
    enum Stage : std::int32_t { kReflectNext, kPassNext, kDone };

    // A node: its point on rectangle `rect`, the direction of the leg that reached it.
    struct Frame {
        double px, py, dx, dy;
        double pathLength, amplitude;
        std::int32_t rect;
        std::int32_t stage;
    };
    struct Child {
        double dx, dy, length, factor;
        std::int32_t rect;
    };

    // Makes the node that a leg of `length` from (ox, oy) along (dx, dy) reaches on `rect`,
    // records its echoes and pushes it.
    void Enter(double ox, double oy, double dx, double dy, std::int32_t rect, double length,
               double factor, double parentLength, double parentAmplitude, Sink& sink) {
        if ((++m_nodes & 1023u) == 0) {
            CheckCancel();
        }
        if (m_nodes > m_nodeLimit) {
            throw NodeLimitReached{};
        }
        Frame f;
        f.pathLength = parentLength + length;
        f.amplitude = parentAmplitude * factor;
        f.px = ox + length * dx;
        f.py = oy + length * dy;
        f.dx = dx;
        f.dy = dy;
        f.rect = rect;
        if (!(f.pathLength < m_p.stopDistance) ||
            (m_amplitudeNeverGrows && m_maxGain * f.amplitude <= m_p.calc.stopAmplitude)) {
            // Nothing from this node or beyond it can be recorded: lengths only grow along a
            // path, and so do not amplitudes here. Leaving the subtree out changes no echo.
            return;
        }
        EmitContributions(f.px, f.py, f.pathLength, f.amplitude, f.rect, sink);
        const bool stop = f.pathLength > m_p.stopDistance || f.amplitude < m_p.calc.stopAmplitude ||
                          m_stack.size() + 1 >= static_cast<std::size_t>(kMaxLegs);
        f.stage = stop ? kDone : kReflectNext;
        m_stack.push_back(f);
    }

    // Every source that sees (px, py) gives an echo of length pathLength + dist and amplitude
    // (its contribution) × amplitude, recorded when the length is below the stop distance and
    // the amplitude above the stop amplitude. A source whose echo would be too long is not
    // searched for at all. Where the map of what each source sees (VisibilityMap) has an answer
    // for the point's cell, it stands for the search's: hidden, or seen on the point's own
    // rectangle; elsewhere the search runs.
    void EmitContributions(double px, double py, double pathLength, double amplitude,
                           std::int32_t rect, Sink& sink) {
        const std::size_t n = m_scene.sourceX.size();
        const VisibilityMap& known = m_search.Visibility();
        const std::int64_t cell =
            rect >= 0 ? known.CellAt(static_cast<std::size_t>(rect), px, py) : -1;
        for (std::size_t s = 0; s < n; ++s) {
            const VisibilityMap::State answer =
                cell >= 0 ? known.At(cell, s) : VisibilityMap::kUndecided;
            if (answer == VisibilityMap::kHidden) {
                continue; // the search would meet a rectangle nearer than the point by kSeenWithin
            }
            const double sx = m_scene.sourceX[s];
            const double sy = m_scene.sourceY[s];
            const double ex = px - sx;
            const double ey = py - sy;
            const double dist = std::sqrt(ex * ex + ey * ey);
            const double length = pathLength + dist;
            if (!(length < m_p.stopDistance) || m_p.binCount <= 0 ||
                m_gain[s] * std::fabs(amplitude) <= m_p.calc.stopAmplitude) {
                continue; // the echo could not be recorded whatever the search found
            }
            const SceneRay toPoint{sx, sy, ex / dist, ey / dist};
            SearchHit h;
            if (answer == VisibilityMap::kSeen) {
                h.index = rect; // the search would meet the point's own rectangle at the point
                h.dist = dist;
            } else {
                if (BlockedBy(m_blocker[s], toPoint, dist) || BlockedBy(rect, toPoint, dist)) {
                    continue;
                }
                ++m_searches;
                if (!m_search.NearestUnlessBlocked(toPoint, dist, h, static_cast<int>(s))) {
                    m_blocker[s] = h.index;
                    continue;
                }
            }
            double a = m_scene.sourcePower[s];
            if (h.index >= 0) {
                if (!(std::fabs(h.dist - dist) < kSeenWithin)) {
                    continue;
                }
                double nx, ny;
                SideNormal(m_scene, static_cast<std::size_t>(h.index), px, py, nx, ny);
                const double c = (-toPoint.dy) * ny + (-toPoint.dx) * nx;
                a = (a * c) * m_scene.reflection[static_cast<std::size_t>(h.index)];
            }
            // With the medium's factor e in [0, 1], |a·e| ≤ |a| and so |echo| = |(a·e)·amplitude|
            // ≤ |a|·|amplitude|, each side rounded (rounding is monotonic). When that bound is not
            // above the stop amplitude the echo is not recorded whatever e is, and the call of
            // exp is saved (with μ = 0 there is no call to save). A NaN in the bound never
            // skips; a NaN e is not recorded either.
            if (m_weakEchoSkipsExp &&
                std::fabs(a) * std::fabs(amplitude) <= m_p.calc.stopAmplitude) {
                continue;
            }
            a = a * MediumFactor(dist);
            const double echo = a * amplitude;
            if (echo > m_p.calc.stopAmplitude) {
                const std::int32_t bin = BinIndex(length, m_p.calc.groupTime, m_p.binCount);
                sink(bin, echo, length);
                if (m_paths != nullptr) {
                    OfferPath(s, h.index >= 0, px, py, rect, length, echo, bin);
                }
            }
        }
    }

    // Hands the path of the echo just recorded to the keeper, if it would keep it. The frames on
    // the stack are the node's ancestors; a parent whose reflection is being walked (stage
    // kPassNext) was left by a reflection, one whose passage is being walked (kDone) by a passage.
    void OfferPath(std::size_t source, bool reflectsAtPoint, double px, double py,
                   std::int32_t rect, double length, double echo, std::int32_t bin) {
        const std::uint32_t order = m_order++;
        const auto s = static_cast<std::int32_t>(source);
        if (!m_paths->Wants(s, echo, m_ray, order)) {
            return;
        }
        EchoPath& path = m_scratch; // reuses the storage of a path the keeper dropped
        path.points.clear();
        path.delay = length * kSecondsPerMetre;
        path.amplitude = echo;
        path.bin = bin;
        path.source = s;
        path.ray = m_ray;
        path.order = order;
        path.reflections = reflectsAtPoint ? 1 : 0;
        path.passages = 0;
        path.points.push_back({m_scene.listenerX, m_scene.listenerY});
        if (rect >= 0) {
            for (std::size_t k = 0; k < m_stack.size(); ++k) {
                path.points.push_back({m_stack[k].px, m_stack[k].py});
                if (m_stack[k].stage == kPassNext) {
                    ++path.reflections;
                } else {
                    ++path.passages;
                }
            }
            path.points.push_back({px, py});
        }
        path.points.push_back({m_scene.sourceX[source], m_scene.sourceY[source]});
        m_paths->Keep(path);
    }

    // Whether rectangle k (if any) is met along the ray nearer than the point by 0.001 or more:
    // then the nearest hit is at least as near, and the point is hidden whatever else the search
    // would find. The node's own rectangle and the rectangle that last hid the source are tried
    // first, as they often decide at once.
    bool BlockedBy(std::int32_t k, const SceneRay& ray, double pointDist) {
        double t;
        if (k < 0 || !IntersectRectAtOnce(m_scene, static_cast<std::size_t>(k), ray, t) ||
            !(t < kNoHit) || !(t - pointDist <= -kSeenWithin)) {
            return false;
        }
        return true;
    }

    // A parameter from which a leg starting `entered` past the end of a path `length` long can
    // record nothing: length + (entered + t), the child's path length, is not below the stop
    // distance for t = the result and so, rounding being monotonic and every term ≥ 0 or NaN,
    // for every larger t (a NaN in any term makes every child's length NaN, which is cut too).
    // The child would be cut at once (Enter), so a search may leave out rectangles crossed only
    // from there on (RectSearch::Nearest). kNoHit when none is found in a few steps, or when
    // the search would not use it.
    double LegBeyond(double length, double entered) const {
        if (!m_bounded) {
            return kNoHit;
        }
        const double stop = m_p.stopDistance;
        double t = (stop - length) - entered;
        t = t > 0.0 ? t : 0.0;
        for (int i = 0; i < 4 && t < kNoHit; ++i) {
            if (!(length + (entered + t) < stop)) {
                return t;
            }
            t = std::nextafter(t, std::numeric_limits<double>::infinity());
        }
        return kNoHit;
    }

    // Upper bounds on what a source can add, to skip work whose echoes could not be recorded.
    // A contribution is p·e or ((p·c)·R)·e with |c| ≤ 1 and e = e^(−μ·dist) ≤ 1 when μ ≥ 0, so
    // |echo| ≤ |p|·max(1, |R|max)·|amplitude|; the factor 1 + 1e−9 covers the rounding of those
    // few products many times over. Any NaN leaves the bound NaN, which never skips anything.
    void PrepareBounds() {
        const double mu = m_p.calc.mediumAbsorption;
        double largestReflection = 1.0;
        bool factorsAtMostOne = mu >= 0.0;
        for (std::size_t k = 0; k < m_scene.RectCount(); ++k) {
            const double r = m_scene.reflection[k];
            largestReflection = std::fabs(r) > largestReflection ? std::fabs(r) : largestReflection;
            if (std::isnan(r)) {
                largestReflection = r;
                break;
            }
            factorsAtMostOne =
                factorsAtMostOne && r >= 0.0 && r <= 1.0 && m_scene.absorption[k] >= 0.0;
        }
        m_maxGain = 0.0;
        m_gain.clear();
        m_blocker.assign(m_scene.sourceX.size(), -1);
        for (double p : m_scene.sourcePower) {
            const double gain = mu >= 0.0 ? std::fabs(p) * largestReflection * (1.0 + 1e-9)
                                          : std::numeric_limits<double>::quiet_NaN();
            m_gain.push_back(gain);
            m_maxGain = gain > m_maxGain || std::isnan(gain) ? gain : m_maxGain;
        }
        // Every leg factor (R·e^(−μL), or e^(−μd)·e^(−αt)) then lies in [0, 1], so amplitudes
        // never grow along a path.
        m_amplitudeNeverGrows = factorsAtMostOne && !std::isnan(m_maxGain);
        // With a finite μ ≥ 0 the medium's factor e^(−μ·L) of a finite leg lies in [0, 1].
        m_mediumAtMostOne = m_amplitudeNeverGrows && std::isfinite(mu);
        m_weakEchoSkipsExp = m_mediumAtMostOne && mu != 0.0;
    }

    // Whether a child whose leg factor is (a factor in [0, 1]) × `known` would be cut by Enter for
    // its amplitude: its amplitude amplitude × factor is then at most amplitude × known (rounding
    // is monotonic, every value ≥ 0), and the bound Enter tests is not above the stop amplitude.
    // Then the search for the child is not made; a NaN `known` never skips it.
    bool ChildTooWeak(double amplitude, double known) const {
        return m_mediumAtMostOne && known >= 0.0 &&
               m_maxGain * (amplitude * known) <= m_p.calc.stopAmplitude;
    }

    // The mirror continuation of node f, unless its rectangle does not reflect, nothing lies
    // along the mirrored ray, or the next rectangle faces it head-on (cosine 0.999 or more).
    bool ReflectionChild(const Frame& f, Child& c) {
        const auto q = static_cast<std::size_t>(f.rect);
        const double reflection = m_scene.reflection[q];
        if (!(reflection != 0.0) || m_p.calc.noReflection) {
            return false;
        }
        // The child's factor is R · e^(−μL) with e^(−μL) in [0, 1].
        if (ChildTooWeak(f.amplitude, reflection)) {
            return false;
        }
        double nx, ny;
        SideNormal(m_scene, q, f.px, f.py, nx, ny);
        const double k = 2.0 * (ny * f.dy + f.dx * nx);
        const double rx = f.dx - k * nx;
        const double ry = f.dy - k * ny;
        ++m_searches;
        const SearchHit h =
            m_search.Nearest(SceneRay{f.px, f.py, rx, ry}, f.rect, LegBeyond(f.pathLength, 0.0));
        if (h.index < 0) {
            return false;
        }
        const double qx = f.px + h.dist * rx;
        const double qy = f.py + h.dist * ry;
        double n1x, n1y;
        SideNormal(m_scene, static_cast<std::size_t>(h.index), qx, qy, n1x, n1y);
        if ((-ry) * n1y + (-rx) * n1x >= kHeadOnCosine) {
            return false;
        }
        c.dx = rx;
        c.dy = ry;
        c.rect = h.index;
        c.length = h.dist;
        c.factor = reflection * MediumFactor(h.dist);
        return true;
    }

    // The continuation of node f straight through its rectangle Q to the next rectangle beyond:
    // step 0.001 into Q, find Q's far side, then search on from there leaving Q out, stepping over
    // rectangles met less than 0.001 ahead.
    bool PassageChild(const Frame& f, Child& c) {
        const auto q = static_cast<std::size_t>(f.rect);
        const double alpha = m_scene.absorption[q];
        if (!(alpha < m_p.calc.passAbsorptionLimit) || m_p.calc.noTransmission) {
            return false;
        }
        const double dx = f.dx;
        const double dy = f.dy;
        const double ox = f.px + kPassageStepIn * dx;
        const double oy = f.py + kPassageStepIn * dy;
        double exitT;
        IntersectRectAtOnce(m_scene, q, SceneRay{ox, oy, dx, dy}, exitT);
        double x = ox + exitT * dx;
        double y = oy + exitT * dy;
        // A child too weak even for a bound on the factor through Q is too weak for the factor
        // itself, exp of the same −(α·t) below (it lies in [0, bound], and ChildTooWeak's test is
        // monotonic in it), so the passage ends here without the search. In a map many listener
        // points face a hall's pillars, which let through e^(−10) or so, and the rays that have
        // grown weak pass the walls too: on the hall's map this leaves out half of the passages'
        // searches (bench/README.md).
        if (ChildTooWeak(f.amplitude, ExpBound(alpha * exitT))) {
            return false;
        }
        ++m_searches;
        const double entered = kPassageStepIn + exitT;
        // A first crossing at or beyond LegBeyond ends the passage without a child either way:
        // the child is cut at once, or the stepping below stops at its length bound.
        SearchHit h =
            m_search.Nearest(SceneRay{x, y, dx, dy}, f.rect, LegBeyond(f.pathLength, entered));
        if (h.index < 0) {
            return false;
        }
        // The factor through Q costs a call of exp, so it is taken only once the search has met
        // something beyond: most passages meet nothing (in the halls six in ten leave through an
        // outer wall). A child too weak for the factor ends the passage without one, as nothing
        // beyond does, so the order changes no result; the too-weak passages the bound above
        // lets through pay the one search, and are still stopped before any stepping over below.
        const double inside =
            alpha == 0.0 && std::isfinite(exitT) ? 1.0 : std::exp(-(alpha * exitT));
        // The child's factor is e^(−μL) · inside with e^(−μL) in [0, 1].
        if (ChildTooWeak(f.amplitude, inside)) {
            return false;
        }
        double s = h.dist;
        while (h.index >= 0 && h.dist < kStepOverBelow) {
            // Bound on the stepping (a ray running along the shared edge of two touching
            // rectangles meets them again 0 ahead at every step and would walk the whole edge
            // 0.001 at a time). Once the child's path length can no longer be below the stop
            // distance, the child and everything beneath it can record nothing, so ending here
            // without a child gives the same echoes as walking on. Proof:
            //  - every search distance is ≥ 0 (IntersectRect reports |·| or the no-hit
            //    distance), so each step turns s into (s + d2) + kStepOverExtra with non-negative
            //    addends; rounded addition is monotonic, so the final s is ≥ s now;
            //  - the leg is entered + s_final and the child's path length f.pathLength + leg;
            //    by monotonicity again it is ≥ f.pathLength + (entered + s), the value tested;
            //  - path lengths only grow down the tree (legs ≥ 0), and an echo needs
            //    pathLength + dist < stop distance with dist ≥ 0, which then never holds;
            //  - a NaN anywhere here stays NaN in the child's path length, which records
            //    nothing either.
            // The walk where this bound does not apply (a stop distance beyond the edge) is
            // still stopped by cancellation, checked below.
            if (!(f.pathLength + (entered + s) < m_p.stopDistance)) {
                return false;
            }
            if ((++m_steps & 1023u) == 0) {
                CheckCancel();
            }
            const double step = h.dist + kStepOverExtra;
            const double nx = x + step * dx;
            const double ny = y + step * dy;
            if (nx == x && ny == y) {
                // The step is below the coordinates' precision: the search would repeat for
                // ever. Nothing is taken to lie beyond.
                return false;
            }
            x = nx;
            y = ny;
            ++m_searches;
            h = m_search.Nearest(SceneRay{x, y, dx, dy}, f.rect);
            s = (s + h.dist) + kStepOverExtra;
        }
        if (h.index < 0) {
            return false;
        }
        c.dx = dx;
        c.dy = dy;
        c.rect = h.index;
        c.length = entered + s;
        c.factor = MediumFactor(h.dist) * inside;
        return true;
    }

    void CheckCancel() const {
        if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed)) {
            throw EffectCancelled();
        }
    }

    // e^(−μ·d); with μ = 0 and a finite d that is exactly 1, so the call is saved.
    double MediumFactor(double d) const {
        if (m_p.calc.mediumAbsorption == 0.0 && std::isfinite(d)) {
            return 1.0;
        }
        return std::exp(-(m_p.calc.mediumAbsorption * d));
    }

    const TraceScene& m_scene;
    const RectSearch& m_search;
    const TraceParameters& m_p;
    const std::atomic<bool>* m_cancel;
    const double m_step;
    const double* m_fan = nullptr; // the fan's directions made once (UseFan), or none
    const bool m_bounded; // whether the searches stop at a bound on the distance (RectSearch)
    std::vector<Frame> m_stack;
    std::uint64_t m_nodes = 0;
    std::uint64_t m_searches = 0;
    std::uint64_t m_steps = 0; // steps over rectangles met right behind a passage
    std::uint64_t m_nodeLimit = ~std::uint64_t{0};
    std::vector<double> m_gain;
    std::vector<std::int32_t> m_blocker;
    double m_maxGain = 0.0;
    bool m_amplitudeNeverGrows = false;
    bool m_mediumAtMostOne = false;
    bool m_weakEchoSkipsExp = false; // a medium that absorbs, with factors in [0, 1]
    PathKeeper* m_paths = nullptr;
    EchoPath m_scratch;
    std::int32_t m_ray = -1;
    std::uint32_t m_order = 0;
};

} // namespace sonivera
