// Feeds arbitrary bytes to the DXF import: the tag reader (ASCII and binary), the drawing's
// sections, entities and blocks, their expansion, the walls, the union and the listener's place.
// The first byte chooses the options (a staircase step or none). Every input must end in a
// refusal (DxfError) or a scene that passes the scene check, without a crash, a hang or a
// sanitizer report.
#include "core/calc/SceneCheck.h"
#include "core/plan/DxfError.h"
#include "core/plan/PlanImport.h"

#include <cstdlib>

using namespace sonivera;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    PlanImportOptions options;
    if (data[0] & 1) {
        options.staircase = 0.5;
    }
    if (data[0] & 2) {
        options.metresPerUnit = 0.001;
    }
    try {
        const PlanImportResult result = ImportPlan({data + 1, size - 1}, options);
        if (FindFirstSceneError(result.scene->objects)) {
            std::abort();
        }
    } catch (const DxfError&) {
    }
    return 0;
}
