// Feeds arbitrary bytes to the scene-file reader. Every input must either give a complete scene
// whose first object is the listener and which writes back to a readable file, or be refused with
// the format error; anything else (a crash, a sanitizer report, another exception) is a finding.
#include "core/model/ObjectKind.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"

#include <cstdlib>

using namespace sonivera;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto scene = LoadSceneFromBytes({data, size});
        if (scene->objects.empty() || scene->objects.front()->GetKind() != OBJ_LISTENER) {
            std::abort();
        }
        const auto bytes = SaveSceneToBytes(*scene);
        const auto again = LoadSceneFromBytes(bytes);
        if (SaveSceneToBytes(*again) != bytes) {
            std::abort();
        }
    } catch (const SceneFileError& e) {
        if (e.GetKind() != SceneFileError::Kind::BadFormat) {
            std::abort();
        }
    }
    return 0;
}
