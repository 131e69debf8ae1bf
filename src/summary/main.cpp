// Prints the default scene a new document starts with.
#include "model/SceneFile.h"
#include "model/SceneSettings.h"

#include <cstdio>

int main() {
    const auto scene = MakeDefaultScene();
    std::printf("Scene %g x %g m, grid %g x %g m, snapping %s\n", scene->width, scene->height,
                scene->gridX, scene->gridY, scene->snapToGrid ? "on" : "off");
    std::printf("Rays %d, stop time %g ms, grouping %g ms, objects %zu, file size %zu bytes\n",
                scene->rayCount, scene->stopTime, scene->groupTime, scene->objects.size(),
                SaveSceneToBytes(*scene).size());
    return 0;
}
