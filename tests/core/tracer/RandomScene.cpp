#include "RandomScene.h"

#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"
#include "core/tracer/RayWalker.h"
#include "core/tracer/TraceParameters.h"

#include <algorithm>
#include <random>
#include <vector>

namespace sonivera {

namespace {

class Dice {
public:
    explicit Dice(std::uint64_t seed) : m_rng(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    double Real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(m_rng);
    }
    bool Chance(double p) { return Real(0.0, 1.0) < p; }
    template <class T, std::size_t N> T Pick(const T (&values)[N]) {
        return values[static_cast<std::size_t>(Int(0, static_cast<int>(N) - 1))];
    }
    // A coordinate: whole metres, halves, quarters or any real.
    double Coord(double lo, double hi) {
        switch (Int(0, 3)) {
        case 0:
            return static_cast<double>(Int(static_cast<int>(lo), static_cast<int>(hi)));
        case 1:
            return Int(static_cast<int>(lo * 2), static_cast<int>(hi * 2)) * 0.5;
        case 2:
            return Int(static_cast<int>(lo * 4), static_cast<int>(hi * 4)) * 0.25;
        default:
            return Real(lo, hi);
        }
    }

private:
    std::mt19937_64 m_rng;
};

struct Box {
    double x, y, w, h;
};

void AddRect(SceneSettings& scene, Dice& dice, const Box& b) {
    auto* r = scene.Add<CRectObject>();
    r->m_x = b.x;
    r->m_y = b.y;
    r->m_width = b.w;
    r->m_height = b.h;
    const double reflections[] = {0.0, 1.0, 0.3, 0.5, 0.7, 0.9};
    r->m_reflection = dice.Chance(0.2) ? dice.Real(0.0, 1.0) : dice.Pick(reflections);
    const double absorptions[] = {0.0, 0.05, 0.5, 2.0, 1.7e308, 1.7e308, 1.6e308};
    r->m_absorption = dice.Chance(0.15) ? dice.Real(0.0, 3.0) : dice.Pick(absorptions);
}

Box RandomBox(Dice& dice) {
    Box b;
    b.x = dice.Coord(0.0, 90.0);
    b.y = dice.Coord(0.0, 90.0);
    b.w = dice.Chance(0.1) ? 0.0 : dice.Coord(0.0, 25.0);
    b.h = dice.Chance(0.1) ? 0.0 : dice.Coord(0.0, 25.0);
    return b;
}

// A box sharing an edge or a corner with `a`.
Box TouchingBox(Dice& dice, const Box& a) {
    Box b = RandomBox(dice);
    switch (dice.Int(0, 5)) {
    case 0: // right of a, sharing part of its right edge
        b.x = a.x + a.w;
        b.y = a.y + dice.Coord(-5.0, 5.0);
        break;
    case 1: // below a
        b.y = a.y + a.h;
        b.x = a.x + dice.Coord(-5.0, 5.0);
        break;
    case 2: // left of a
        b.x = a.x - b.w;
        b.y = a.y;
        break;
    case 3: // above a
        b.y = a.y - b.h;
        b.x = a.x;
        break;
    case 4: // at a's bottom-right corner
        b.x = a.x + a.w;
        b.y = a.y + a.h;
        break;
    default: // at a's top-right corner, from above
        b.x = a.x + a.w;
        b.y = a.y - b.h;
        break;
    }
    return b;
}

// A wall straight ahead of the listener along one of the axes, met head-on by the fan's rays at
// multiples of 90 degrees.
Box HeadOnWall(Dice& dice, double lx, double ly) {
    const double gap = dice.Coord(1.0, 30.0);
    const double half = dice.Coord(1.0, 20.0);
    const double thicknesses[] = {0.0, 0.5, 1.0, 3.0};
    const double thick = dice.Pick(thicknesses);
    switch (dice.Int(0, 3)) {
    case 0:
        return {lx + gap, ly - half, thick, 2 * half};
    case 1:
        return {lx - gap - thick, ly - half, thick, 2 * half};
    case 2:
        return {lx - half, ly + gap, 2 * half, thick};
    default:
        return {lx - half, ly - gap - thick, 2 * half, thick};
    }
}

void AddSource(SceneSettings& scene, Dice& dice, const std::vector<Box>& boxes, double lx,
               double ly) {
    auto* s = scene.Add<CSoundSource>();
    const double powers[] = {1.0, 1.0, 1.0, 0.5, 0.8, 0.0, 0.001};
    s->m_power = dice.Chance(0.2) ? dice.Real(0.0, 1.0) : dice.Pick(powers);
    // 0 anywhere, 1 at the listener, 2 on an edge, 3 on a corner, 4 behind a rectangle.
    const int roll = dice.Int(0, 19);
    int where = roll < 8 ? 0 : roll < 10 ? 1 : roll < 13 ? 2 : roll < 15 ? 3 : 4;
    if (boxes.empty() && where > 1) {
        where = 0;
    }
    if (where == 0) {
        s->m_x = dice.Coord(0.0, 100.0);
        s->m_y = dice.Coord(0.0, 100.0);
        return;
    }
    if (where == 1) { // at the listener
        s->m_x = lx;
        s->m_y = ly;
        return;
    }
    const Box& b = boxes[static_cast<std::size_t>(dice.Int(0, static_cast<int>(boxes.size()) - 1))];
    if (where == 2) { // on an edge
        const double u = dice.Chance(0.5) ? dice.Coord(0.0, 1.0) : dice.Real(0.0, 1.0);
        switch (dice.Int(0, 3)) {
        case 0:
            s->m_x = b.x, s->m_y = b.y + u * b.h;
            break;
        case 1:
            s->m_x = b.x + b.w, s->m_y = b.y + u * b.h;
            break;
        case 2:
            s->m_x = b.x + u * b.w, s->m_y = b.y;
            break;
        default:
            s->m_x = b.x + u * b.w, s->m_y = b.y + b.h;
            break;
        }
    } else if (where == 3) { // on a corner
        s->m_x = dice.Chance(0.5) ? b.x : b.x + b.w;
        s->m_y = dice.Chance(0.5) ? b.y : b.y + b.h;
    } else { // behind the box as seen from the listener
        const double cx = b.x + b.w * 0.5;
        const double cy = b.y + b.h * 0.5;
        s->m_x = cx + (cx - lx) * dice.Real(0.1, 1.0);
        s->m_y = cy + (cy - ly) * dice.Real(0.1, 1.0);
    }
}

std::unique_ptr<SceneSettings> BuildScene(std::uint64_t seed) {
    Dice dice(seed);
    auto scene = std::make_unique<SceneSettings>();
    auto* listener = scene->Add<CListener>();
    listener->m_x = dice.Coord(5.0, 95.0);
    listener->m_y = dice.Coord(5.0, 95.0);
    const double lx = listener->m_x;
    const double ly = listener->m_y;

    const int rayChoices[] = {10, 12, 16, 20, 24, 36, 40, 100, 360, 1000};
    scene->params.rayCount = dice.Chance(0.6) ? dice.Pick(rayChoices) : dice.Int(10, 120);
    const double groupTimes[] = {1.0, 3.0, 10.0, 10.0, 7.5, 100.0};
    scene->params.groupTime = dice.Chance(0.3) ? dice.Coord(1.0, 100.0) : dice.Pick(groupTimes);
    const double stopTimes[] = {10.0, 333.0, 1000.0, 1000.0, 1000.0, 3000.0, 3000.0, 10000.0};
    scene->params.stopTime = dice.Chance(0.3) ? dice.Coord(10.0, 10000.0) : dice.Pick(stopTimes);
    const double stopAmplitudes[] = {0.001, 0.001, 0.001, 0.01, 0.0001, 0.0};
    scene->params.stopAmplitude = dice.Pick(stopAmplitudes);
    const double limits[] = {1.6e308, 1.6e308, 1.79e308, 1.0, 0.1, 0.0};
    scene->params.passAbsorptionLimit = dice.Pick(limits);
    scene->params.noTransmission = dice.Chance(0.2);
    scene->params.noReflection = dice.Chance(0.06);
    scene->params.normalize = dice.Chance(0.5);
    const double media[] = {0.0, 0.0, 0.0, 0.001, 0.01, 0.05};
    scene->params.mediumAbsorption = dice.Pick(media);

    std::vector<Box> boxes;
    const int rects = dice.Int(0, 7);
    for (int i = 0; i < rects; ++i) {
        Box b;
        const int kind = dice.Int(0, 9);
        if (kind < 4 || boxes.empty()) {
            b = kind == 3 ? HeadOnWall(dice, lx, ly) : RandomBox(dice);
        } else if (kind < 8) {
            b = TouchingBox(
                dice,
                boxes[static_cast<std::size_t>(dice.Int(0, static_cast<int>(boxes.size()) - 1))]);
        } else {
            b = HeadOnWall(dice, lx, ly);
        }
        boxes.push_back(b);
    }
    // Sources and rectangles mixed in the list, so list order and kind order differ.
    const int sources = dice.Chance(0.08) ? 0 : dice.Int(1, 4);
    std::size_t nextBox = 0;
    for (int i = 0; i < sources; ++i) {
        if (nextBox < boxes.size() && dice.Chance(0.5)) {
            AddRect(*scene, dice, boxes[nextBox++]);
        }
        AddSource(*scene, dice, boxes, lx, ly);
    }
    while (nextBox < boxes.size()) {
        AddRect(*scene, dice, boxes[nextBox++]);
    }
    return scene;
}

struct NullSink {
    void operator()(std::int32_t, double, double) {}
};

} // namespace

std::uint64_t CountFanNodes(const SceneSettings& scene, std::uint64_t budget) {
    const TraceParameters params = MakeTraceParameters(scene);
    const TraceScene snapshot = SnapshotScene(scene);
    const RectSearch search(snapshot);
    RayWalker<NullSink> walker(snapshot, search, params, nullptr);
    walker.SetNodeLimit(budget);
    NullSink sink;
    try {
        walker.DirectSound(sink);
        for (std::int32_t i = 0; i < params.calc.rayCount; ++i) {
            walker.TraceRay(i, sink);
        }
    } catch (const RayWalker<NullSink>::NodeLimitReached&) {
        return budget + 1;
    }
    return walker.Nodes();
}

namespace {

bool Overlap(const Box& a, const Box& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool InsideAny(const std::vector<Box>& boxes, double x, double y) {
    for (const Box& b : boxes) {
        if (x >= b.x && x <= b.x + b.w && y >= b.y && y <= b.y + b.h) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<SceneSettings> BuildHall(std::uint64_t seed) {
    Dice dice(seed);
    auto scene = std::make_unique<SceneSettings>();
    scene->params.normalize = dice.Chance(0.5);
    const int rayChoices[] = {10, 16, 36, 100, 360};
    scene->params.rayCount = dice.Pick(rayChoices);
    const double stopTimes[] = {300.0, 1000.0, 3000.0};
    scene->params.stopTime = dice.Pick(stopTimes);
    scene->params.groupTime = dice.Chance(0.5) ? 10.0 : dice.Coord(1.0, 20.0);
    scene->params.stopAmplitude = dice.Chance(0.8) ? 0.001 : 0.0001;
    scene->params.noTransmission = dice.Chance(0.1);
    const double media[] = {0.0, 0.0, 0.001};
    scene->params.mediumAbsorption = dice.Pick(media);
    const double side = dice.Coord(20.0, 80.0);
    const double wall = dice.Chance(0.5) ? 1.0 : 0.5;
    std::vector<Box> boxes = {{0, 0, side, wall},
                              {0, side - wall, side, wall},
                              {0, wall, wall, side - 2 * wall},
                              {side - wall, wall, wall, side - 2 * wall}};
    const int pillars = dice.Int(11, 26);
    for (int tries = 0; static_cast<int>(boxes.size()) < 4 + pillars && tries < 400; ++tries) {
        Box b;
        if (dice.Chance(0.3)) {
            b = TouchingBox(
                dice,
                boxes[static_cast<std::size_t>(dice.Int(0, static_cast<int>(boxes.size()) - 1))]);
        } else {
            b = {dice.Coord(wall, side - wall), dice.Coord(wall, side - wall),
                 dice.Coord(0.25, side / 6), dice.Coord(0.25, side / 6)};
        }
        bool free = b.x >= wall && b.y >= wall && b.x + b.w <= side - wall &&
                    b.y + b.h <= side - wall && b.w > 0.0 && b.h > 0.0;
        for (std::size_t i = 0; free && i < boxes.size(); ++i) {
            free = !Overlap(b, boxes[i]);
        }
        if (free) {
            boxes.push_back(b);
        }
    }
    const auto freePoint = [&](double& x, double& y) {
        do {
            x = dice.Coord(wall, side - wall);
            y = dice.Coord(wall, side - wall);
        } while (InsideAny(boxes, x, y) && !dice.Chance(0.05)); // now and then on an outline
    };
    auto* listener = scene->Add<CListener>();
    freePoint(listener->m_x, listener->m_y);
    const int sources = dice.Int(1, 3);
    for (int i = 0; i < sources; ++i) {
        auto* s = scene->Add<CSoundSource>();
        freePoint(s->m_x, s->m_y);
        s->m_power = dice.Chance(0.7) ? 1.0 : dice.Real(0.0, 1.0);
    }
    for (const Box& b : boxes) {
        auto* r = scene->Add<CRectObject>();
        r->m_x = b.x;
        r->m_y = b.y;
        r->m_width = b.w;
        r->m_height = b.h;
        r->m_reflection = dice.Chance(0.2) ? 1.0 : dice.Real(0.5, 1.0);
        r->m_absorption = dice.Chance(0.1) ? 1.7e308 : dice.Real(0.0, 0.1);
    }
    return scene;
}

void Tame(SceneSettings& scene, std::uint64_t nodeBudget) {
    for (int attempt = 0; CountFanNodes(scene, nodeBudget) > nodeBudget; ++attempt) {
        if (scene.params.stopTime > 10.0) {
            scene.params.stopTime = std::max(10.0, scene.params.stopTime / 4.0);
        } else if (scene.params.stopAmplitude < 0.1) {
            scene.params.stopAmplitude = scene.params.stopAmplitude * 10.0;
        } else if (scene.params.rayCount > 10) {
            scene.params.rayCount = 10;
        } else {
            scene.params.noTransmission = true;
            scene.params.stopAmplitude = 0.5;
        }
        if (attempt > 20) {
            scene.params.noReflection = true;
        }
    }
}

} // namespace

std::unique_ptr<SceneSettings> MakeRandomHall(std::uint64_t seed, std::uint64_t nodeBudget) {
    auto scene = BuildHall(seed);
    Tame(*scene, nodeBudget);
    return scene;
}

std::unique_ptr<SceneSettings> MakeRandomScene(std::uint64_t seed, std::uint64_t nodeBudget) {
    auto scene = BuildScene(seed);
    Tame(*scene, nodeBudget);
    return scene;
}

} // namespace sonivera
