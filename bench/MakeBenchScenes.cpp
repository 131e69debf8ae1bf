// Writes the benchmark scenes into the folder given on the command line. Every scene comes from a
// fixed seed, so running it again gives the same files byte for byte.
//
// A scene is a room: four walls along the border, pillars on a jittered grid (never overlapping)
// and a few sources and the listener in the free space between them.
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace sonivera;

namespace {

struct RoomPlan {
    const char* name;
    std::uint64_t seed;
    int rects;   // walls included
    double side; // metres
    double reflectionLo, reflectionHi;
    double absorptionLo, absorptionHi;
    double stopTime; // ms
    double stopAmplitude;
    int rays;
    int sources;
};

bool Inside(const SceneSettings& scene, double x, double y) {
    for (const auto& o : scene.objects) {
        if (const auto* r = dynamic_cast<const CRectObject*>(o.get())) {
            if (x >= r->m_x - 0.5 && x <= r->m_x + r->m_width + 0.5 && y >= r->m_y - 0.5 &&
                y <= r->m_y + r->m_height + 0.5) {
                return true;
            }
        }
    }
    return false;
}

std::unique_ptr<SceneSettings> MakeRoom(const RoomPlan& plan) {
    std::mt19937_64 rng(plan.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto scene = std::make_unique<SceneSettings>();
    scene->width = plan.side;
    scene->height = plan.side;
    scene->params.rayCount = plan.rays;
    scene->params.stopTime = plan.stopTime;
    scene->params.stopAmplitude = plan.stopAmplitude;
    scene->params.groupTime = 10.0;
    auto* listener = scene->Add<CListener>();
    const auto rect = [&](double x, double y, double w, double h) {
        auto* r = scene->Add<CRectObject>();
        r->m_x = std::round(x * 4) / 4;
        r->m_y = std::round(y * 4) / 4;
        r->m_width = std::max(0.25, std::round(w * 4) / 4);
        r->m_height = std::max(0.25, std::round(h * 4) / 4);
        r->m_reflection = plan.reflectionLo + (plan.reflectionHi - plan.reflectionLo) * unit(rng);
        r->m_absorption = plan.absorptionLo + (plan.absorptionHi - plan.absorptionLo) * unit(rng);
    };
    const double s = plan.side;
    rect(0, 0, s, 1);
    rect(0, s - 1, s, 1);
    rect(0, 1, 1, s - 2);
    rect(s - 1, 1, 1, s - 2);
    const int pillars = plan.rects - 4;
    const int grid = static_cast<int>(std::ceil(std::sqrt(pillars * 1.6)));
    const double cell = (s - 2) / grid;
    std::vector<int> cells(static_cast<std::size_t>(grid * grid));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = static_cast<int>(i);
    }
    std::shuffle(cells.begin(), cells.end(), rng);
    for (int p = 0; p < pillars; ++p) {
        const int c = cells[static_cast<std::size_t>(p)];
        const double x0 = 1 + (c % grid) * cell;
        const double y0 = 1 + (c / grid) * cell;
        const double w = cell * (0.15 + 0.35 * unit(rng));
        const double h = cell * (0.15 + 0.35 * unit(rng));
        rect(x0 + (cell - w) * unit(rng) * 0.9, y0 + (cell - h) * unit(rng) * 0.9, w, h);
    }
    const auto freePoint = [&](double& x, double& y) {
        do {
            x = std::round((2 + (s - 4) * unit(rng)) * 4) / 4;
            y = std::round((2 + (s - 4) * unit(rng)) * 4) / 4;
        } while (Inside(*scene, x, y));
    };
    freePoint(listener->m_x, listener->m_y);
    for (int i = 0; i < plan.sources; ++i) {
        auto* source = scene->Add<CSoundSource>();
        freePoint(source->m_x, source->m_y);
        source->m_power = 0.5 + 0.5 * unit(rng);
    }
    return scene;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const RoomPlan plans[] = {
        // Typical rooms with 10, 100 and 1 000 rectangles.
        {"room-10", 11, 10, 100, 0.3, 0.7, 0.5, 2.0, 1000, 0.001, 100, 3},
        {"room-100", 12, 100, 100, 0.3, 0.7, 0.5, 2.0, 1000, 0.001, 100, 3},
        {"room-1000", 13, 1000, 200, 0.3, 0.7, 0.5, 2.0, 1000, 0.001, 100, 3},
        // Heavy: strong reflection and little absorption; the trees grow large.
        {"heavy-10", 21, 10, 40, 0.9, 0.95, 0.02, 0.1, 2000, 0.001, 100, 3},
        {"heavy-100", 22, 100, 100, 0.8, 0.9, 0.05, 0.2, 1000, 0.001, 100, 3},
        {"heavy-1000", 23, 1000, 150, 0.7, 0.85, 0.2, 0.6, 400, 0.001, 100, 3},
        // Closed halls as users make them: 15 to 30 rectangles, reflection 0.5 to 1, little
        // absorption, 1000 rays, a long stop time; deep reflection trees.
        {"hall-15", 31, 15, 50, 0.5, 1.0, 0.01, 0.05, 1500, 0.001, 1000, 2},
        {"hall-22", 32, 22, 60, 0.5, 1.0, 0.01, 0.05, 1200, 0.001, 1000, 2},
        {"hall-30", 33, 30, 70, 0.5, 1.0, 0.01, 0.05, 1000, 0.001, 1000, 2},
    };
    for (const RoomPlan& plan : plans) {
        const std::string path = folder + "/" + plan.name + ".3d";
        WriteSceneFile(path, *MakeRoom(plan));
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
