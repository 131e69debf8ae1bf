// Feeds arbitrary text to the JSON form's reader, as `sonivera-cli build` does. Every input must
// either give a scene that goes to JSON and back to the same scene-file bytes, or be refused with
// SceneJsonError whose message holds no control character; anything else (a crash, a sanitizer
// report, another exception) is a finding.
#include "core/model/SceneFile.h"
#include "cli/json/SceneJson.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace sonivera;

namespace {

bool HasControlCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F || c1) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto scene = SceneFromJsonText(text);
        const auto bytes = SaveSceneToBytes(*scene);
        if (SaveSceneToBytes(*SceneFromJsonText(SceneToJsonText(*scene))) != bytes) {
            std::abort();
        }
    } catch (const SceneJsonError& e) {
        if (HasControlCharacters(e.what())) {
            std::abort();
        }
    }
    return 0;
}
