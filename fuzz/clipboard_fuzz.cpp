// Feeds arbitrary bytes to both readers of the clipboard: the private object format and the
// object's JSON text. Whatever either accepts must make an object, and that object must come back
// unchanged through the other form (encoded and decoded, written as JSON text and read again).
#include "core/edit/ObjectClipboard.h"
#include "core/model/SceneSettings.h"
#include "core/model/SceneObject.h"

#include <cstdlib>
#include <string_view>

using namespace sonivera;

namespace {

void RoundTrip(const ObjectRecord& record) {
    SceneSettings scene;
    const auto object = MakeObject(record, &scene);
    if (!object) {
        std::abort();
    }
    if (DecodeClipboardObject(EncodeClipboardObject(record)) != record) {
        std::abort();
    }
    if (ObjectFromJsonText(ObjectJsonText(*object)) != record) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto record = DecodeClipboardObject({data, size})) {
        RoundTrip(*record);
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto record = ObjectFromJsonText(text)) {
        RoundTrip(*record);
    }
    return 0;
}
